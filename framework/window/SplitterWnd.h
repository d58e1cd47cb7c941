#pragma once

#include <memory>
#include <vector>

#include "framework/window/Wnd.h"

class CFrameWnd;
class CScrollBar;
class CView;
struct CCreateContext;

// A static splitter of one row and a fixed number of columns, each column holding one pane.
// Created with WS_VSCROLL and WS_HSCROLL, it carries shared scroll bars instead of bars on the
// panes: one vertical bar at its right edge for the row and one horizontal bar under each
// column; their requests arrive at OnVScroll/OnHScroll with the platform's codes. Column widths
// given by SetColumnInfo take effect at the next layout; a column narrower than its minimum is
// not shown and its neighbour takes the space. The bar between two columns can be dragged with
// the mouse, or moved with the arrow keys after DoKeyboardSplit (Enter keeps, Escape cancels).
class CSplitterWnd : public CWnd {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

    static constexpr DWORD kStyleHScroll = 0x00100000;  // WS_HSCROLL
    static constexpr DWORD kStyleVScroll = 0x00200000;  // WS_VSCROLL
    static constexpr DWORD kStyleVisible = 0x10000000;  // WS_VISIBLE

    CSplitterWnd();
    ~CSplitterWnd() override;

    // Creates the splitter's window as a child of pParentWnd (or on its own when null). Only a
    // single row is supported.
    virtual bool CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID);
    // Creates the pane at (row, col) from its class record; the splitter owns it. sizeInit.cx
    // becomes the column's ideal width.
    virtual bool CreateView(int row, int col, const CRuntimeClass* pViewClass, CSize sizeInit,
                            CCreateContext* pContext);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    CWnd* GetPane(int row, int col) const;
    // The pane's row and column, when pWnd is one of this splitter's panes.
    bool IsChildPane(const CWnd* pWnd, int* pRow, int* pCol) const;

    void SetColumnInfo(int col, int cxIdeal, int cxMin);
    // The width the last layout gave the column (0 when hidden) and its minimum.
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    // Lays the panes, bars and splitter bars out over the window's current size.
    virtual void RecalcLayout();

    // The shared bars: the vertical one, and the horizontal one under column col.
    CScrollBar* GetVertScrollBar() const { return m_pVertBar.get(); }
    CScrollBar* GetHorzScrollBar(int col) const;
    // The bar that stands for pPane's own bar nBar (SB_HORZ, SB_VERT).
    CScrollBar* GetPaneScrollBar(int nBar, const CWnd* pPane) const;

    // Next/previous pane: focus moves to it and it becomes the frame's active view.
    bool CanActivateNext(bool bPrev = false) const;
    void ActivateNext(bool bPrev = false);
    // Starts moving the first splitter bar with the keyboard.
    bool DoKeyboardSplit();
    bool IsTracking() const { return m_bTracking; }
    bool IsKeyboardTracking() const { return m_bTracking && m_bKeyboardTracking; }

    // The default lays the panes out again.
    void OnSize(UINT nType, int cx, int cy) override;
    // The default hands a vertical request to every pane, a horizontal one to the panes of the
    // bar's column.
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override;
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override;

    // For the framework's widget: splitter bar dragging and the keyboard split mode.
    int HitSplitterBar(int x, int y) const;  // the column left of the bar hit, or -1
    void StartTracking(int col, int xGrab, bool bKeyboard);
    void TrackTo(int x);
    void TrackBy(int dx);
    void StopTracking(bool bAccept);
    int SplitterBarWidth() const;
    // The left edge of the bar right of column col, as last laid out.
    int SplitterBarLeft(int col) const;
    // The box between the vertical bar and the horizontal bars, as last laid out.
    CRect CornerBox() const { return m_cornerBox; }
    // The tracker's left edge while tracking.
    int TrackerLeft() const { return m_nTrackX; }

private:
    // The platform's half: the splitter's own window, the scroll bars' thickness, the tracker
    // shown while a bar is moved, and the keyboard taken for the keyboard split.
    bool CreateSplitterWindow(CWnd* pParentWnd);
    int ScrollBarExtent() const;
    void ShowTracker(bool bShow);
    void TakeKeyboard();
    void GiveKeyboardBack();

    struct Column {
        int nIdeal = 0;
        int nMin = 0;
        int nCur = 0;
    };
    CView* GetActivePane() const;
    int PaneAreaWidth() const;

    CFrameWnd* m_pFrame = nullptr;
    UINT m_nID = 0;  // the window's identifier in its parent
    int m_nRows = 0;
    std::vector<Column> m_columns;
    std::vector<std::unique_ptr<CObject>> m_panes;  // one per column, owned
    std::unique_ptr<CScrollBar> m_pVertBar;
    std::vector<std::unique_ptr<CScrollBar>> m_horzBars;
    std::vector<int> m_barLeft;  // left edges of the splitter bars, per layout
    CRect m_cornerBox;

    bool m_bTracking = false;
    bool m_bKeyboardTracking = false;
    int m_nTrackCol = 0;
    int m_nTrackGrab = 0;  // where in the bar the mouse took hold
    int m_nTrackX = 0;     // the tracker's left edge
};
