#include "document/ScrollState.h"

#include <algorithm>
#include <cmath>

#include "document/TessiverDoc.h"
#include "framework/window/ScrollBar.h"

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
    const double width = std::ceil(static_cast<double>(m_doc.m_pResult->GetWidestText(fits)) * cell);
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

void CScrollState::OnVScroll(CWnd& pane, UINT nSBCode, UINT nPos, CScrollBar* /*pScrollBar*/) {
    const std::int64_t visible = ClientHeight(pane) / m_doc.m_nLineHeight;
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
    if (r < 0 || r == top) {
        return;
    }
    m_nTopRow = static_cast<std::int32_t>(r);
    pane.ScrollWindow(0, static_cast<int>((top - r) * m_doc.m_nLineHeight));
    pane.SetScrollPos(SB_VERT, m_nTopRow, true);
    m_doc.UpdateAllViews(nullptr, 0, nullptr);
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
    m_doc.UpdateAllViews(nullptr, 0, nullptr);
}
