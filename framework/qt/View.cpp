// The Qt half of CView: the pane's widget.
#include "framework/window/View.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

#include "framework/draw/DC.h"

namespace {

// The pane's window: erases with the system window colour, then lets the view draw; delivers
// double-clicks and wheel turns. It handles no keys: they go on to the frame.
class ViewWidget : public QWidget {
public:
    ViewWidget(CView* pView, QWidget* parent) : QWidget(parent), m_pView(pView) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::ClickFocus);
        setCursor(Qt::ArrowCursor);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        CDC dc(&painter);
        if (!m_pView->OnEraseBkgnd(&dc)) {
            painter.fillRect(rect(), palette().color(QPalette::Base));
        }
        m_pView->OnDraw(&dc);
    }
    void mousePressEvent(QMouseEvent* event) override {
        m_pView->ActivateFromMouse();
        QWidget::mousePressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            const QPoint at = event->position().toPoint();
            m_pView->OnLButtonDblClk(0, CPoint{at.x(), at.y()});
        }
        event->accept();
    }
    void wheelEvent(QWheelEvent* event) override {
        const QPoint delta = event->angleDelta();
        const QPoint at = event->position().toPoint();
        const CPoint pt{at.x(), at.y()};
        // Shift turns the wheel sideways; a tilting wheel reports x directly.
        if ((event->modifiers() & Qt::ShiftModifier) != 0 && delta.x() == 0) {
            m_pView->OnMouseHWheel(0, static_cast<short>(-delta.y()), pt);
        } else if (delta.x() != 0 && delta.y() == 0) {
            m_pView->OnMouseHWheel(0, static_cast<short>(-delta.x()), pt);
        } else if (delta.y() != 0) {
            m_pView->OnMouseWheel(0, static_cast<short>(delta.y()), pt);
        }
        event->accept();
    }

private:
    CView* m_pView;
};

}  // namespace

bool CView::CreatePaneWindow(CWnd* pParent, const CRect& rect, UINT /*nID*/) {
    QWidget* parentWidget = pParent != nullptr ? pParent->GetSafeHwnd() : nullptr;
    auto* widget = new ViewWidget(this, parentWidget);
    widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    Attach(widget);
    if (parentWidget != nullptr) {
        widget->show();  // a child created after its parent was shown must be shown itself
    }
    return true;
}
