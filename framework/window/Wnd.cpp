#include "framework/window/Wnd.h"

#include "framework/window/ScrollBar.h"

const CRuntimeClass CWnd::runtimeClass{"CWnd", &CCmdTarget::runtimeClass, nullptr};

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

void CWnd::OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/) {}
void CWnd::OnPaint() {}
bool CWnd::OnEraseBkgnd(CDC* /*pDC*/) {
    return false;
}
void CWnd::OnLButtonDblClk(UINT /*nFlags*/, CPoint /*point*/) {}
void CWnd::OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/) {}
void CWnd::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/) {}
void CWnd::OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) {}
void CWnd::OnVScroll(UINT /*nSBCode*/, UINT /*nPos*/, CScrollBar* /*pScrollBar*/) {}
void CWnd::OnHScroll(UINT /*nSBCode*/, UINT /*nPos*/, CScrollBar* /*pScrollBar*/) {}
void CWnd::OnShowWindow(bool /*bShow*/, UINT /*nStatus*/) {}
void CWnd::OnClose() {}
void CWnd::OnDropFiles(const CDropFiles& /*drop*/) {}
