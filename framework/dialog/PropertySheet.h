#pragma once

#include <string>
#include <vector>

#include "framework/window/Wnd.h"

class CPropertyPage;

// A modal tabbed dialog of property pages with OK, Cancel and Apply. The pages belong to the
// caller and must outlive DoModal.
class CPropertySheet : public CWnd {
public:
    CPropertySheet(std::string caption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    // IDOK or IDCANCEL.
    virtual int DoModal();

private:
    std::string m_strCaption;
    CWnd* m_pParentWnd;
    UINT m_nStartPage;
    std::vector<CPropertyPage*> m_pages;
};
