// The Qt half of CWnd: a QWidget stands for the window; an event filter delivers its messages.
#include "framework/window/Wnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QResizeEvent>
#include <QWidget>

namespace {

// Forwards the generic window messages of an attached widget to its CWnd.
class WindowMessageFilter : public QObject {
public:
    WindowMessageFilter(CWnd* pWnd, QWidget* pWidget) : QObject(pWidget), m_pWnd(pWnd) {}

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
            case QEvent::Show:
                m_pWnd->OnShowWindow(true, 0);
                break;
            case QEvent::Hide:
                m_pWnd->OnShowWindow(false, 0);
                break;
            default:
                break;
        }
        return false;
    }

private:
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
