// The Qt half of CFrameWnd: a QMainWindow with its menu bar, shortcuts and bar areas.
#include "framework/window/FrameWnd.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <exception>
#include <optional>

#include "framework/core/AfxRes.h"
#include "framework/core/CmdUI.h"
#include "framework/core/Resources.h"
#include "framework/qt/QtSupport.h"
#include "framework/registry/Registry.h"
#include "framework/window/ControlBar.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/Document.h"
#include "framework/window/MessageBox.h"
#include "framework/window/View.h"
#include "framework/window/WaitCursor.h"
#include "framework/window/WinApp.h"

namespace {

// The frame's window. A close request goes to the frame's OnClose, which decides; the status
// tips of menus and buttons are swallowed, since the status bar has no message pane.
//
// A placement record holds the outer rectangle, frame and title bar included, while Qt sizes a
// window by its client area, and the frame's thickness is known only once the window manager has
// put the window on the screen. Until then a placement's position is applied as the frame's (the
// window manager puts the frame there), the placement stands as given, and a window to be shown
// maximised waits in its normal place: maximised at once, it would learn its normal frame only
// when restored, when the window manager may still report the maximised one.
//
// The normal rectangle is the one the window had when the loop last ran out of events in the
// normal state (unless it covered the screen), or the program last placed it: a window manager
// that maximises the window may move and size it before it says so, and Qt then takes that
// rectangle for the normal one.
class FrameWidget : public QMainWindow {
public:
    explicit FrameWidget(CFrameWnd* pFrame) : m_pFrame(pFrame) {
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
            QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
                if (windowState() == Qt::WindowNoState && !FillsTheScreen()) {
                    m_settledNormal = geometry();
                }
                // The window manager may change the frame without any event of this window.
                if (m_targetOuter) {
                    KeepTarget();
                }
            });
        }
    }
    bool m_bAllowClose = false;

    // The frame's thickness on each side in the normal state, as last seen.
    QMargins NormalMargins() {
        if (windowState() == Qt::WindowNoState && frameGeometry() != geometry()) {
            m_normalMargins = QMargins(geometry().left() - frameGeometry().left(),
                                       geometry().top() - frameGeometry().top(),
                                       frameGeometry().right() - geometry().right(),
                                       frameGeometry().bottom() - geometry().bottom());
        }
        return m_normalMargins;
    }
    QRect OuterNormalGeometry() {
        if (m_targetOuter) {
            return *m_targetOuter;
        }
        QRect normal = geometry();
        if (windowState() != Qt::WindowNoState) {
            normal = m_settledNormal.isValid() ? m_settledNormal : normalGeometry();
        }
        return normal.marginsAdded(NormalMargins());
    }
    void SetOuterNormalGeometry(const QRect& outer) {
        if (QWindow* handle = windowHandle(); handle != nullptr && handle != m_pWatched) {
            handle->installEventFilter(this);
            m_pWatched = handle;
        }
        m_targetOuter = outer;
        m_appliedMargins.reset();
        m_nApplied = 0;
        m_bMaximiseWhenPlaced = false;
        if (IsPlaced()) {
            ApplyTarget();
            return;
        }
        // Not placed yet: the frame goes where the placement says, and until its thickness is
        // known the client area stands for the whole window.
        SetGeometry(outer, true);
    }
    void ShowMaximised() {
        if (m_targetOuter) {
            m_bMaximiseWhenPlaced = true;
        } else {
            setWindowState(Qt::WindowMaximized);
        }
    }
    // Maximised, or about to be as soon as it is placed.
    bool IsMaximisedOrWaiting() const {
        return (windowState() & Qt::WindowMaximized) != 0 || m_bMaximiseWhenPlaced;
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        if (m_bAllowClose) {
            event->accept();
            return;
        }
        event->ignore();
        // What the frame stores as it closes is one change of the settings.
        const RegistryBatch batch;
        m_pFrame->OnClose();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_pWatched && event->type() == QEvent::Expose && m_targetOuter) {
            KeepTarget();
        }
        return QMainWindow::eventFilter(watched, event);
    }
    bool event(QEvent* event) override {
        if (event->type() == QEvent::StatusTip) {
            return true;
        }
        const bool result = QMainWindow::event(event);
        if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
            windowState() == Qt::WindowNoState) {
            if (!event->spontaneous() && !m_bSetting) {
                // Placed by the program: that is the normal rectangle, and no earlier placement
                // is to be completed any more.
                m_settledNormal = geometry();
                if (m_targetOuter && geometry() != m_appliedClient) {
                    m_targetOuter.reset();
                    m_bMaximiseWhenPlaced = false;
                }
            }
            if (m_targetOuter) {
                KeepTarget();
            }
        }
        return result;
    }

private:
    // Placements the window manager changes are applied again this many times; one that keeps
    // changing them has its way.
    static constexpr int kMaxApplied = 4;

    // Whether the window covers its screen's free area, as a window being maximised does before
    // the window manager says so (its frame may still be the normal one, and larger).
    bool FillsTheScreen() const {
        const QScreen* pScreen = screen();
        if (pScreen == nullptr) {
            return false;
        }
        const QSize frame = frameGeometry().size();
        const QSize free = pScreen->availableGeometry().size();
        return frame.width() >= free.width() && frame.height() >= free.height();
    }
    // Whether the window system has put the window on the screen, framed or not.
    bool IsPlaced() const {
        const QWindow* handle = windowHandle();
        return handle != nullptr && handle->isExposed();
    }
    // Sets the client area; bFramePosition: its position is the frame's.
    void SetGeometry(const QRect& client, bool bFramePosition = false) {
        m_bSetting = true;
        setGeometry(client);
        if (QWindow* handle = windowHandle(); handle != nullptr && bFramePosition) {
            handle->setFramePosition(client.topLeft());
        }
        m_bSetting = false;
        m_appliedClient = geometry();
        m_settledNormal = geometry();
    }
    void ApplyTarget() {
        m_appliedMargins = NormalMargins();
        ++m_nApplied;
        SetGeometry(m_targetOuter->marginsRemoved(*m_appliedMargins));
    }
    // Once placed, the placement is applied with the frame seen, and again while the window is
    // seen elsewhere or in another frame; then it is complete.
    void KeepTarget() {
        if (windowState() != Qt::WindowNoState || !IsPlaced()) {
            return;
        }
        if (m_nApplied < kMaxApplied && (!m_appliedMargins || geometry() != m_appliedClient ||
                                         NormalMargins() != *m_appliedMargins)) {
            ApplyTarget();
            return;
        }
        m_targetOuter.reset();
        if (m_bMaximiseWhenPlaced) {
            m_bMaximiseWhenPlaced = false;
            setWindowState(Qt::WindowMaximized);
        }
    }

    CFrameWnd* m_pFrame;
    QMargins m_normalMargins;
    QRect m_settledNormal;                     // the normal client area (above)
    std::optional<QRect> m_targetOuter;        // a placement not yet complete
    std::optional<QMargins> m_appliedMargins;  // the frame it was last applied with
    QRect m_appliedClient;                     // the client area last asked for
    int m_nApplied = 0;
    bool m_bMaximiseWhenPlaced = false;
    bool m_bSetting = false;        // inside a placement's own geometry change
    QWindow* m_pWatched = nullptr;  // for its exposure
};

void ApplyToAction(QAction* action, const CCmdUI& ui) {
    action->setEnabled(ui.m_bEnabled);
    if (ui.m_nCheck) {
        action->setCheckable(true);
        action->setChecked(*ui.m_nCheck != 0);
    }
    if (ui.m_text) {
        action->setText(QString::fromLocal8Bit(ui.m_text->c_str()));
    }
}

// A virtual-key code as a Qt key; 0 when the framework does not know it.
int QtKeyOf(std::uint32_t vk) {
    if (vk >= 'A' && vk <= 'Z') {
        return Qt::Key_A + static_cast<int>(vk - 'A');
    }
    if (vk >= '0' && vk <= '9') {
        return Qt::Key_0 + static_cast<int>(vk - '0');
    }
    if (vk >= 0x70 && vk <= 0x87) {
        return Qt::Key_F1 + static_cast<int>(vk - 0x70);
    }
    switch (vk) {
        case VK_BACK:
            return Qt::Key_Backspace;
        case VK_PRIOR:
            return Qt::Key_PageUp;
        case VK_NEXT:
            return Qt::Key_PageDown;
        case VK_END:
            return Qt::Key_End;
        case VK_HOME:
            return Qt::Key_Home;
        case VK_LEFT:
            return Qt::Key_Left;
        case VK_UP:
            return Qt::Key_Up;
        case VK_RIGHT:
            return Qt::Key_Right;
        case VK_DOWN:
            return Qt::Key_Down;
        case VK_INSERT:
            return Qt::Key_Insert;
        case VK_DELETE:
            return Qt::Key_Delete;
        case 0x0D:
            return Qt::Key_Return;
        case 0x1B:
            return Qt::Key_Escape;
        case 0x09:
            return Qt::Key_Tab;
        default:
            return 0;
    }
}

}  // namespace

void CFrameWnd::PostCall(CWnd* pWnd, std::function<void()> call) {
    QWidget* widget = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
    if (widget == nullptr) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call),
                                  Qt::QueuedConnection);
        return;
    }
    // The widget is the call's context: a call posted to a window that is gone is dropped.
    QMetaObject::invokeMethod(widget, std::move(call), Qt::QueuedConnection);
}

bool CFrameWnd::CreateFrameWindow(UINT nIDResource) {
    auto* window = new FrameWidget(this);
    // The place the system would give a new window: its frame at the top left of the screen's
    // free area, three quarters of that area each way (a window not yet shown moves by its frame).
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window->resize(screen->availableSize() * 3 / 4);
        window->move(screen->availableGeometry().topLeft());
    }
    Attach(window);
    if (const IconDef* icon = AfxFindIcon(nIDResource)) {
        window->setWindowIcon(QIcon(IconPixmap(*icon, 0)));
    }
    LoadMenu(nIDResource);
    LoadAccelerators(nIDResource);
    return true;
}

void CFrameWnd::RecalcLayout() {
    // The frame's main pane (the first child window that is not a bar or the menu) takes the
    // space the bars leave.
    auto* window = qobject_cast<QMainWindow*>(GetSafeHwnd());
    if (window == nullptr || window->centralWidget() != nullptr) {
        return;
    }
    for (QObject* child : window->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow() || qobject_cast<QToolBar*>(widget) != nullptr ||
            qobject_cast<QStatusBar*>(widget) != nullptr ||
            qobject_cast<QMenuBar*>(widget) != nullptr ||
            widget->inherits("QMainWindowLayoutSeparatorHelper") ||
            widget->inherits("QRubberBand")) {
            continue;
        }
        window->setCentralWidget(widget);
        return;
    }
}

void CFrameWnd::LoadMenu(UINT nIDResource) {
    auto* window = qobject_cast<QMainWindow*>(GetSafeHwnd());
    const MenuDef* def = AfxFindMenu(nIDResource);
    if (window == nullptr || def == nullptr) {
        return;
    }
    QMenuBar* bar = window->menuBar();
    QMenuBar* rightEnd = nullptr;  // popups placed at the right end of the bar
    for (const MenuPopupDef& popupDef : def->popups) {
        QMenuBar* owner = bar;
        if (popupDef.bRightAligned) {
            // Qt's menu bar has no right-aligned items; a second bar in its right corner holds
            // them (on a platform with a global menu they simply come last).
            if (rightEnd == nullptr) {
                rightEnd = new QMenuBar(bar);
                rightEnd->setObjectName("RightEnd");
                bar->setCornerWidget(rightEnd, Qt::TopRightCorner);
            }
            owner = rightEnd;
        }
        QMenu* popup = owner->addMenu(QString::fromUtf8(popupDef.title));
        std::vector<std::pair<CommandId, QAction*>> items;
        for (const MenuItemDef& item : popupDef.items) {
            if (item.text == nullptr) {
                popup->addSeparator();
                continue;
            }
            // The text after a TAB shows as the shortcut text; no key is bound by it.
            QAction* action = popup->addAction(QString::fromUtf8(item.text));
            const CommandId id = item.id;
            action->setData(static_cast<uint>(id));
            QObject::connect(action, &QAction::triggered, window, [this, id] { OnCommand(id); });
            BindCommandUI(id, [action](const CCmdUI& ui) { ApplyToAction(action, ui); });
            items.emplace_back(id, action);
        }
        QObject::connect(popup, &QMenu::aboutToShow, window, [this, items] {
            for (const auto& [id, action] : items) {
                CCmdUI state(id);
                UpdateCommand(state);
                ApplyToAction(action, state);
            }
        });
    }
}

void CFrameWnd::LoadAccelerators(UINT nIDResource) {
    QWidget* window = GetSafeHwnd();
    const AcceleratorTableDef* def = AfxFindAccelerators(nIDResource);
    if (window == nullptr || def == nullptr) {
        return;
    }
    for (const AccelDef& accel : def->entries) {
        const int key = QtKeyOf(accel.key);
        if (key == 0) {
            continue;
        }
        Qt::KeyboardModifiers modifiers;
        if ((accel.flags & FSHIFT) != 0) {
            modifiers |= Qt::ShiftModifier;
        }
        if ((accel.flags & FCONTROL) != 0) {
            modifiers |= Qt::ControlModifier;
        }
        if ((accel.flags & FALT) != 0) {
            modifiers |= Qt::AltModifier;
        }
        auto* shortcut =
            new QShortcut(QKeySequence(QKeyCombination(modifiers, Qt::Key(key))), window);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setObjectName(QString("accel%1").arg(accel.id));
        const CommandId id = accel.id;
        QObject::connect(shortcut, &QShortcut::activated, window, [this, id] { OnCommand(id); });
    }
}

void CFrameWnd::SetWindowText(const std::string& text) {
    GetSafeHwnd()->setWindowTitle(FromBytes(text));
}

std::string CFrameWnd::GetWindowText() const {
    const QByteArray text =
        GetSafeHwnd() != nullptr ? GetSafeHwnd()->windowTitle().toLocal8Bit() : QByteArray();
    return {text.constData(), static_cast<std::size_t>(text.size())};
}

void CFrameWnd::EnableDocking(DWORD /*dwDockStyle*/) {
    if (auto* window = qobject_cast<QMainWindow*>(GetSafeHwnd())) {
        window->setDockOptions(QMainWindow::AnimatedDocks);
    }
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT /*nDockBarID*/, const CRect* /*lpRect*/) {
    auto* window = qobject_cast<QMainWindow*>(GetSafeHwnd());
    auto* bar = pBar != nullptr ? qobject_cast<QToolBar*>(pBar->GetSafeHwnd()) : nullptr;
    if (window == nullptr || bar == nullptr) {
        return;
    }
    const DWORD side = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
    const Qt::ToolBarArea area = (side & CBRS_ALIGN_TOP) != 0      ? Qt::TopToolBarArea
                                 : (side & CBRS_ALIGN_BOTTOM) != 0 ? Qt::BottomToolBarArea
                                 : (side & CBRS_ALIGN_LEFT) != 0   ? Qt::LeftToolBarArea
                                                                   : Qt::RightToolBarArea;
    window->addToolBar(area, bar);
}

bool CFrameWnd::GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const {
    auto* window = static_cast<FrameWidget*>(GetSafeHwnd());
    if (window == nullptr || lpwndpl == nullptr) {
        return false;
    }
    const QRect normal = window->OuterNormalGeometry();
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    lpwndpl->rcNormalPosition.left = normal.left();
    lpwndpl->rcNormalPosition.top = normal.top();
    lpwndpl->rcNormalPosition.right = normal.left() + normal.width();
    lpwndpl->rcNormalPosition.bottom = normal.top() + normal.height();
    const Qt::WindowStates state = window->windowState();
    lpwndpl->flags = 0;
    if ((state & Qt::WindowMinimized) != 0) {
        lpwndpl->showCmd = SW_SHOWMINIMIZED;
        if ((state & Qt::WindowMaximized) != 0) {
            lpwndpl->flags = WPF_RESTORETOMAXIMIZED;
        }
    } else if (window->IsMaximisedOrWaiting()) {
        lpwndpl->showCmd = SW_SHOWMAXIMIZED;
    } else {
        lpwndpl->showCmd = SW_SHOWNORMAL;
    }
    lpwndpl->ptMinPosition = {-1, -1};
    lpwndpl->ptMaxPosition = {-1, -1};
    return true;
}

bool CFrameWnd::SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) {
    auto* window = static_cast<FrameWidget*>(GetSafeHwnd());
    if (window == nullptr || lpwndpl == nullptr) {
        return false;
    }
    const RECT& r = lpwndpl->rcNormalPosition;
    // The normal rectangle is set while the window is in its normal state, so that Qt keeps it
    // as the geometry to restore to.
    window->setWindowState(Qt::WindowNoState);
    window->SetOuterNormalGeometry(QRect(r.left, r.top, std::max<LONG>(r.right - r.left, 1),
                                         std::max<LONG>(r.bottom - r.top, 1)));
    switch (lpwndpl->showCmd) {
        case SW_HIDE:
            window->hide();
            break;
        case SW_SHOWMINIMIZED:
        case 6:  // SW_MINIMIZE
        case 7:  // SW_SHOWMINNOACTIVE
            window->setWindowState((lpwndpl->flags & WPF_RESTORETOMAXIMIZED) != 0
                                       ? (Qt::WindowMinimized | Qt::WindowMaximized)
                                       : Qt::WindowMinimized);
            break;
        case SW_SHOWMAXIMIZED:
            window->ShowMaximised();
            break;
        default:
            break;
    }
    return true;
}

void CFrameWnd::OnClose() {
    auto* window = static_cast<FrameWidget*>(GetSafeHwnd());
    if (window == nullptr || m_bClosing) {
        return;
    }
    m_bClosing = true;
    window->m_bAllowClose = true;
    window->close();
    window->m_bAllowClose = false;
    m_bClosing = false;
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this) {
        QCoreApplication::quit();
    }
}
