// The Qt half of CWnd: a QWidget stands for the window; an event filter delivers its messages.
#include "framework/window/Wnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QEvent>
#include <QMetaObject>
#include <QMimeData>
#include <QMouseEvent>
#include <QObject>
#include <QPointer>
#include <QResizeEvent>
#include <QUrl>
#include <QWidget>

#include "framework/qt/QtSupport.h"

namespace {

// What a drop carries, as the framework names it: each URL in order, a local file by its path;
// a drop of no URL at all is one thing that is no file, named by its text if it has one.
std::vector<CDroppedItem> DroppedItems(const QMimeData* data) {
    std::vector<CDroppedItem> items;
    if (data != nullptr && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                items.push_back({ToBytes(url.toLocalFile()), true});
            } else {
                items.push_back({ToBytes(url.toDisplayString()), false});
            }
        }
        return items;
    }
    constexpr qsizetype kLongestText = 200;
    const QString text = data != nullptr && data->hasText()
                             ? data->text().simplified().left(kLongestText)
                             : QString();
    items.push_back({ToBytes(text), false});
    return items;
}

// The mouse message's flags: the buttons and keys down.
UINT MouseFlags(const QMouseEvent& event) {
    UINT flags = 0;
    flags |= (event.buttons() & Qt::LeftButton) != 0 ? MK_LBUTTON : 0;
    flags |= (event.buttons() & Qt::RightButton) != 0 ? MK_RBUTTON : 0;
    flags |= (event.modifiers() & Qt::ShiftModifier) != 0 ? MK_SHIFT : 0;
    flags |= (event.modifiers() & Qt::ControlModifier) != 0 ? MK_CONTROL : 0;
    return flags;
}

// Forwards the generic window messages of an attached widget to its CWnd.
class WindowMessageFilter : public QObject {
public:
    WindowMessageFilter(CWnd* pWnd, QWidget* pWidget) : QObject(pWidget), m_pWnd(pWnd) {}

    // Whether drops are taken (DragAcceptFiles).
    bool m_bAcceptFiles = false;

    // The CWnd whose widget this is, or null.
    static CWnd* WndOf(const QWidget* widget) {
        for (QObject* child : widget->children()) {
            if (auto* filter = dynamic_cast<WindowMessageFilter*>(child)) {
                return filter->m_pWnd;
            }
        }
        return nullptr;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
            case QEvent::Resize: {
                const QSize size = static_cast<QResizeEvent*>(event)->size();
                const UINT type = widget->isMinimized()   ? SIZE_MINIMIZED
                                  : widget->isMaximized() ? SIZE_MAXIMIZED
                                                          : SIZE_RESTORED;
                m_pWnd->OnSize(type, size.width(), size.height());
                break;
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove: {
                // Delivered, then handled as before: the widget's own handling follows.
                const auto* mouse = static_cast<QMouseEvent*>(event);
                const QPoint at = mouse->position().toPoint();
                const CPoint point{at.x(), at.y()};
                if (event->type() == QEvent::MouseMove) {
                    m_pWnd->OnMouseMove(MouseFlags(*mouse), point);
                } else if (mouse->button() == Qt::LeftButton) {
                    if (event->type() == QEvent::MouseButtonPress) {
                        m_pWnd->OnLButtonDown(MouseFlags(*mouse), point);
                    } else {
                        m_pWnd->OnLButtonUp(MouseFlags(*mouse), point);
                    }
                }
                break;
            }
            case QEvent::Show:
                m_pWnd->OnShowWindow(true, 0);
                break;
            case QEvent::Hide:
                m_pWnd->OnShowWindow(false, 0);
                break;
            case QEvent::DragEnter:
            case QEvent::DragMove:
                if (m_bAcceptFiles) {
                    // Taken as a copy whatever the source proposes: a move would have the source
                    // delete what was dropped. A drag that can only move is not taken.
                    auto* drag = static_cast<QDragMoveEvent*>(event);
                    if ((drag->possibleActions() & Qt::CopyAction) != 0) {
                        drag->setDropAction(Qt::CopyAction);
                        drag->accept();
                    } else {
                        drag->ignore();
                    }
                    return true;
                }
                break;
            case QEvent::Drop:
                if (m_bAcceptFiles) {
                    auto* drop = static_cast<QDropEvent*>(event);
                    if ((drop->possibleActions() & Qt::CopyAction) != 0) {
                        drop->setDropAction(Qt::CopyAction);
                        drop->accept();
                        Deliver(widget, drop);
                    } else {
                        drop->ignore();
                    }
                    return true;
                }
                break;
            default:
                break;
        }
        return false;
    }

private:
    // The drop goes to the CWnd from the loop, once the drag has ended: what it does may take
    // time or show a message box, which the source of the drag must not wait for.
    void Deliver(QWidget* widget, const QDropEvent* drop) {
        CDropFiles files;
        files.items = DroppedItems(drop->mimeData());
        QPointer<QWidget> at = widget->childAt(drop->position().toPoint());
        QPointer<QWidget> self = widget;
        QMetaObject::invokeMethod(
            this,
            [pWnd = m_pWnd, files = std::move(files), at, self]() mutable {
                // The deepest of the framework's windows there, up to this one.
                for (QWidget* w = at; w != nullptr && files.pWndAt == nullptr;
                     w = w == self ? nullptr : w->parentWidget()) {
                    files.pWndAt = WndOf(w);
                }
                if (files.pWndAt == nullptr) {
                    files.pWndAt = pWnd;
                }
                pWnd->OnDropFiles(files);
            },
            Qt::QueuedConnection);
    }

    CWnd* m_pWnd;
};

}  // namespace

// What the Qt half keeps for a window beyond its widget: the filter that delivers the widget's
// messages, which the widget deletes with itself.
struct CWnd::Impl {
    QPointer<WindowMessageFilter> pFilter;
};

CWnd::CWnd() : m_pImpl(std::make_unique<Impl>()) {}

CWnd::~CWnd() {
    // No message may reach this half-destroyed window while its widget goes.
    delete Detach();
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    auto* filter = new WindowMessageFilter(this, hWnd);
    m_pImpl->pFilter = filter;
    hWnd->installEventFilter(filter);
    // The filter is the connection's context: it ends when the window is let go.
    QObject::connect(hWnd, &QObject::destroyed, filter, [this] { m_hWnd = nullptr; });
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        delete m_pImpl->pFilter;
        m_hWnd = nullptr;
    }
    return hWnd;
}

void CWnd::DragAcceptFiles(bool bAccept) {
    if (m_hWnd != nullptr && m_pImpl->pFilter != nullptr) {
        m_pImpl->pFilter->m_bAcceptFiles = bAccept;
        m_hWnd->setAcceptDrops(bAccept);
    }
}

void CWnd::GetClientRect(CRect* pRect) const {
    *pRect = m_hWnd != nullptr ? CRect(0, 0, m_hWnd->width(), m_hWnd->height()) : CRect();
}

void CWnd::GetChildRect(CRect* pRect) const {
    *pRect = m_hWnd != nullptr ? CRect(m_hWnd->x(), m_hWnd->y(), m_hWnd->x() + m_hWnd->width(),
                                       m_hWnd->y() + m_hWnd->height())
                               : CRect();
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight) {
    if (m_hWnd != nullptr) {
        m_hWnd->setGeometry(x, y, nWidth, nHeight);
    }
}

void CWnd::Invalidate(bool /*bErase*/) {
    // Every paint erases its area first (the widget paints its background), so erase is implied.
    if (m_hWnd != nullptr) {
        m_hWnd->update();
    }
}

void CWnd::UpdateWindow() {
    if (m_hWnd != nullptr) {
        m_hWnd->repaint();
    }
}

void CWnd::ShowWindow(int nCmdShow) {
    if (m_hWnd == nullptr) {
        return;
    }
    switch (nCmdShow) {
        case SW_HIDE:
            m_hWnd->hide();
            break;
        case SW_SHOWMINIMIZED:
            m_hWnd->showMinimized();
            break;
        case SW_SHOWMAXIMIZED:
            m_hWnd->showMaximized();
            break;
        default:
            m_hWnd->show();
            break;
    }
}

bool CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && m_hWnd->isVisible();
}

bool CWnd::IsShown() const {
    return m_hWnd != nullptr && !m_hWnd->isHidden();
}

void CWnd::SetFocus() {
    if (m_hWnd != nullptr) {
        m_hWnd->setFocus(Qt::OtherFocusReason);
    }
}

bool CWnd::HasFocus() const {
    return m_hWnd != nullptr && QApplication::focusWidget() == m_hWnd;
}

void CWnd::ScrollWindow(int xAmount, int yAmount) {
    if (m_hWnd != nullptr) {
        m_hWnd->scroll(xAmount, yAmount);
    }
}

CWnd* CWnd::SetCapture() {
    CWnd* previous = GetCapture();
    if (m_hWnd != nullptr) {
        m_hWnd->grabMouse();
    }
    return previous;
}

CWnd* CWnd::GetCapture() {
    const QWidget* grabber = QWidget::mouseGrabber();
    return grabber != nullptr ? WindowMessageFilter::WndOf(grabber) : nullptr;
}

void CWnd::ReleaseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
}
