#include "display/SyncSplitter.h"

#include "document/TessiverDoc.h"
#include "framework/window/View.h"

CSyncSplitter::CSyncSplitter() = default;
CSyncSplitter::~CSyncSplitter() = default;

namespace {

// The pane every request goes to, and the document whose scroll state it moves.
CTessiverDoc* RequestTarget(const CSplitterWnd& splitter, CView*& pPane) {
    pPane = dynamic_cast<CView*>(splitter.GetPane(0, 1));
    return pPane != nullptr ? dynamic_cast<CTessiverDoc*>(pPane->GetDocument()) : nullptr;
}

}  // namespace

void CSyncSplitter::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CView* pane = nullptr;
    if (CTessiverDoc* doc = RequestTarget(*this, pane)) {
        doc->m_scroll.OnVScroll(*pane, nSBCode, nPos, pScrollBar);
    }
}

void CSyncSplitter::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CView* pane = nullptr;
    if (CTessiverDoc* doc = RequestTarget(*this, pane)) {
        doc->m_scroll.OnHScroll(*pane, nSBCode, nPos, pScrollBar);
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
