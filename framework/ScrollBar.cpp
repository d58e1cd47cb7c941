#include "framework/ScrollBar.h"

#include <QScrollBar>

CScrollBar::CScrollBar() = default;
CScrollBar::~CScrollBar() = default;

void CScrollBar::Create(bool bVertical, CWnd* pParent, CWnd* pOwner) {
    m_bVertical = bVertical;
    m_pOwner = pOwner;
    auto* bar = new QScrollBar(bVertical ? Qt::Vertical : Qt::Horizontal,
                               pParent != nullptr ? pParent->GetWidget() : nullptr);
    bar->setEnabled(false);
    Attach(bar);
}

QScrollBar* CScrollBar::GetQScrollBar() const { return static_cast<QScrollBar*>(GetWidget()); }

void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, bool /*bRedraw*/) {
    m_nMin = nMinPos;
    m_nMax = nMaxPos;
    if (QScrollBar* bar = GetQScrollBar()) {
        const QSignalBlocker block(bar);
        bar->setEnabled(nMaxPos > nMinPos);
        bar->setRange(nMinPos, nMaxPos > nMinPos ? nMaxPos : nMinPos);
        bar->setValue(m_nPos);
    }
}

void CScrollBar::GetScrollRange(int* pMinPos, int* pMaxPos) const {
    *pMinPos = m_nMin;
    *pMaxPos = m_nMax;
}

int CScrollBar::SetScrollPos(int nPos, bool /*bRedraw*/) {
    const int old = m_nPos;
    m_nPos = nPos;
    if (QScrollBar* bar = GetQScrollBar()) {
        const QSignalBlocker block(bar);
        bar->setValue(nPos);
    }
    return old;
}

int CScrollBar::GetScrollPos() const { return m_nPos; }

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
