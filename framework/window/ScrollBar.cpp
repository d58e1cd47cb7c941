#include "framework/window/ScrollBar.h"

#include <algorithm>

const CRuntimeClass CScrollBar::runtimeClass{"CScrollBar", &CWnd::runtimeClass, nullptr};

namespace {
constexpr int kWheelNotch = 120;
constexpr int kLinesPerNotch = 3;
}  // namespace

CScrollBar::CScrollBar() = default;
CScrollBar::~CScrollBar() = default;

void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, bool /*bRedraw*/) {
    m_nMin = nMinPos;
    m_nMax = nMaxPos;
    m_nPos = std::clamp(m_nPos, m_nMin, std::max(m_nMin, m_nMax));
    UpdateControl();
}

void CScrollBar::GetScrollRange(int* pMinPos, int* pMaxPos) const {
    *pMinPos = m_nMin;
    *pMaxPos = m_nMax;
}

int CScrollBar::SetScrollPos(int nPos, bool /*bRedraw*/) {
    const int old = m_nPos;
    m_nPos = std::clamp(nPos, m_nMin, std::max(m_nMin, m_nMax));
    UpdateControl();
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
