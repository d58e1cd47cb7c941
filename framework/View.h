#pragma once

#include "framework/Wnd.h"

class CDC;
class CDocument;
struct CCreateContext;

// A print job's settings, as the printing commands hand them to a view.
struct CPrintInfo {
    int m_nFromPage = 1;
    int m_nToPage = 1;
    bool m_bPreview = false;
};

// Creation arguments a window may adjust before it is created.
struct CREATESTRUCT {
    CRect rect;
    DWORD style = 0;
};

// A pane showing its document. It keeps no data of its own: it reads the document when it
// paints; OnUpdate only invalidates.
class CView : public CWnd {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    // Creates the pane's window as a child of pParent and ties it to the context's document.
    virtual bool Create(CWnd* pParent, const CRect& rect, UINT nID, CCreateContext* pContext);
    virtual bool PreCreateWindow(CREATESTRUCT& cs);

    virtual void OnInitialUpdate();  // the default calls OnUpdate(nullptr, 0, nullptr)
    virtual void OnUpdate(CView* pSender, long lHint, CObject* pHint);  // the default invalidates
    virtual void OnDraw(CDC* pDC) = 0;

    virtual bool OnPreparePrinting(CPrintInfo* pInfo);
    // The standard preparation: the platform's print dialog; false when the user cancels.
    bool DoPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);

    // Routing: the view's own table, then its document's.
    bool OnCmdMsg(CommandId id, CmdQuery q, CCmdUI* pCmdUI) override;

    // Becoming or ceasing to be the frame's active view.
    virtual void OnActivateView(bool bActivate, CView* pActivateView, CView* pDeactiveView);

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};
