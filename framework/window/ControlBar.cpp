#include "framework/window/ControlBar.h"

#include "framework/window/FrameWnd.h"

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    if (m_pDockSite != nullptr) {
        m_pDockSite->RemoveControlBar(this);
    }
}

void CControlBar::InitBar(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    m_pDockSite = dynamic_cast<CFrameWnd*>(pParentWnd);
    m_nID = nID;
    m_dwStyle = dwStyle;
    if (m_pDockSite != nullptr) {
        m_pDockSite->AddControlBar(this);
    }
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
    m_dwStyle = dwStyle;
}

void CControlBar::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle = dwDockStyle;
}
