#include "display/TargetView.h"

#include "display/TessiverView.h"
#include "document/TessiverDoc.h"

const CRuntimeClass CTargetView::runtimeClass{"CTargetView", &CView::runtimeClass,
                                              &CreateRuntimeObject<CTargetView>};

CTargetView::CTargetView() = default;
CTargetView::~CTargetView() = default;

CTessiverDoc* CTargetView::GetDocument() const {
    return dynamic_cast<CTessiverDoc*>(CView::GetDocument());
}

void CTargetView::OnUpdate(CView* pSender, long lHint, CObject* pHint) {
    CView::OnUpdate(pSender, lHint, pHint);
    if (CTessiverDoc* doc = GetDocument()) {
        doc->m_scroll.ShowOnBars(*this, false);
    }
}

void CTargetView::OnDraw(CDC* pDC) {
    CTessiverView::DrawRows(this, pDC, CTessiverView::sideTarget);
}
