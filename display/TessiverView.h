#pragma once

#include <cstdint>

#include "framework/window/View.h"

class CTessiverDoc;

// The source pane: the source side of the result, one row per result row, from the document's
// shared scroll state (CScrollState), which it reads when it paints and shows on the splitter's
// bars when it updates. It keeps nothing of its own. The row painting is shared with the target
// pane: it takes the pane it paints.
class CTessiverView : public CView {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CTessiverView();
    ~CTessiverView() override;

    CTessiverDoc* GetDocument() const;

    bool PreCreateWindow(CREATESTRUCT& cs) override;
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
    // The colour a row of kind (a RowKind) is drawn in: its text's, red, blue or green for the
    // kinds of difference.
    static COLORREF GetRowColour(std::int32_t kind);

    static const CommandMap* ThisMessageMap();

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};
