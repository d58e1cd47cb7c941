// The Qt half of CScrollBar: a QScrollBar that never moves by itself.
#include "framework/window/ScrollBar.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>

namespace {

// Turns Qt's slider actions into requests and puts the thumb back where the program keeps it:
// the bar shows the program's position only.
class ScrollBarWidget : public QScrollBar {
public:
    ScrollBarWidget(CScrollBar* pBar, Qt::Orientation orientation, QWidget* parent)
        : QScrollBar(orientation, parent), m_pBar(pBar) {
        setFocusPolicy(Qt::NoFocus);
        setSingleStep(1);
        setPageStep(1);
        setTracking(true);
        connect(this, &QAbstractSlider::actionTriggered, this,
                [this](int action) { OnAction(action); });
        connect(this, &QAbstractSlider::sliderPressed, this,
                [this] { m_nTrackPos = m_pBar->GetScrollPos(); });
        connect(this, &QAbstractSlider::sliderReleased, this, [this] {
            m_pBar->SendRequest(SB_THUMBPOSITION, static_cast<UINT>(m_nTrackPos));
            m_bInAction = true;
        });
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QScrollBar::mouseReleaseEvent(event);
        if (m_bInAction) {
            m_bInAction = false;
            m_pBar->SendRequest(SB_ENDSCROLL, 0);
        }
    }
    void wheelEvent(QWheelEvent* event) override {
        const QPoint delta = event->angleDelta();
        m_pBar->SendWheelRequests(delta.y() != 0 ? delta.y() : delta.x());
        event->accept();
    }
    // Qt's own menu would move the bar by itself.
    void contextMenuEvent(QContextMenuEvent* event) override { event->accept(); }

private:
    void OnAction(int action) {
        UINT code = SB_ENDSCROLL;
        UINT pos = 0;
        switch (action) {
            case SliderSingleStepAdd:
                code = SB_LINEDOWN;
                break;
            case SliderSingleStepSub:
                code = SB_LINEUP;
                break;
            case SliderPageStepAdd:
                code = SB_PAGEDOWN;
                break;
            case SliderPageStepSub:
                code = SB_PAGEUP;
                break;
            case SliderToMinimum:
                code = SB_TOP;
                break;
            case SliderToMaximum:
                code = SB_BOTTOM;
                break;
            case SliderMove:
                code = SB_THUMBTRACK;
                m_nTrackPos = sliderPosition();
                pos = static_cast<UINT>(m_nTrackPos);
                break;
            default:
                return;
        }
        m_bInAction = true;
        m_pBar->SendRequest(code, pos);
        // Qt applies the slider position once this returns: make that the program's.
        setSliderPosition(m_pBar->GetScrollPos());
    }

    CScrollBar* m_pBar;
    int m_nTrackPos = 0;       // the thumb position of the latest drag step
    bool m_bInAction = false;  // a request went out since the mouse went down
};

}  // namespace

void CScrollBar::Create(bool bVertical, CWnd* pParent, CWnd* pOwner) {
    m_bVertical = bVertical;
    m_pOwner = pOwner;
    auto* bar = new ScrollBarWidget(this, bVertical ? Qt::Vertical : Qt::Horizontal,
                                    pParent != nullptr ? pParent->GetSafeHwnd() : nullptr);
    bar->setEnabled(false);
    Attach(bar);
}

void CScrollBar::UpdateControl() {
    if (auto* bar = static_cast<QScrollBar*>(GetSafeHwnd())) {
        // The program sets the bar: that must never come back as a request.
        const QSignalBlocker block(bar);
        bar->setEnabled(IsEnabled());
        bar->setRange(m_nMin, std::max(m_nMin, m_nMax));
        bar->setValue(m_nPos);
    }
}
