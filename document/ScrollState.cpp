#include "document/ScrollState.h"

#include <algorithm>
#include <cmath>

#include "document/TessiverDoc.h"
#include "framework/window/ScrollBar.h"
#include "framework/window/View.h"

namespace {

int ClientHeight(const CWnd& pane) {
    CRect rect;
    pane.GetClientRect(&rect);
    return rect.Height();
}

}  // namespace

CScrollState::CScrollState(CTessiverDoc& doc) : m_doc(doc) {}

std::int32_t CScrollState::RowCount() const {
    return m_doc.m_pResult ? m_doc.m_pResult->GetRowCount() : 0;
}

int CScrollState::GetShiftRange() const {
    const double cell = m_doc.m_font.GetCellWidth();
    if (!m_doc.m_pResult || cell <= 0) {
        return kShiftRange;
    }
    // Asked once per table, which keeps the answer; lines that fit the range are not measured.
    const auto fits = static_cast<std::size_t>(kShiftRange / cell);
    const double width =
        std::ceil(static_cast<double>(m_doc.m_pResult->GetWidestText(fits)) * cell);
    return width > kShiftRange ? static_cast<int>(std::min<double>(width, INT32_MAX)) : kShiftRange;
}

void CScrollState::SetTopRow(std::int32_t row) {
    m_nTopRow = row;
}

void CScrollState::ShowOnBars(CWnd& pane, bool bRows) {
    if (bRows) {
        const int height = ClientHeight(pane);
        pane.SetScrollRange(SB_VERT, 0, RowCount() - height / m_doc.m_nLineHeight, true);
        pane.SetScrollPos(SB_VERT, m_nTopRow, true);
    }
    pane.SetScrollRange(SB_HORZ, 0, GetShiftRange(), true);
}

void CScrollState::OnResize(CWnd& pane, int height) {
    if (!m_doc.m_pResult) {
        return;
    }
    const std::int32_t maximum = RowCount() - height / m_doc.m_nLineHeight;
    pane.SetScrollRange(SB_VERT, 0, maximum, true);
    if (maximum <= 0 && m_nTopRow > 0) {
        m_nTopRow = 0;
    }
    pane.SetScrollPos(SB_VERT, m_nTopRow, true);
}

std::int64_t CScrollState::RequestedRow(UINT nSBCode, UINT nPos, std::int64_t visible) const {
    const std::int64_t rows = RowCount();
    const std::int64_t top = m_nTopRow;
    std::int64_t r = top;
    switch (nSBCode) {
        case SB_LINEUP:
            r = top - 1;
            break;
        case SB_LINEDOWN:
            r = top + 1;
            break;
        case SB_PAGEUP:
            r = top - visible;
            break;
        case SB_PAGEDOWN:
            r = top + visible;
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            r = static_cast<std::int32_t>(nPos);
            break;
        case SB_TOP:
            r = 0;
            break;
        case SB_BOTTOM:
            r = rows - visible;
            break;
        default:
            break;
    }
    if (r < 0) {
        r = 0;
    }
    // The last row sits in the last whole row of the pane; even an end-of-scroll notice pulls a
    // top row below that back up.
    if (r >= rows - visible) {
        r = rows - visible;
    }
    return r < 0 ? -1 : r;
}

void CScrollState::OnVScroll(CWnd& pane, UINT nSBCode, UINT nPos, CScrollBar* /*pScrollBar*/) {
    const std::int64_t top = m_nTopRow;
    const std::int64_t r = RequestedRow(nSBCode, nPos, ClientHeight(pane) / m_doc.m_nLineHeight);
    if (r < 0 || r == top) {
        return;
    }
    m_nTopRow = static_cast<std::int32_t>(r);
    pane.ScrollWindow(0, static_cast<int>((top - r) * m_doc.m_nLineHeight));
    pane.SetScrollPos(SB_VERT, m_nTopRow, true);
    m_doc.m_found.reset();  // a scroll ends the mark of the last search
    m_doc.UpdateAllViews(nullptr, 0, nullptr);
}

CSize CScrollState::PaneSize() const {
    CSize size(0, 0);
    for (const CView* view : m_doc.GetViews()) {
        CRect rect;
        view->GetClientRect(&rect);
        if (rect.Width() <= 0 || rect.Height() <= 0) {
            continue;  // not on the screen
        }
        const bool bFirst = size.cx == 0;
        size.cx = bFirst ? rect.Width() : std::min<LONG>(size.cx, rect.Width());
        size.cy = bFirst ? rect.Height() : std::min<LONG>(size.cy, rect.Height());
    }
    return size;
}

void CScrollState::MoveRows(UINT nSBCode) {
    PutTopRow(RequestedRow(nSBCode, 0, PaneSize().cy / m_doc.m_nLineHeight));
}

void CScrollState::ShowRowInMiddle(std::int32_t row) {
    const std::int64_t visible = PaneSize().cy / m_doc.m_nLineHeight;
    const std::int64_t top = std::max<std::int64_t>(row - visible / 2, 0);
    PutTopRow(RequestedRow(SB_THUMBPOSITION, static_cast<UINT>(top), visible));
}

void CScrollState::PutTopRow(std::int64_t r) {
    if (r < 0 || r == m_nTopRow) {
        return;
    }
    m_nTopRow = static_cast<std::int32_t>(r);
    for (CView* view : m_doc.GetViews()) {
        view->SetScrollPos(SB_VERT, m_nTopRow, true);
    }
    m_doc.m_found.reset();  // a scroll ends the mark of the last search
    m_doc.UpdateAllViews(nullptr, 0, nullptr);
}

void CScrollState::SetShift(std::int32_t h) {
    if (h == m_nLeftOffset) {
        return;
    }
    m_nLeftOffset = h;
    for (CView* view : m_doc.GetViews()) {
        view->SetScrollPos(SB_HORZ, -h, true);
    }
    m_doc.m_found.reset();  // a scroll ends the mark of the last search
    m_doc.UpdateAllViews(nullptr, 0, nullptr);
}

void CScrollState::MoveShift(UINT nSBCode) {
    std::int32_t h = m_nLeftOffset;
    if (nSBCode == SB_LINELEFT) {
        h += kShiftLine;
    } else if (nSBCode == SB_LINERIGHT) {
        h -= kShiftLine;
    }
    SetShift(std::clamp(h, -GetShiftRange(), 0));
}

void CScrollState::ShowColumns(std::size_t first, std::size_t last) {
    const double cell = m_doc.m_font.GetCellWidth();
    if (cell <= 0) {
        return;
    }
    const double right = static_cast<double>(PaneSize().cx);
    const double begin = kTextLeft + std::floor(static_cast<double>(first) * cell);
    const double end = kTextLeft + std::ceil(static_cast<double>(last) * cell);
    if (begin + m_nLeftOffset >= kTextLeft && end + m_nLeftOffset <= right) {
        return;
    }
    double h = end > right ? right - end : 0;
    if (begin + h < kTextLeft) {
        h = kTextLeft - begin;
    }
    SetShift(
        std::clamp(static_cast<std::int32_t>(std::max<double>(h, INT32_MIN)), -GetShiftRange(), 0));
}

void CScrollState::ShowLineStarts() {
    SetShift(0);
}

void CScrollState::ShowLongestLineEnd() {
    const CCompareResult* result = m_doc.m_pResult.get();
    const double cell = m_doc.m_font.GetCellWidth();
    if (result == nullptr || cell <= 0) {
        return;
    }
    CSize pane = PaneSize();
    if (m_doc.GetLocationMap()) {
        pane.cx -= CLocationMap::kWidth;  // the strip covers the target pane's right edge
    }
    // The rows drawn, the partly visible one at the bottom too.
    const std::int64_t end = std::min<std::int64_t>(
        std::int64_t{m_nTopRow} + pane.cy / m_doc.m_nLineHeight + 1, RowCount());
    std::size_t widest = 0;
    for (std::int64_t i = m_nTopRow; i < end; ++i) {
        const auto row = static_cast<std::size_t>(i);
        widest = std::max({widest, result->m_sourceText.GetShownColumns(row),
                           result->m_targetText.GetShownColumns(row)});
    }
    const double past = kTextLeft + std::ceil(static_cast<double>(widest) * cell) - pane.cx;
    SetShift(past > 0 ? -static_cast<std::int32_t>(std::min<double>(past, GetShiftRange())) : 0);
}

void CScrollState::OnHScroll(CWnd& pane, UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    const std::int32_t offset = m_nLeftOffset;
    std::int32_t h = offset;
    switch (nSBCode) {
        case SB_LINELEFT:
            h = offset + kShiftLine;
            break;
        case SB_LINERIGHT:
            h = offset - kShiftLine;
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            h = -static_cast<std::int32_t>(nPos);
            break;
        default:
            break;
    }
    // Tested before the clamp: a line-left at offset 0 still sets the bars and repaints.
    if (h == offset) {
        return;
    }
    if (h > 0) {
        h = 0;
    }
    m_nLeftOffset = h;
    pane.SetScrollPos(SB_HORZ, -h, true);
    if (pScrollBar != nullptr) {
        pScrollBar->SetScrollPos(-m_nLeftOffset, true);
    }
    m_doc.m_found.reset();  // a scroll ends the mark of the last search
    m_doc.UpdateAllViews(nullptr, 0, nullptr);
}
