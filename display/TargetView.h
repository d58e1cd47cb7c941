#pragma once

#include "framework/window/View.h"

class CTessiverDoc;

// The target pane: the target side of the result, row for row opposite the source pane; the
// source pane's row painting draws it. While View > Location Map is on, its right edge shows the
// location map of the whole result over the rows, with the rows on screen framed: a click there
// puts the rows under the pointer in the middle of both panes, and a drag moves them as the
// scroll bar's thumb does.
class CTargetView : public CView {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CTargetView();
    ~CTargetView() override;

    CTessiverDoc* GetDocument() const;

    void OnUpdate(CView* pSender, long lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;

    // The location map's place in the pane while it is shown: the pane's right edge, as tall as
    // the pane; empty while it is not.
    CRect GetMapRect() const;

private:
    bool m_bDragging = false;  // the left button went down in the map and is not up yet
};
