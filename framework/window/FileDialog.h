#pragma once

#include <string>

#include "framework/window/Wnd.h"

// The platform's open and save dialog. "*.*" matches every file, as on the platform the program
// was written for, while the dialog still shows the filter as written.
class CFileDialog : public CWnd {
public:
    CFileDialog(bool bOpenFileDialog, const char* lpszDefExt = nullptr,
                const char* lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    ~CFileDialog() override;

    // IDOK when a file was chosen, IDCANCEL otherwise.
    virtual int DoModal();
    // The chosen file's full path.
    std::string GetPathName() const { return m_strPathName; }

    // The open-file record a program may fill in directly before DoModal: the platform's own, in
    // its narrow form (the strings are UTF-8).
    OPENFILENAME m_ofn{};

private:
    bool m_bOpenFileDialog;
    std::string m_strFileName;
    std::string m_strFilter;  // the constructor's filter, "|"-separated as the framework takes it
    std::string m_strPathName;
};
