// The Qt half of CControlBar: where a QToolBar is docked.
#include "framework/window/ControlBar.h"

#include <QMainWindow>
#include <QToolBar>

bool CControlBar::IsFloating() const {
    auto* bar = qobject_cast<QToolBar*>(GetSafeHwnd());
    return bar != nullptr && bar->isFloating();
}

DWORD CControlBar::GetDockedSide() const {
    auto* bar = qobject_cast<QToolBar*>(GetSafeHwnd());
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
