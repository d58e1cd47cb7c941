#include "framework/View.h"

#include <QWidget>

#include "framework/DocTemplate.h"
#include "framework/Document.h"

const CRuntimeClass CView::runtimeClass{"CView", &CWnd::runtimeClass, nullptr};

CView::CView() = default;

CView::~CView() {
    if (m_pDocument != nullptr) {
        m_pDocument->RemoveView(this);
    }
}

bool CView::PreCreateWindow(CREATESTRUCT& /*cs*/) { return true; }

bool CView::Create(CWnd* pParent, const CRect& rect, UINT /*nID*/, CCreateContext* pContext) {
    CREATESTRUCT cs{rect, 0};
    if (!PreCreateWindow(cs)) {
        return false;
    }
    auto* widget = new QWidget(pParent != nullptr ? pParent->GetWidget() : nullptr);
    widget->setGeometry(cs.rect.left, cs.rect.top, cs.rect.Width(), cs.rect.Height());
    Attach(widget);
    if (pContext != nullptr && pContext->m_pCurrentDoc != nullptr) {
        pContext->m_pCurrentDoc->AddView(this);
    }
    return true;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView* /*pSender*/, long /*lHint*/, CObject* /*pHint*/) { Invalidate(true); }

bool CView::OnPreparePrinting(CPrintInfo* /*pInfo*/) { return false; }
bool CView::DoPreparePrinting(CPrintInfo* /*pInfo*/) { return false; }
void CView::OnBeginPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}
void CView::OnEndPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}

void CView::OnActivateView(bool bActivate, CView* /*pActivateView*/, CView* /*pDeactiveView*/) {
    if (bActivate) {
        SetFocus();
    }
}

bool CView::OnCmdMsg(CommandId id, CmdQuery q, CCmdUI* pCmdUI) {
    if (DispatchOwn(id, q, pCmdUI)) {
        return true;
    }
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(id, q, pCmdUI);
}
