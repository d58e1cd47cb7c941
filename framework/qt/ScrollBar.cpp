#include "framework/window/ScrollBar.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>

const CRuntimeClass CScrollBar::runtimeClass{"CScrollBar", &CWnd::runtimeClass, nullptr};

namespace {

constexpr int kWheelNotch = 120;
constexpr int kLinesPerNotch = 3;

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

CScrollBar::CScrollBar() = default;
CScrollBar::~CScrollBar() = default;

void CScrollBar::Create(bool bVertical, CWnd* pParent, CWnd* pOwner) {
    m_bVertical = bVertical;
    m_pOwner = pOwner;
    auto* bar = new ScrollBarWidget(this, bVertical ? Qt::Vertical : Qt::Horizontal,
                                    pParent != nullptr ? pParent->GetWidget() : nullptr);
    bar->setEnabled(false);
    Attach(bar);
}

QScrollBar* CScrollBar::GetQScrollBar() const {
    return static_cast<QScrollBar*>(GetWidget());
}

void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, bool /*bRedraw*/) {
    m_nMin = nMinPos;
    m_nMax = nMaxPos;
    m_nPos = std::clamp(m_nPos, m_nMin, std::max(m_nMin, m_nMax));
    if (QScrollBar* bar = GetQScrollBar()) {
        const QSignalBlocker block(bar);
        bar->setEnabled(IsEnabled());
        bar->setRange(m_nMin, std::max(m_nMin, m_nMax));
        bar->setValue(m_nPos);
    }
}

void CScrollBar::GetScrollRange(int* pMinPos, int* pMaxPos) const {
    *pMinPos = m_nMin;
    *pMaxPos = m_nMax;
}

int CScrollBar::SetScrollPos(int nPos, bool /*bRedraw*/) {
    const int old = m_nPos;
    m_nPos = std::clamp(nPos, m_nMin, std::max(m_nMin, m_nMax));
    if (QScrollBar* bar = GetQScrollBar()) {
        const QSignalBlocker block(bar);
        bar->setValue(m_nPos);
    }
    return old;
}

int CScrollBar::GetScrollPos() const {
    return m_nPos;
}

void CScrollBar::SendRequest(UINT nSBCode, UINT nPos) {
    if (m_pOwner == nullptr) {
        return;
    }
    if (m_bVertical) {
        m_pOwner->OnVScroll(nSBCode, nPos, this);
    } else {
        m_pOwner->OnHScroll(nSBCode, nPos, this);
    }
}

void CScrollBar::SendWheelRequests(int nDelta) {
    m_nWheelRest += nDelta;
    while (m_nWheelRest >= kWheelNotch || m_nWheelRest <= -kWheelNotch) {
        const bool bBack = m_nWheelRest > 0;  // away from the user: up, or to the left
        m_nWheelRest += bBack ? -kWheelNotch : kWheelNotch;
        for (int i = 0; i < kLinesPerNotch; ++i) {
            SendRequest(bBack ? SB_LINEUP : SB_LINEDOWN, 0);
        }
    }
}
