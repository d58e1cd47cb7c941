#include "framework/window/Wnd.h"

#include <QCloseEvent>
#include <QEvent>
#include <QObject>
#include <QResizeEvent>
#include <QWidget>

#include "framework/window/ScrollBar.h"

const CRuntimeClass CWnd::runtimeClass{"CWnd", &CCmdTarget::runtimeClass, nullptr};

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

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_pWidget != nullptr) {
        QWidget* widget = m_pWidget;
        m_pWidget = nullptr;
        // No message may reach this half-destroyed window while its widget goes.
        delete m_pFilter;
        delete widget;
    }
}

void CWnd::Attach(QWidget* pWidget) {
    m_pWidget = pWidget;
    auto* filter = new WindowMessageFilter(this, pWidget);
    pWidget->installEventFilter(filter);
    m_pFilter = filter;
    QObject::connect(pWidget, &QObject::destroyed, [this] {
        m_pWidget = nullptr;
        m_pFilter = nullptr;
    });
}

void CWnd::GetClientRect(CRect* pRect) const {
    *pRect = m_pWidget != nullptr ? CRect(0, 0, m_pWidget->width(), m_pWidget->height()) : CRect();
}

void CWnd::Invalidate(bool /*bErase*/) {
    // Every paint erases its area first (the widget paints its background), so erase is implied.
    if (m_pWidget != nullptr) {
        m_pWidget->update();
    }
}

void CWnd::UpdateWindow() {
    if (m_pWidget != nullptr) {
        m_pWidget->repaint();
    }
}

void CWnd::ShowWindow(int nCmdShow) {
    if (m_pWidget == nullptr) {
        return;
    }
    switch (nCmdShow) {
        case SW_HIDE:
            m_pWidget->hide();
            break;
        case SW_SHOWMINIMIZED:
            m_pWidget->showMinimized();
            break;
        case SW_SHOWMAXIMIZED:
            m_pWidget->showMaximized();
            break;
        default:
            m_pWidget->show();
            break;
    }
}

bool CWnd::IsWindowVisible() const {
    return m_pWidget != nullptr && m_pWidget->isVisible();
}

void CWnd::SetFocus() {
    if (m_pWidget != nullptr) {
        m_pWidget->setFocus(Qt::OtherFocusReason);
    }
}

CScrollBar* CWnd::GetScrollBarCtrl(int /*nBar*/) const {
    return nullptr;
}

void CWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, bool bRedraw) {
    if (CScrollBar* bar = GetScrollBarCtrl(nBar)) {
        bar->SetScrollRange(nMinPos, nMaxPos, bRedraw);
    }
}

int CWnd::SetScrollPos(int nBar, int nPos, bool bRedraw) {
    CScrollBar* bar = GetScrollBarCtrl(nBar);
    return bar != nullptr ? bar->SetScrollPos(nPos, bRedraw) : 0;
}

int CWnd::GetScrollPos(int nBar) const {
    CScrollBar* bar = GetScrollBarCtrl(nBar);
    return bar != nullptr ? bar->GetScrollPos() : 0;
}

void CWnd::ScrollWindow(int xAmount, int yAmount) {
    if (m_pWidget != nullptr) {
        m_pWidget->scroll(xAmount, yAmount);
    }
}

void CWnd::OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/) {}
void CWnd::OnPaint() {}
bool CWnd::OnEraseBkgnd(CDC* /*pDC*/) {
    return false;
}
void CWnd::OnLButtonDblClk(UINT /*nFlags*/, CPoint /*point*/) {}
void CWnd::OnVScroll(UINT /*nSBCode*/, UINT /*nPos*/, CScrollBar* /*pScrollBar*/) {}
void CWnd::OnHScroll(UINT /*nSBCode*/, UINT /*nPos*/, CScrollBar* /*pScrollBar*/) {}
void CWnd::OnShowWindow(bool /*bShow*/, UINT /*nStatus*/) {}
void CWnd::OnClose() {}
