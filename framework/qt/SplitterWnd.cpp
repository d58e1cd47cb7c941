// The Qt half of CSplitterWnd: its widget paints the splitter bars and the corner box and turns
// mouse and keys into bar tracking.
#include "framework/window/SplitterWnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QWidget>

#include "framework/draw/DC.h"

namespace {

constexpr int kKeyboardStep = 8;

// The splitter's window: paints the splitter bars and the corner box, and turns mouse and keys
// into bar tracking. The panes and the scroll bars are its children.
class SplitterWidget : public QWidget {
public:
    SplitterWidget(CSplitterWnd* pSplitter, QWidget* parent)
        : QWidget(parent), m_pSplitter(pSplitter), m_pTracker(new QWidget(this)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
        m_pTracker->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_pTracker->setAutoFillBackground(true);
        QPalette pal = m_pTracker->palette();
        pal.setColor(QPalette::Window, palette().color(QPalette::Shadow));
        m_pTracker->setPalette(pal);
        m_pTracker->hide();
    }

    void ShowTracker(bool bShow) {
        if (bShow) {
            m_pTracker->setGeometry(m_pSplitter->TrackerLeft(), 0, m_pSplitter->SplitterBarWidth(),
                                    height());
            m_pTracker->raise();
        }
        m_pTracker->setVisible(bShow);
    }
    void TakeKeyboard() {
        m_pFocusBefore = QApplication::focusWidget();
        setFocus(Qt::OtherFocusReason);
    }
    void GiveKeyboardBack() {
        QPointer<QWidget> before = m_pFocusBefore;
        m_pFocusBefore = nullptr;
        if (before != nullptr) {
            before->setFocus(Qt::OtherFocusReason);
        }
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        CDC dc(&painter);
        if (!m_pSplitter->OnEraseBkgnd(&dc)) {
            painter.fillRect(rect(), palette().color(QPalette::Window));
        }
        // The splitter bars and the corner box belong to the splitter: nothing else covers them.
        const QColor face = palette().color(QPalette::Button);
        for (int col = 0; col + 1 < m_pSplitter->GetColumnCount(); ++col) {
            const QRect bar(m_pSplitter->SplitterBarLeft(col), 0, m_pSplitter->SplitterBarWidth(),
                            height());
            painter.fillRect(bar, face);
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(bar.topLeft(), bar.bottomLeft());
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawLine(bar.topRight(), bar.bottomRight());
        }
        const CRect corner = m_pSplitter->CornerBox();
        if (corner.Width() > 0 && corner.Height() > 0) {
            painter.fillRect(QRect(corner.left, corner.top, corner.Width(), corner.Height()), face);
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (m_pSplitter->IsTracking()) {
            m_pSplitter->StopTracking(true);  // a click ends the keyboard split, keeping it
        } else if (event->button() == Qt::LeftButton) {
            const int col = m_pSplitter->HitSplitterBar(at.x(), at.y());
            if (col >= 0) {
                m_pSplitter->StartTracking(col, at.x() - m_pSplitter->SplitterBarLeft(col), false);
            }
        }
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (m_pSplitter->IsTracking()) {
            m_pSplitter->TrackTo(at.x());
        } else {
            setCursor(m_pSplitter->HitSplitterBar(at.x(), at.y()) >= 0 ? Qt::SplitHCursor
                                                                       : Qt::ArrowCursor);
        }
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (m_pSplitter->IsTracking() && !m_pSplitter->IsKeyboardTracking() &&
            event->button() == Qt::LeftButton) {
            m_pSplitter->StopTracking(true);
        }
        event->accept();
    }
    bool event(QEvent* event) override {
        // While the bar moves by the keyboard, every key is the splitter's, before the frame's
        // shortcuts: the arrows move the bar, not the panes.
        if (event->type() == QEvent::ShortcutOverride && m_pSplitter->IsTracking()) {
            event->accept();
            return true;
        }
        return QWidget::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (!m_pSplitter->IsTracking()) {
            QWidget::keyPressEvent(event);
            return;
        }
        const int step = (event->modifiers() & Qt::ControlModifier) != 0 ? 1 : kKeyboardStep;
        switch (event->key()) {
            case Qt::Key_Left:
                m_pSplitter->TrackBy(-step);
                break;
            case Qt::Key_Right:
                m_pSplitter->TrackBy(step);
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                m_pSplitter->StopTracking(true);
                break;
            case Qt::Key_Escape:
                m_pSplitter->StopTracking(false);
                break;
            default:
                break;
        }
        event->accept();
    }
    void focusOutEvent(QFocusEvent* event) override {
        // Going elsewhere during the keyboard split keeps the old split.
        if (m_pSplitter->IsKeyboardTracking()) {
            m_pSplitter->StopTracking(false);
        }
        QWidget::focusOutEvent(event);
    }

private:
    CSplitterWnd* m_pSplitter;
    QWidget* m_pTracker;  // child: goes with the widget
    QPointer<QWidget> m_pFocusBefore;
};

SplitterWidget* WidgetOf(const CSplitterWnd* pSplitter) {
    return static_cast<SplitterWidget*>(pSplitter->GetSafeHwnd());
}

}  // namespace

bool CSplitterWnd::CreateSplitterWindow(CWnd* pParentWnd) {
    QWidget* parentWidget = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    auto* widget = new SplitterWidget(this, parentWidget);
    if (parentWidget != nullptr) {
        widget->resize(parentWidget->size());
    }
    Attach(widget);
    return true;
}

int CSplitterWnd::ScrollBarExtent() const {
    const QWidget* widget = GetSafeHwnd();
    return widget != nullptr ? widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
}

void CSplitterWnd::ShowTracker(bool bShow) {
    WidgetOf(this)->ShowTracker(bShow);
}

void CSplitterWnd::TakeKeyboard() {
    WidgetOf(this)->TakeKeyboard();
}

void CSplitterWnd::GiveKeyboardBack() {
    WidgetOf(this)->GiveKeyboardBack();
}
