// The Win32 half of CScrollBar: a scroll bar control. The system moves its thumb only while the
// user drags it; the program sets the range and the position.
#include "framework/window/ScrollBar.h"

#include <algorithm>

#include "framework/win32/Win32Support.h"

void CScrollBar::Create(bool bVertical, CWnd* pParent, CWnd* pOwner) {
    m_bVertical = bVertical;
    m_pOwner = pOwner;
    HWND bar = CreateWindowExW(0, L"SCROLLBAR", L"",
                               WS_CHILD | WS_DISABLED | (bVertical ? SBS_VERT : SBS_HORZ), 0, 0, 0,
                               0, pParent != nullptr ? pParent->GetSafeHwnd() : nullptr, nullptr,
                               AfxGetInstanceHandle(), nullptr);
    if (bar != nullptr) {
        Attach(bar);
    }
}

void CScrollBar::UpdateControl() {
    HWND bar = GetSafeHwnd();
    if (bar == nullptr) {
        return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = m_nMin;
    info.nMax = std::max(m_nMin, m_nMax);
    info.nPos = m_nPos;
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    EnableWindow(bar, IsEnabled() ? TRUE : FALSE);
}
