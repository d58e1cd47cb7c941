#include "framework/dialog/PropertySheet.h"

CPropertySheet::CPropertySheet(std::string caption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(std::move(caption)), m_pParentWnd(pParentWnd), m_nStartPage(iSelectPage) {}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    m_pages.push_back(pPage);
}
