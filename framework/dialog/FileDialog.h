#pragma once

#include <string>

#include "framework/window/Wnd.h"

#ifdef _WIN32
#include <commdlg.h>

// The open-file record a program may fill in directly before DoModal: the platform's own, in its
// narrow form (the strings are UTF-8; the dialog converts them).
using OpenFileRecord = OPENFILENAMEA;
#else
constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_ENABLEHOOK = 0x00000020;

// The open-file record a program may fill in directly before DoModal. The filter list is the
// platform's: pairs of null-terminated strings (description, pattern), closed by an empty
// string. The strings are the caller's and must live until DoModal returns.
struct OPENFILENAME {
    DWORD lStructSize = sizeof(OPENFILENAME);
    HWND hwndOwner = nullptr;
    const char* lpstrFilter = nullptr;
    DWORD nFilterIndex = 0;
    DWORD nMaxFile = 260;
    const char* lpstrInitialDir = nullptr;
    const char* lpstrTitle = nullptr;
    DWORD Flags = 0;
    const char* lpstrDefExt = nullptr;
};
using OpenFileRecord = OPENFILENAME;
#endif

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

    OpenFileRecord m_ofn{};

private:
    bool m_bOpenFileDialog;
    std::string m_strFileName;
    std::string m_strFilter;  // the constructor's filter, "|"-separated as the framework takes it
    std::string m_strPathName;
};
