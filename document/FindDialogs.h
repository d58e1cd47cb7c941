#pragma once

#include <cstdint>
#include <string>

#include "engine/TextSearch.h"
#include "framework/dialog/Dialog.h"

// Edit > Find: the text to look for, whether its case counts, and the sides it is looked for on.
// Shows the last search's choices, and holds the ones made once it ends with OK.
class CFindDialog : public CDialog {
public:
    explicit CFindDialog(CTextQuery query, CWnd* pParentWnd = nullptr);

    void DoDataExchange(CDataExchange* pDX) override;

    CTextQuery m_query;
};

// Edit > Go To Line: a line number and the side it counts on. m_nLine is 0 when no number was
// typed.
class CGoToLineDialog : public CDialog {
public:
    explicit CGoToLineDialog(bool bSource, CWnd* pParentWnd = nullptr);

    void DoDataExchange(CDataExchange* pDX) override;

    std::int64_t m_nLine = 0;
    bool m_bSource;
};
