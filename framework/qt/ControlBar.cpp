#include "framework/window/ControlBar.h"

#include <QMainWindow>
#include <QToolBar>

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

bool CControlBar::IsFloating() const {
    auto* bar = qobject_cast<QToolBar*>(GetWidget());
    return bar != nullptr && bar->isFloating();
}

DWORD CControlBar::GetDockedSide() const {
    auto* bar = qobject_cast<QToolBar*>(GetWidget());
    auto* window = bar != nullptr ? qobject_cast<QMainWindow*>(bar->parentWidget()) : nullptr;
    if (window == nullptr || bar->isFloating()) {
        return m_dwStyle & CBRS_ALIGN_ANY;
    }
    switch (window->toolBarArea(bar)) {
        case Qt::LeftToolBarArea:
            return CBRS_ALIGN_LEFT;
        case Qt::RightToolBarArea:
            return CBRS_ALIGN_RIGHT;
        case Qt::BottomToolBarArea:
            return CBRS_ALIGN_BOTTOM;
        case Qt::TopToolBarArea:
            return CBRS_ALIGN_TOP;
        default:
            return 0;
    }
}
