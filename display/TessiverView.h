#pragma once

#include "framework/window/View.h"

class CTessiverDoc;
class CScrollBar;

// The source pane: the source side of the result, one row per result row, from the document's
// shared first row and horizontal shift. It keeps nothing of its own. The row painting and the
// two scroll operations are shared with the target pane: they take the pane they act on.
class CTessiverView : public CView {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CTessiverView();
    ~CTessiverView() override;

    CTessiverDoc* GetDocument() const;

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, long lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;
    bool OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

    void OnSize(UINT nType, int cx, int cy) override;
    void OnLButtonDblClk(UINT nFlags, CPoint point) override;

    enum Side { sideSource, sideTarget };
    // Paints the visible rows of one side of the document's result into pView's device context.
    static void DrawRows(CView* pView, CDC* pDC, Side side);
    // One scroll request from any of the splitter's bars, for both panes: moves the document's
    // shared first row or horizontal shift and repaints both panes.
    static void SyncVScroll(CView* pView, UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    static void SyncHScroll(CView* pView, UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    // The horizontal bars' maximum, in pixels: 4096, or as far as the widest text of the result
    // reaches where that is further.
    static int GetHorzRange(const CTessiverDoc& doc);

    static const CommandMap* ThisMessageMap();

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};
