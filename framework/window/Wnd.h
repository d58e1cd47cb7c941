#pragma once

#include "framework/core/CmdTarget.h"
#include "framework/core/Platform.h"

class QObject;
class QWidget;
class CDC;
class CScrollBar;

// A window: a Qt widget driven through overridable message handlers. The window owns its
// widget; the framework's widget classes forward Qt's events to the handlers below.
class CWnd : public CCmdTarget {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The widget behind the window; null before creation. For the framework's own use.
    QWidget* GetWidget() const { return m_pWidget; }
    bool IsWindow() const { return m_pWidget != nullptr; }

    void GetClientRect(CRect* pRect) const;
    // Marks the whole client area for repainting; with bErase the background is erased first.
    void Invalidate(bool bErase = true);
    // Paints pending invalid areas now.
    void UpdateWindow();
    void ShowWindow(int nCmdShow);
    bool IsWindowVisible() const;
    void SetFocus();

    // The scroll bar for nBar (SB_HORZ, SB_VERT): a pane in a splitter gets its shared bars.
    virtual CScrollBar* GetScrollBarCtrl(int nBar) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, bool bRedraw = true);
    int SetScrollPos(int nBar, int nPos, bool bRedraw = true);
    int GetScrollPos(int nBar) const;
    // Moves the client area's pixels by the given amounts (positive: right, down).
    void ScrollWindow(int xAmount, int yAmount);

    // Window messages. The defaults are the platform's default processing.
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnPaint();
    virtual bool OnEraseBkgnd(CDC* pDC);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnShowWindow(bool bShow, UINT nStatus);
    virtual void OnClose();

protected:
    // Takes ownership of the widget that stands for this window.
    void Attach(QWidget* pWidget);

private:
    QWidget* m_pWidget = nullptr;
    QObject* m_pFilter = nullptr;  // forwards the widget's events; a child of the widget
};
