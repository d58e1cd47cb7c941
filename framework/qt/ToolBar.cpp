// The Qt half of CToolBar: a QToolBar of actions in the frame's tool bar area.
#include "framework/window/ToolBar.h"

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QPixmap>
#include <QToolBar>

#include "framework/core/CmdUI.h"
#include "framework/core/ResourceTypes.h"
#include "framework/window/FrameWnd.h"

namespace {
Qt::ToolBarArea AreaOf(DWORD dwStyle) {
    if ((dwStyle & CBRS_ALIGN_BOTTOM) != 0) {
        return Qt::BottomToolBarArea;
    }
    if ((dwStyle & CBRS_ALIGN_LEFT) != 0) {
        return Qt::LeftToolBarArea;
    }
    if ((dwStyle & CBRS_ALIGN_RIGHT) != 0) {
        return Qt::RightToolBarArea;
    }
    return Qt::TopToolBarArea;
}

Qt::ToolBarAreas AreasOf(DWORD dwDockStyle) {
    Qt::ToolBarAreas areas;
    if ((dwDockStyle & CBRS_ALIGN_TOP) != 0) {
        areas |= Qt::TopToolBarArea;
    }
    if ((dwDockStyle & CBRS_ALIGN_BOTTOM) != 0) {
        areas |= Qt::BottomToolBarArea;
    }
    if ((dwDockStyle & CBRS_ALIGN_LEFT) != 0) {
        areas |= Qt::LeftToolBarArea;
    }
    if ((dwDockStyle & CBRS_ALIGN_RIGHT) != 0) {
        areas |= Qt::RightToolBarArea;
    }
    return areas;
}
}  // namespace

bool CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    auto* window =
        pParentWnd != nullptr ? qobject_cast<QMainWindow*>(pParentWnd->GetSafeHwnd()) : nullptr;
    auto* bar = new QToolBar(window);
    bar->setObjectName(QString("ToolBar%1").arg(nID));
    // Until docking is enabled the bar stays where its style puts it.
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    Attach(bar);
    InitBar(pParentWnd, dwStyle, nID);
    if (window != nullptr) {
        window->addToolBar(AreaOf(dwStyle), bar);
    }
    bar->setVisible((dwStyle & 0x10000000) != 0);  // WS_VISIBLE
    return true;
}

bool CToolBar::CreateButtons(const ToolBarDef& def) {
    auto* bar = qobject_cast<QToolBar*>(GetSafeHwnd());
    const QImage strip =
        QImage::fromData(def.imageStrip.data(), static_cast<int>(def.imageStrip.size()), "PNG");
    if (strip.isNull()) {
        return false;
    }
    // Where a pixel is two device pixels the icons take the images drawn at that size.
    const QImage strip2x =
        QImage::fromData(def.imageStrip2x.data(), static_cast<int>(def.imageStrip2x.size()), "PNG");
    bar->setIconSize(QSize(def.nButtonWidth, def.nButtonHeight));
    int nImage = 0;
    for (const Button& button : m_buttons) {
        const UINT id = button.id;
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        QIcon icon(QPixmap::fromImage(
            strip.copy(nImage * def.nButtonWidth, 0, def.nButtonWidth, def.nButtonHeight)));
        if (!strip2x.isNull()) {
            QPixmap pixmap = QPixmap::fromImage(strip2x.copy(
                2 * nImage * def.nButtonWidth, 0, 2 * def.nButtonWidth, 2 * def.nButtonHeight));
            pixmap.setDevicePixelRatio(2);
            icon.addPixmap(pixmap);
        }
        ++nImage;
        QAction* action = bar->addAction(icon, QString());
        action->setData(static_cast<uint>(id));
        if (CFrameWnd* frame = m_pDockSite) {
            QObject::connect(action, &QAction::triggered, bar,
                             [frame, id] { frame->OnCommand(id); });
        }
    }
    return true;
}

void CToolBar::ApplyButtonState(int nIndex, const CCmdUI& ui) {
    auto* bar = qobject_cast<QToolBar*>(GetSafeHwnd());
    QAction* action = bar != nullptr ? bar->actions().value(nIndex) : nullptr;
    if (action == nullptr) {
        return;
    }
    action->setEnabled(ui.m_bEnabled);
    if (ui.m_nCheck) {
        action->setCheckable(true);
        action->setChecked(*ui.m_nCheck != 0);
    }
}

void CToolBar::EnableDocking(DWORD dwDockStyle) {
    CControlBar::EnableDocking(dwDockStyle);
    if (auto* bar = qobject_cast<QToolBar*>(GetSafeHwnd())) {
        bar->setAllowedAreas(AreasOf(dwDockStyle));
        bar->setMovable(dwDockStyle != 0);
        bar->setFloatable(dwDockStyle != 0);
    }
}

void CToolBar::ApplyTooltips() {
    auto* bar = qobject_cast<QToolBar*>(GetSafeHwnd());
    if (bar == nullptr) {
        return;
    }
    const bool bTips = (m_dwStyle & CBRS_TOOLTIPS) != 0;
    std::size_t i = 0;
    for (QAction* action : bar->actions()) {
        if (i >= m_buttons.size()) {
            break;
        }
        const Button& button = m_buttons[i++];
        // Without tips the button stays silent: its action has no text to fall back on.
        action->setToolTip(bTips ? QString::fromStdString(button.tip) : QString());
    }
}
