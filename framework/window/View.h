#pragma once

#include "framework/window/Wnd.h"

class CDC;
class CDocument;
class CFrameWnd;
class CSplitterWnd;
struct CCreateContext;

// A print job's settings, as the printing commands hand them to a view.
struct CPrintInfo {
    int m_nFromPage = 1;
    int m_nToPage = 1;
    bool m_bPreview = false;
};

// A pane showing its document. It keeps no data of its own: it reads the document when it
// paints; OnUpdate only invalidates. Its window erases itself with the system window colour and
// then draws through OnDraw; double-clicks are delivered; it has no scroll bars of its own: in
// a splitter, the splitter's shared bars stand for them.
class CView : public CWnd {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CWnd* GetParent() const { return m_pParentWnd; }
    // The splitter holding this pane, or null.
    CSplitterWnd* GetParentSplitter() const;
    CFrameWnd* GetParentFrame() const { return m_pFrame; }

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
    // The standard print and print-preview commands: they prepare through OnPreparePrinting and
    // go no further when it declines.
    void OnFilePrint();
    void OnFilePrintPreview();

    CScrollBar* GetScrollBarCtrl(int nBar) const override;

    // A wheel turn over the pane (zDelta in eighths of a degree, positive: away from the user;
    // for the horizontal wheel positive is to the right). The default hands it to the splitter's
    // bars as line requests, so both panes of a splitter move together.
    virtual void OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    virtual void OnMouseHWheel(UINT nFlags, short zDelta, CPoint pt);

    // Routing: the view's own table, then its document's.
    bool OnCmdMsg(CommandId id, CmdQuery q, CCmdUI* pCmdUI) override;

    // Becoming or ceasing to be the frame's active view.
    virtual void OnActivateView(bool bActivate, CView* pActivateView, CView* pDeactiveView);

    // Commands every pane in a splitter carries: next and previous pane, keyboard split.
    void OnNextPane();
    void OnPrevPane();
    void OnUpdateNextPane(CCmdUI* pCmdUI);
    void OnWindowSplit();
    void OnUpdateWindowSplit(CCmdUI* pCmdUI);

    static const CommandMap* ThisMessageMap();

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }

public:
    // For the framework's widget: a click in the pane makes it the frame's active view.
    void ActivateFromMouse();

private:
    friend class CDocument;
    // Creates the pane's window in pParent's client area.
    bool CreatePaneWindow(CWnd* pParent, const CRect& rect, UINT nID);

    CDocument* m_pDocument = nullptr;
    CWnd* m_pParentWnd = nullptr;
    CFrameWnd* m_pFrame = nullptr;
};
