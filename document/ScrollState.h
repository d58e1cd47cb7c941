#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/core/Platform.h"

class CScrollBar;
class CTessiverDoc;
class CWnd;

// The scroll state both panes share, and its one owner: the row drawn on the top line of both
// panes, the shift of their texts to the left, the ranges of the splitter's bars and every scroll
// request from them. The panes read the state when they paint and show it on their bars when they
// update; the document's commands move the top row; the splitter hands each request of its bars
// here as it received it. Each change repaints both panes whole.
class CScrollState {
public:
    // The horizontal bars' least range: how far, in pixels, the texts may be shifted by the
    // thumb where every line fits.
    static constexpr int kShiftRange = 4096;
    // Pixels a line-left or line-right request shifts the texts by.
    static constexpr int kShiftLine = 5;
    // Where the panes' texts start, before the shift.
    static constexpr int kTextLeft = 40;

    explicit CScrollState(CTessiverDoc& doc);
    CScrollState(const CScrollState&) = delete;
    CScrollState& operator=(const CScrollState&) = delete;

    std::int32_t GetTopRow() const { return m_nTopRow; }
    // 0 or negative: the texts are drawn shifted left by its magnitude.
    std::int32_t GetLeftOffset() const { return m_nLeftOffset; }

    // The document puts a row on the top line: a new comparison, next or previous difference,
    // Find and Go To Line. The row need not be within the table; the bar shows it when the panes
    // next update.
    void SetTopRow(std::int32_t row);
    // The horizontal bars' maximum, in pixels: kShiftRange, or as far as the widest text of the
    // result reaches where that is further.
    int GetShiftRange() const;

    // Shows the state on pane's bars: its horizontal bar's range and, for the pane whose height
    // counts the rows (the source pane), the vertical bar's range (0 to the rows that do not fit)
    // and position.
    void ShowOnBars(CWnd& pane, bool bRows);
    // The source pane's new height: the vertical range again, and the top row back to 0 once every
    // row fits, since the bar then refuses every request and rows above would stay out of reach.
    void OnResize(CWnd& pane, int height);

    // One request of the splitter's vertical bar for pane (the target pane): the top row moves
    // within the table, the pane's pixels scroll, the bar follows, both panes repaint; or, where
    // nothing can move, nothing changes.
    void OnVScroll(CWnd& pane, UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    // One request of a horizontal bar for pane (the target pane): the shift moves, never right of
    // 0; pane's bar and the bar that sent it show the new shift; both panes repaint.
    void OnHScroll(CWnd& pane, UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);

    // The document's keys. They move the state as the bars' requests do, for both panes at once,
    // show it on every pane's bars and repaint, or change nothing where nothing can move. A row
    // or a page up or down, or to the first or the last row: nSBCode is SB_LINEUP, SB_LINEDOWN,
    // SB_PAGEUP, SB_PAGEDOWN, SB_TOP or SB_BOTTOM.
    void MoveRows(UINT nSBCode);
    // Row in the middle of the panes, or as near it as the table allows: a click or a drag in the
    // location map.
    void ShowRowInMiddle(std::int32_t row);
    // A step left or right (SB_LINELEFT, SB_LINERIGHT), within the horizontal bars' range.
    void MoveShift(UINT nSBCode);
    // Shifts the texts as little as it takes for columns [first, last) of a text to show: not at
    // all when they show already; otherwise so that they end at the panes' right edge, or start
    // at the texts' left edge when they are wider than the panes.
    void ShowColumns(std::size_t first, std::size_t last);
    // The texts unshifted, their first column at the panes' left edge.
    void ShowLineStarts();
    // The end of the longest text on either pane at the panes' right edge, or the texts unshifted
    // when it fits.
    void ShowLongestLineEnd();

private:
    std::int32_t RowCount() const;
    // The size both panes show at least: the smallest client size among the document's views
    // on the screen (the target pane is narrower by the vertical bar).
    CSize PaneSize() const;
    // Where a request puts the top row for a pane of `visible` whole rows: within the table, the
    // last row in the pane's last whole row; -1 when no row can be on top.
    std::int64_t RequestedRow(UINT nSBCode, UINT nPos, std::int64_t visible) const;
    // Puts row r (from RequestedRow) on top, shows it on every pane's vertical bar and repaints,
    // or changes nothing where it cannot move.
    void PutTopRow(std::int64_t r);
    // Puts the shift at h, shows it on every pane's horizontal bar and repaints.
    void SetShift(std::int32_t h);

    CTessiverDoc& m_doc;
    std::int32_t m_nTopRow = 0;      // row drawn on the top line of both panes
    std::int32_t m_nLeftOffset = 0;  // horizontal shift of both panes, 0 or negative
};
