#include "shell/SyncSplitter.h"

#include "display/TessiverView.h"

CSyncSplitter::CSyncSplitter() = default;
CSyncSplitter::~CSyncSplitter() = default;

void CSyncSplitter::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (auto* pane = dynamic_cast<CView*>(GetPane(0, 1))) {
        CTessiverView::SyncVScroll(pane, nSBCode, nPos, pScrollBar);
    }
}

void CSyncSplitter::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (auto* pane = dynamic_cast<CView*>(GetPane(0, 1))) {
        CTessiverView::SyncHScroll(pane, nSBCode, nPos, pScrollBar);
    }
}

void CSyncSplitter::OnSize(UINT nType, int cx, int cy) {
    CSplitterWnd::OnSize(nType, cx, cy);
    // Taken at the next layout, not this one.
    if (cx != 0) {
        SetColumnInfo(0, cx / 2, cx / 10);
        SetColumnInfo(1, cx / 2, cx / 10);
    }
}

bool CSyncSplitter::OnEraseBkgnd(CDC* /*pDC*/) {
    return true;
}
