#include "framework/window/StatusBar.h"

#include "framework/core/CmdUI.h"
#include "framework/core/Resources.h"
#include "framework/window/FrameWnd.h"

CStatusBar::CStatusBar() = default;
CStatusBar::~CStatusBar() = default;

bool CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
    if (!IsWindow()) {
        return false;
    }
    std::vector<std::string> texts;
    for (int i = 0; i < nIDCount; ++i) {
        std::string text;
        if (!AfxLoadString(lpIDArray[i], text)) {
            return false;
        }
        texts.push_back(std::move(text));
    }
    m_panes.clear();
    for (int i = 0; i < nIDCount; ++i) {
        m_panes.push_back({lpIDArray[i], SBPS_NORMAL, 0});
    }
    CreatePanes(texts);
    if (m_pDockSite != nullptr) {
        for (int i = 0; i < nIDCount; ++i) {
            m_pDockSite->BindCommandUI(lpIDArray[i], [this, i](const CCmdUI& ui) {
                if (ui.m_text) {
                    SetPaneText(i, *ui.m_text);
                }
            });
        }
    }
    LayoutPanes();
    return true;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return;
    }
    Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
    pane.id = nID;
    pane.style = nStyle;
    pane.cx = cxWidth < 0 ? 0 : cxWidth;
    LayoutPanes();
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return;
    }
    const Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
    nID = pane.id;
    nStyle = pane.style;
    cxWidth = pane.cx;
}
