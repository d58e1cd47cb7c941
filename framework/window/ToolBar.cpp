#include "framework/window/ToolBar.h"

#include "framework/core/Resources.h"
#include "framework/window/FrameWnd.h"

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

bool CToolBar::LoadToolBar(UINT nIDResource) {
    const ToolBarDef* def = AfxFindToolBar(nIDResource);
    if (def == nullptr || !IsWindow()) {
        return false;
    }
    m_buttons.clear();
    for (const std::uint32_t id : def->buttons) {
        std::string prompt;
        if (id != 0) {
            AfxLoadString(id, prompt);
        }
        m_buttons.push_back({id, AfxExtractSubString(prompt, 1)});
    }
    if (!CreateButtons(*def)) {
        return false;
    }
    // Each button follows its command, however many buttons carry it.
    if (CFrameWnd* frame = m_pDockSite) {
        for (int i = 0; i < GetCount(); ++i) {
            if (const UINT id = GetItemID(i); id != 0) {
                frame->BindCommandUI(id, [this, i](const CCmdUI& ui) { ApplyButtonState(i, ui); });
            }
        }
    }
    ApplyTooltips();
    return true;
}

UINT CToolBar::GetItemID(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() ? m_buttons[static_cast<std::size_t>(nIndex)].id : 0;
}

std::string CToolBar::GetButtonTip(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() ? m_buttons[static_cast<std::size_t>(nIndex)].tip
                                              : std::string();
}

void CToolBar::SetBarStyle(DWORD dwStyle) {
    CControlBar::SetBarStyle(dwStyle);
    ApplyTooltips();
}
