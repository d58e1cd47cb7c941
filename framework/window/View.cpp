#include "framework/window/View.h"

#include "framework/core/AfxRes.h"
#include "framework/core/CmdUI.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/Document.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/ScrollBar.h"
#include "framework/window/SplitterWnd.h"

const CRuntimeClass CView::runtimeClass{"CView", &CWnd::runtimeClass, nullptr};

CView::CView() = default;

CView::~CView() {
    if (m_pDocument != nullptr) {
        m_pDocument->RemoveView(this);
    }
}

const CommandMap* CView::ThisMessageMap() {
    static constexpr CommandMapEntry entries[] = {
        CommandEntry<&CView::OnWindowSplit, &CView::OnUpdateWindowSplit>(ID_WINDOW_SPLIT),
        CommandEntry<&CView::OnNextPane, &CView::OnUpdateNextPane>(ID_NEXT_PANE),
        CommandEntry<&CView::OnPrevPane, &CView::OnUpdateNextPane>(ID_PREV_PANE),
    };
    static const CommandMap map{CWnd::ThisMessageMap(), entries};
    return &map;
}

CSplitterWnd* CView::GetParentSplitter() const {
    return dynamic_cast<CSplitterWnd*>(m_pParentWnd);
}

bool CView::PreCreateWindow(CREATESTRUCT& /*cs*/) {
    return true;
}

bool CView::Create(CWnd* pParent, const CRect& rect, UINT nID, CCreateContext* pContext) {
    CREATESTRUCT cs{};
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.Width();
    cs.cy = rect.Height();
    if (!PreCreateWindow(cs) ||
        !CreatePaneWindow(pParent, CRect(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy), nID)) {
        return false;
    }
    m_pParentWnd = pParent;
    if (pContext != nullptr) {
        m_pFrame = pContext->m_pCurrentFrame;
        if (pContext->m_pCurrentDoc != nullptr) {
            pContext->m_pCurrentDoc->AddView(this);
        }
    }
    return true;
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView* /*pSender*/, long /*lHint*/, CObject* /*pHint*/) {
    Invalidate(true);
}

bool CView::OnPreparePrinting(CPrintInfo* /*pInfo*/) {
    return false;
}
bool CView::DoPreparePrinting(CPrintInfo* /*pInfo*/) {
    return false;
}
void CView::OnBeginPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}
void CView::OnEndPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}

void CView::OnFilePrint() {
    CPrintInfo info;
    if (!OnPreparePrinting(&info)) {
        return;
    }
    OnBeginPrinting(nullptr, &info);
    OnEndPrinting(nullptr, &info);
}

void CView::OnFilePrintPreview() {
    CPrintInfo info;
    info.m_bPreview = true;
    if (!OnPreparePrinting(&info)) {
        return;
    }
    OnBeginPrinting(nullptr, &info);
    OnEndPrinting(nullptr, &info);
}

CScrollBar* CView::GetScrollBarCtrl(int nBar) const {
    CSplitterWnd* splitter = GetParentSplitter();
    return splitter != nullptr ? splitter->GetPaneScrollBar(nBar, this) : nullptr;
}

void CView::OnMouseWheel(UINT /*nFlags*/, short zDelta, CPoint /*pt*/) {
    if (CScrollBar* bar = GetScrollBarCtrl(SB_VERT)) {
        bar->SendWheelRequests(zDelta);
    }
}

void CView::OnMouseHWheel(UINT /*nFlags*/, short zDelta, CPoint /*pt*/) {
    if (CScrollBar* bar = GetScrollBarCtrl(SB_HORZ)) {
        bar->SendWheelRequests(-zDelta);
    }
}

void CView::OnActivateView(bool bActivate, CView* /*pActivateView*/, CView* /*pDeactiveView*/) {
    if (bActivate) {
        SetFocus();
    }
}

void CView::ActivateFromMouse() {
    if (m_pFrame != nullptr && m_pFrame->GetActiveView() != this) {
        m_pFrame->SetActiveView(this);
    }
}

void CView::OnNextPane() {
    GetParentSplitter()->ActivateNext(false);
}

void CView::OnPrevPane() {
    GetParentSplitter()->ActivateNext(true);
}

void CView::OnUpdateNextPane(CCmdUI* pCmdUI) {
    CSplitterWnd* splitter = GetParentSplitter();
    pCmdUI->Enable(splitter != nullptr && splitter->CanActivateNext());
}

void CView::OnWindowSplit() {
    GetParentSplitter()->DoKeyboardSplit();
}

void CView::OnUpdateWindowSplit(CCmdUI* pCmdUI) {
    CSplitterWnd* splitter = GetParentSplitter();
    pCmdUI->Enable(splitter != nullptr && splitter->GetColumnCount() > 1);
}

bool CView::OnCmdMsg(CommandId id, CmdQuery q, CCmdUI* pCmdUI) {
    if (DispatchOwn(id, q, pCmdUI)) {
        return true;
    }
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(id, q, pCmdUI);
}
