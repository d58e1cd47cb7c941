#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/core/CmdTarget.h"
#include "framework/core/Platform.h"

class CDC;
class CScrollBar;
class CWnd;

// One thing dropped on a window, as the drop names it.
struct CDroppedItem {
    std::string name;        // a local file's path (UTF-8); otherwise what the drop calls it
    bool bLocalFile = true;  // false: not a file of this computer (a web address, a text)
};

// What was dropped on a window, in the order the drop lists it, and where it landed.
struct CDropFiles {
    std::vector<CDroppedItem> items;
    CWnd* pWndAt = nullptr;  // the deepest of the framework's windows under the drop point
};

// A window: the platform's window driven through overridable message handlers. The CWnd owns
// its window; the platform's half of the framework delivers the window's messages to the
// handlers below.
class CWnd : public CCmdTarget {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The window; null before creation.
    HWND GetSafeHwnd() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd != nullptr; }
    // Takes ownership of the window that stands for this CWnd and routes its messages here.
    void Attach(HWND hWnd);
    // Lets go of the window (which stays) and returns it.
    HWND Detach();

    void GetClientRect(CRect* pRect) const;
    // The window's rectangle in its parent's client area.
    void GetChildRect(CRect* pRect) const;
    // Places the window within its parent's client area.
    void MoveWindow(int x, int y, int nWidth, int nHeight);
    // Marks the whole client area for repainting; with bErase the background is erased first.
    void Invalidate(bool bErase = true);
    // Paints pending invalid areas now.
    void UpdateWindow();
    void ShowWindow(int nCmdShow);
    bool IsWindowVisible() const;
    // Whether the window was shown, whatever its parent's state (hidden windows are not).
    bool IsShown() const;
    void SetFocus();
    // Whether the keyboard focus is in this window.
    bool HasFocus() const;

    // Files dragged from the file manager (or anything else dragged) may be dropped on the window
    // and its children, and reach OnDropFiles from the event loop. A drop is always taken as a
    // copy: what was dropped stays where it is.
    void DragAcceptFiles(bool bAccept = true);

    // The scroll bar for nBar (SB_HORZ, SB_VERT): a pane in a splitter gets its shared bars.
    virtual CScrollBar* GetScrollBarCtrl(int nBar) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, bool bRedraw = true);
    int SetScrollPos(int nBar, int nPos, bool bRedraw = true);
    int GetScrollPos(int nBar) const;
    // Moves the client area's pixels by the given amounts (positive: right, down).
    void ScrollWindow(int xAmount, int yAmount);

    // Sends the mouse's messages to this window wherever the pointer goes, until ReleaseCapture;
    // returns the window that had them, or null.
    CWnd* SetCapture();
    // The framework's window that has the mouse's messages, or null.
    static CWnd* GetCapture();
    static void ReleaseCapture();

    // Window messages. The defaults are the platform's default processing.
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnPaint();
    virtual bool OnEraseBkgnd(CDC* pDC);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    // The left button pressed or let go, or the pointer moved (nFlags holds MK_LBUTTON while the
    // left button is down), at point in the client area.
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnShowWindow(bool bShow, UINT nStatus);
    virtual void OnClose();
    // Something was dropped on the window (DragAcceptFiles). The default ignores it.
    virtual void OnDropFiles(const CDropFiles& drop);

    // What the platform's half keeps for the window beyond its handle; defined, and used, only
    // there.
    struct Impl;
    Impl& GetImpl() const { return *m_pImpl; }

private:
    HWND m_hWnd = nullptr;
    std::unique_ptr<Impl> m_pImpl;
};
