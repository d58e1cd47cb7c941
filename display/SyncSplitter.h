#pragma once

#include "framework/window/SplitterWnd.h"

// The main frame's splitter: every request of its shared scroll bars goes, as received, to the
// document's scroll state for the pane in column 1, so that both panes follow; the columns return
// to half the width each after every resize, one layout later.
class CSyncSplitter : public CSplitterWnd {
public:
    CSyncSplitter();
    ~CSyncSplitter() override;

    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override;
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override;
    void OnSize(UINT nType, int cx, int cy) override;
    bool OnEraseBkgnd(CDC* pDC) override;
};
