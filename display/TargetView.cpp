#include "display/TargetView.h"

#include <algorithm>
#include <cstdint>

#include "display/TessiverView.h"
#include "document/TessiverDoc.h"
#include "framework/draw/DC.h"

const CRuntimeClass CTargetView::runtimeClass{"CTargetView", &CView::runtimeClass,
                                              &CreateRuntimeObject<CTargetView>};

CTargetView::CTargetView() = default;
CTargetView::~CTargetView() = default;

CTessiverDoc* CTargetView::GetDocument() const {
    return dynamic_cast<CTessiverDoc*>(CView::GetDocument());
}

void CTargetView::OnUpdate(CView* pSender, long lHint, CObject* pHint) {
    CView::OnUpdate(pSender, lHint, pHint);
    if (CTessiverDoc* doc = GetDocument()) {
        doc->m_scroll.ShowOnBars(*this, false);
    }
}

namespace {

constexpr COLORREF kMapBackground = RGB(232, 232, 232);
constexpr COLORREF kMapFrame = RGB(0, 0, 0);
// The frame around the rows on screen is never shorter than this, however many rows there are.
constexpr int kLeastFrame = 3;

// Paints the map into rect: a run of pixels of one kind at a time, so that a paint costs what
// the strip's height costs, then the frame around the rows from top to end.
void DrawMap(CDC* pDC, const CRect& rect, const CLocationMap& map, std::int64_t top,
             std::int64_t end) {
    pDC->FillSolidRect(rect, kMapBackground);
    const int height = map.GetHeight();
    for (int y = 0; y < height;) {
        const std::int32_t kind = map.GetPixel(y);
        int next = y + 1;
        while (next < height && map.GetPixel(next) == kind) {
            ++next;
        }
        if (kind != kindEqual) {
            pDC->FillSolidRect(CRect(rect.left + 1, rect.top + y, rect.right - 1, rect.top + next),
                               CTessiverView::GetRowColour(kind));
        }
        y = next;
    }
    int first = map.PixelOf(top);
    int last = std::max(map.PixelOf(end - 1) + 1, map.PixelOf(end));
    if (last - first < kLeastFrame) {
        last = std::min(first + kLeastFrame, height);
        first = std::max(last - kLeastFrame, 0);
    }
    const LONG left = rect.left;
    const LONG right = rect.right;
    const LONG y0 = rect.top + first;
    const LONG y1 = rect.top + last;
    pDC->FillSolidRect(CRect(left, y0, right, y0 + 1), kMapFrame);
    pDC->FillSolidRect(CRect(left, y1 - 1, right, y1), kMapFrame);
    pDC->FillSolidRect(CRect(left, y0, left + 1, y1), kMapFrame);
    pDC->FillSolidRect(CRect(right - 1, y0, right, y1), kMapFrame);
}

}  // namespace

CRect CTargetView::GetMapRect() const {
    CTessiverDoc* doc = GetDocument();
    if (doc == nullptr || !doc->GetLocationMap()) {
        return CRect(0, 0, 0, 0);
    }
    CRect client;
    GetClientRect(&client);
    return CRect(std::max<LONG>(client.right - CLocationMap::kWidth, 0), 0, client.right,
                 client.bottom);
}

void CTargetView::OnDraw(CDC* pDC) {
    CTessiverView::DrawRows(this, pDC, CTessiverView::sideTarget);
    const CRect rect = GetMapRect();
    CTessiverDoc* doc = GetDocument();
    if (rect.Width() <= 0 || rect.Height() <= 0 || doc == nullptr) {
        return;
    }
    const CLocationMap* map = doc->GetLocationMap(rect.Height());
    const std::int64_t rows = doc->m_pResult ? doc->m_pResult->GetRowCount() : 0;
    if (map == nullptr || rows == 0) {
        pDC->FillSolidRect(rect, kMapBackground);  // nothing to show, nothing on screen
        return;
    }
    const std::int64_t top = doc->m_scroll.GetTopRow();
    const std::int64_t end = std::min(top + std::max(rect.Height() / doc->m_nLineHeight, 1), rows);
    DrawMap(pDC, rect, *map, top, std::max(end, top + 1));
}

void CTargetView::OnLButtonDown(UINT nFlags, CPoint point) {
    const CRect rect = GetMapRect();
    CTessiverDoc* doc = GetDocument();
    if (doc == nullptr || !doc->m_pResult || point.x < rect.left || point.x >= rect.right) {
        CView::OnLButtonDown(nFlags, point);
        return;
    }
    if (const CLocationMap* map = doc->GetLocationMap(rect.Height())) {
        doc->m_scroll.ShowRowInMiddle(map->RowToShow(*doc->m_pResult, point.y));
        m_bDragging = true;
        SetCapture();
    }
}

void CTargetView::OnMouseMove(UINT nFlags, CPoint point) {
    CTessiverDoc* doc = GetDocument();
    if (!m_bDragging || doc == nullptr || (nFlags & MK_LBUTTON) == 0) {
        CView::OnMouseMove(nFlags, point);
        return;
    }
    if (const CLocationMap* map = doc->GetLocationMap(GetMapRect().Height())) {
        doc->m_scroll.ShowRowInMiddle(map->RowAt(point.y));
    }
}

void CTargetView::OnLButtonUp(UINT nFlags, CPoint point) {
    if (m_bDragging) {
        m_bDragging = false;
        ReleaseCapture();
        return;
    }
    CView::OnLButtonUp(nFlags, point);
}
