#include "framework/window/SplitterWnd.h"

#include <algorithm>

#include "framework/core/AfxRes.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/ScrollBar.h"
#include "framework/window/View.h"

const CRuntimeClass CSplitterWnd::runtimeClass{"CSplitterWnd", &CWnd::runtimeClass, nullptr};

namespace {
constexpr int kSplitterBar = 6;  // width of the bar between two columns
}  // namespace

CSplitterWnd::CSplitterWnd() = default;

CSplitterWnd::~CSplitterWnd() {
    if (m_pFrame != nullptr) {
        if (CView* active = m_pFrame->GetActiveView();
            active != nullptr && IsChildPane(active, nullptr, nullptr)) {
            m_pFrame->SetActiveView(nullptr, false);
        }
    }
    // The panes and bars go before the window that holds theirs.
    m_panes.clear();
    m_horzBars.clear();
    m_pVertBar.reset();
}

bool CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID) {
    if (IsWindow() || nRows != 1 || nCols < 1 || nCols > 16) {
        return false;
    }
    m_pFrame = dynamic_cast<CFrameWnd*>(pParentWnd);
    m_nRows = nRows;
    m_nID = nID;
    m_columns.assign(static_cast<std::size_t>(nCols), Column{});
    m_panes.resize(static_cast<std::size_t>(nCols));
    m_barLeft.assign(static_cast<std::size_t>(nCols - 1), 0);

    if (!CreateSplitterWindow(pParentWnd)) {
        return false;
    }
    if ((dwStyle & kStyleVScroll) != 0) {
        m_pVertBar = std::make_unique<CScrollBar>();
        m_pVertBar->Create(true, this, this);
    }
    if ((dwStyle & kStyleHScroll) != 0) {
        for (int col = 0; col < nCols; ++col) {
            m_horzBars.push_back(std::make_unique<CScrollBar>());
            m_horzBars.back()->Create(false, this, this);
        }
    }
    if (pParentWnd != nullptr && (dwStyle & kStyleVisible) != 0) {
        ShowWindow(SW_SHOW);
    }
    return true;
}

bool CSplitterWnd::CreateView(int row, int col, const CRuntimeClass* pViewClass, CSize sizeInit,
                              CCreateContext* pContext) {
    if (!IsWindow() || row != 0 || col < 0 || col >= GetColumnCount() || pViewClass == nullptr ||
        m_panes[static_cast<std::size_t>(col)] != nullptr) {
        return false;
    }
    std::unique_ptr<CObject> object = pViewClass->CreateObject();
    auto* view = dynamic_cast<CView*>(object.get());
    if (view == nullptr) {
        return false;
    }
    if (pContext != nullptr && pContext->m_pCurrentFrame != nullptr && m_pFrame == nullptr) {
        m_pFrame = pContext->m_pCurrentFrame;
    }
    const CRect rect(0, 0, sizeInit.cx, sizeInit.cy);
    if (!view->Create(this, rect, AFX_IDW_PANE_FIRST + static_cast<UINT>(row * 16 + col),
                      pContext)) {
        return false;
    }
    m_columns[static_cast<std::size_t>(col)].nIdeal = sizeInit.cx;
    m_panes[static_cast<std::size_t>(col)] = std::move(object);
    return true;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
    if (row != 0 || col < 0 || col >= GetColumnCount()) {
        return nullptr;
    }
    return dynamic_cast<CWnd*>(m_panes[static_cast<std::size_t>(col)].get());
}

bool CSplitterWnd::IsChildPane(const CWnd* pWnd, int* pRow, int* pCol) const {
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (pWnd != nullptr && GetPane(0, col) == pWnd) {
            if (pRow != nullptr) {
                *pRow = 0;
            }
            if (pCol != nullptr) {
                *pCol = col;
            }
            return true;
        }
    }
    return false;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin) {
    if (col >= 0 && col < GetColumnCount()) {
        m_columns[static_cast<std::size_t>(col)].nIdeal = std::max(cxIdeal, 0);
        m_columns[static_cast<std::size_t>(col)].nMin = std::max(cxMin, 0);
    }
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const {
    cxCur = 0;
    cxMin = 0;
    if (col >= 0 && col < GetColumnCount()) {
        cxCur = m_columns[static_cast<std::size_t>(col)].nCur;
        cxMin = m_columns[static_cast<std::size_t>(col)].nMin;
    }
}

CScrollBar* CSplitterWnd::GetHorzScrollBar(int col) const {
    if (col < 0 || col >= static_cast<int>(m_horzBars.size())) {
        return nullptr;
    }
    return m_horzBars[static_cast<std::size_t>(col)].get();
}

CScrollBar* CSplitterWnd::GetPaneScrollBar(int nBar, const CWnd* pPane) const {
    int col = 0;
    if (!IsChildPane(pPane, nullptr, &col)) {
        return nullptr;
    }
    return nBar == SB_VERT ? m_pVertBar.get() : GetHorzScrollBar(col);
}

int CSplitterWnd::SplitterBarWidth() const {
    return kSplitterBar;
}

int CSplitterWnd::SplitterBarLeft(int col) const {
    return col >= 0 && col < static_cast<int>(m_barLeft.size())
               ? m_barLeft[static_cast<std::size_t>(col)]
               : 0;
}

int CSplitterWnd::PaneAreaWidth() const {
    CRect client;
    GetClientRect(&client);
    return std::max(0, client.Width() - (m_pVertBar ? ScrollBarExtent() : 0));
}

void CSplitterWnd::RecalcLayout() {
    if (!IsWindow() || m_columns.empty()) {
        return;
    }
    CRect client;
    GetClientRect(&client);
    const int extent = ScrollBarExtent();
    const int vertBar = m_pVertBar ? extent : 0;
    const int horzBar = m_horzBars.empty() ? 0 : extent;
    const int paneWidth = PaneAreaWidth();
    const int paneHeight = std::max(0, client.Height() - horzBar);
    const int nCols = GetColumnCount();

    // Every column but the last gets its ideal width, or nothing when that is below its
    // minimum; the last takes what remains, and gives it to its left neighbour when that is
    // below its own minimum.
    int avail = std::max(0, paneWidth - kSplitterBar * (nCols - 1));
    for (int col = 0; col + 1 < nCols; ++col) {
        Column& c = m_columns[static_cast<std::size_t>(col)];
        c.nCur = c.nIdeal < c.nMin ? 0 : std::min(c.nIdeal, avail);
        avail -= c.nCur;
    }
    Column& last = m_columns.back();
    last.nCur = avail;
    if (nCols > 1 && last.nCur < last.nMin) {
        int col = nCols - 2;
        while (col > 0 && m_columns[static_cast<std::size_t>(col)].nCur == 0) {
            --col;
        }
        m_columns[static_cast<std::size_t>(col)].nCur += last.nCur;
        last.nCur = 0;
    }

    int x = 0;
    for (int col = 0; col < nCols; ++col) {
        const int width = m_columns[static_cast<std::size_t>(col)].nCur;
        if (CWnd* pane = GetPane(0, col)) {
            pane->MoveWindow(x, 0, width, paneHeight);
            pane->ShowWindow(width > 0 ? SW_SHOW : SW_HIDE);
        }
        if (CScrollBar* bar = GetHorzScrollBar(col)) {
            bar->MoveWindow(x, paneHeight, width, horzBar);
            bar->ShowWindow(width > 0 ? SW_SHOW : SW_HIDE);
        }
        x += width;
        if (col + 1 < nCols) {
            m_barLeft[static_cast<std::size_t>(col)] = x;
            x += kSplitterBar;
        }
    }
    if (m_pVertBar) {
        m_pVertBar->MoveWindow(paneWidth, 0, vertBar, paneHeight);
        m_pVertBar->ShowWindow(SW_SHOW);
    }
    m_cornerBox = vertBar > 0 && horzBar > 0
                      ? CRect(paneWidth, paneHeight, paneWidth + vertBar, paneHeight + horzBar)
                      : CRect();
    Invalidate();
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy) {
    if (nType != SIZE_MINIMIZED && cx > 0 && cy > 0) {
        RecalcLayout();
    }
}

void CSplitterWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (CWnd* pane = GetPane(0, col)) {
            pane->OnVScroll(nSBCode, nPos, pScrollBar);
        }
    }
}

void CSplitterWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    for (int col = 0; col < GetColumnCount(); ++col) {
        if (GetHorzScrollBar(col) == pScrollBar) {
            if (CWnd* pane = GetPane(0, col)) {
                pane->OnHScroll(nSBCode, nPos, pScrollBar);
            }
        }
    }
}

CView* CSplitterWnd::GetActivePane() const {
    if (m_pFrame != nullptr) {
        CView* active = m_pFrame->GetActiveView();
        if (IsChildPane(active, nullptr, nullptr)) {
            return active;
        }
    }
    for (int col = 0; col < GetColumnCount(); ++col) {
        CWnd* pane = GetPane(0, col);
        if (pane != nullptr && pane->HasFocus()) {
            return dynamic_cast<CView*>(pane);
        }
    }
    return nullptr;
}

bool CSplitterWnd::CanActivateNext(bool /*bPrev*/) const {
    return GetColumnCount() > 1;
}

void CSplitterWnd::ActivateNext(bool bPrev) {
    const int nCols = GetColumnCount();
    if (nCols < 2) {
        return;
    }
    int col = 0;
    if (!IsChildPane(GetActivePane(), nullptr, &col)) {
        col = bPrev ? 0 : nCols - 1;  // no active pane: start from the first (or the last)
    }
    const int next = (col + (bPrev ? nCols - 1 : 1)) % nCols;
    auto* view = dynamic_cast<CView*>(GetPane(0, next));
    if (view == nullptr) {
        return;
    }
    if (m_pFrame != nullptr) {
        m_pFrame->SetActiveView(view);
    } else {
        view->SetFocus();
    }
}

int CSplitterWnd::HitSplitterBar(int x, int y) const {
    CRect client;
    GetClientRect(&client);
    if (!IsWindow() || y < 0 || y >= client.Height()) {
        return -1;
    }
    for (int col = 0; col + 1 < GetColumnCount(); ++col) {
        const int left = m_barLeft[static_cast<std::size_t>(col)];
        if (x >= left && x < left + kSplitterBar) {
            return col;
        }
    }
    return -1;
}

bool CSplitterWnd::DoKeyboardSplit() {
    if (!IsWindow() || GetColumnCount() < 2 || m_bTracking) {
        return false;
    }
    StartTracking(0, kSplitterBar / 2, true);
    return true;
}

void CSplitterWnd::StartTracking(int col, int xGrab, bool bKeyboard) {
    m_bTracking = true;
    m_bKeyboardTracking = bKeyboard;
    m_nTrackCol = col;
    m_nTrackGrab = xGrab;
    m_nTrackX = SplitterBarLeft(col);
    ShowTracker(true);
    if (bKeyboard) {
        TakeKeyboard();
    }
}

void CSplitterWnd::TrackTo(int x) {
    if (!m_bTracking) {
        return;
    }
    // The tracker stays between the left edge of its column and the pane area's right edge.
    int left = 0;
    for (int col = 0; col < m_nTrackCol; ++col) {
        left = m_barLeft[static_cast<std::size_t>(col)] + kSplitterBar;
    }
    m_nTrackX = std::clamp(x - m_nTrackGrab, left, std::max(left, PaneAreaWidth() - kSplitterBar));
    ShowTracker(true);
}

void CSplitterWnd::TrackBy(int dx) {
    TrackTo(m_nTrackX + m_nTrackGrab + dx);
}

void CSplitterWnd::StopTracking(bool bAccept) {
    if (!m_bTracking) {
        return;
    }
    const bool bKeyboard = m_bKeyboardTracking;
    m_bTracking = false;
    m_bKeyboardTracking = false;
    ShowTracker(false);
    if (bAccept) {
        int left = 0;
        for (int col = 0; col < m_nTrackCol; ++col) {
            left = m_barLeft[static_cast<std::size_t>(col)] + kSplitterBar;
        }
        m_columns[static_cast<std::size_t>(m_nTrackCol)].nIdeal = m_nTrackX - left;
        RecalcLayout();
    }
    if (bKeyboard) {
        GiveKeyboardBack();
    }
}
