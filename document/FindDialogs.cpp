#include "document/FindDialogs.h"

#include <utility>

#include "resources/Resource.h"

CFindDialog::CFindDialog(CTextQuery query, CWnd* pParentWnd)
    : CDialog(IDD_FIND, pParentWnd), m_query(std::move(query)) {}

void CFindDialog::DoDataExchange(CDataExchange* pDX) {
    // The side radio buttons follow the order of SearchSide.
    if (pDX->m_bSaveAndValidate) {
        m_query.text = GetDlgItemText(IDC_FIND_TEXT);
        m_query.bMatchCase = IsDlgButtonChecked(IDC_FIND_MATCH_CASE);
        const UINT checked = GetCheckedRadioButton(IDC_FIND_SOURCE, IDC_FIND_BOTH);
        m_query.side =
            checked == 0 ? SearchSide::both : static_cast<SearchSide>(checked - IDC_FIND_SOURCE);
    } else {
        SetDlgItemText(IDC_FIND_TEXT, m_query.text);
        CheckDlgButton(IDC_FIND_MATCH_CASE, m_query.bMatchCase);
        CheckRadioButton(IDC_FIND_SOURCE, IDC_FIND_BOTH,
                         IDC_FIND_SOURCE + static_cast<UINT>(m_query.side));
    }
}

CGoToLineDialog::CGoToLineDialog(bool bSource, CWnd* pParentWnd)
    : CDialog(IDD_GOTO_LINE, pParentWnd), m_bSource(bSource) {}

void CGoToLineDialog::DoDataExchange(CDataExchange* pDX) {
    if (pDX->m_bSaveAndValidate) {
        // Digits only (the box takes nothing else); a number too long for a line is past the end.
        const std::string digits = GetDlgItemText(IDC_GOTO_LINE_NUMBER);
        m_nLine = 0;
        for (const char c : digits) {
            if (c >= '0' && c <= '9') {
                m_nLine = m_nLine > (INT64_MAX - 9) / 10 ? INT64_MAX : m_nLine * 10 + (c - '0');
            }
        }
        m_bSource = GetCheckedRadioButton(IDC_GOTO_SOURCE, IDC_GOTO_TARGET) != IDC_GOTO_TARGET;
    } else {
        CheckRadioButton(IDC_GOTO_SOURCE, IDC_GOTO_TARGET,
                         m_bSource ? IDC_GOTO_SOURCE : IDC_GOTO_TARGET);
    }
}
