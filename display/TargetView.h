#pragma once

#include "framework/window/View.h"

class CTessiverDoc;

// The target pane: the target side of the result, row for row opposite the source pane. It
// handles no message or command of its own; the source pane's row painting draws it.
class CTargetView : public CView {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CTargetView();
    ~CTargetView() override;

    CTessiverDoc* GetDocument() const;

    void OnUpdate(CView* pSender, long lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;
};
