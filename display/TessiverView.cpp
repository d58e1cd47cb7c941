#include "display/TessiverView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "document/TessiverDoc.h"
#include "framework/draw/DC.h"
#include "framework/window/ScrollBar.h"
#include "framework/dialog/ShellOpen.h"
#include "framework/dialog/WaitCursor.h"
#include "resources/Resource.h"

const CRuntimeClass CTessiverView::runtimeClass{"CTessiverView", &CView::runtimeClass,
                                                &CreateRuntimeObject<CTessiverView>};

namespace {

constexpr int kTextLeft = 40;   // the text column, before the horizontal shift
constexpr int kNumberLeft = 2;  // the line number in the gutter
constexpr int kHorzRange = 4096;
constexpr int kHorzLine = 5;  // pixels per line-left/line-right request

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSilver = RGB(192, 192, 192);

COLORREF TextColour(std::int32_t kind) {
    switch (kind) {
        case kindChanged:
            return RGB(255, 0, 0);
        case kindSourceOnly:
            return RGB(0, 0, 255);
        case kindTargetOnly:
            return RGB(0, 128, 0);
        default:
            return RGB(0, 0, 0);
    }
}

CTessiverDoc* DocumentOf(const CView* pView) {
    return pView != nullptr ? dynamic_cast<CTessiverDoc*>(pView->GetDocument()) : nullptr;
}

std::int32_t RowCount(const CTessiverDoc& doc) {
    return doc.m_pResult ? doc.m_pResult->GetRowCount() : 0;
}

int ClientHeight(const CView& view) {
    CRect rect;
    view.GetClientRect(&rect);
    return rect.Height();
}

}  // namespace

CTessiverView::CTessiverView() = default;
CTessiverView::~CTessiverView() = default;

const CommandMap* CTessiverView::ThisMessageMap() {
    static constexpr CommandMapEntry entries[] = {
        CommandEntry<&CView::OnFilePrint>(ID_FILE_PRINT),
        CommandEntry<&CView::OnFilePrint>(ID_FILE_PRINT_DIRECT),
        CommandEntry<&CView::OnFilePrintPreview>(ID_FILE_PRINT_PREVIEW),
    };
    static const CommandMap map{CView::ThisMessageMap(), entries};
    return &map;
}

CTessiverDoc* CTessiverView::GetDocument() const {
    return DocumentOf(this);
}

bool CTessiverView::PreCreateWindow(CREATESTRUCT& cs) {
    return CView::PreCreateWindow(cs);
}

void CTessiverView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    if (const CTessiverDoc* doc = GetDocument()) {
        SetScrollPos(SB_VERT, doc->m_nTopRow, true);
    }
}

void CTessiverView::OnUpdate(CView* pSender, long lHint, CObject* pHint) {
    if (const CTessiverDoc* doc = GetDocument()) {
        const int height = ClientHeight(*this);
        SetScrollRange(SB_VERT, 0, RowCount(*doc) - height / doc->m_nLineHeight, true);
        SetScrollRange(SB_HORZ, 0, GetHorzRange(*doc), true);
    }
    CView::OnUpdate(pSender, lHint, pHint);
}

int CTessiverView::GetHorzRange(const CTessiverDoc& doc) {
    const double cell = doc.m_font.GetCellWidth();
    if (!doc.m_pResult || cell <= 0) {
        return kHorzRange;
    }
    // Asked once per table, which keeps the answer; lines that fit the range are not measured.
    const auto fits = static_cast<std::size_t>(kHorzRange / cell);
    const double width = std::ceil(static_cast<double>(doc.m_pResult->GetWidestText(fits)) * cell);
    return width > kHorzRange ? static_cast<int>(std::min<double>(width, INT32_MAX)) : kHorzRange;
}

void CTessiverView::OnDraw(CDC* pDC) {
    if (const CTessiverDoc* doc = GetDocument()) {
        SetScrollPos(SB_VERT, doc->m_nTopRow, true);
    }
    DrawRows(this, pDC, sideSource);
}

bool CTessiverView::OnPreparePrinting(CPrintInfo* pInfo) {
    return DoPreparePrinting(pInfo);
}

void CTessiverView::OnBeginPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}

void CTessiverView::OnEndPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}

void CTessiverView::OnSize(UINT nType, int cx, int cy) {
    CView::OnSize(nType, cx, cy);
    CTessiverDoc* doc = GetDocument();
    if (doc != nullptr && doc->m_pResult) {
        const std::int32_t maximum = doc->m_pResult->GetRowCount() - cy / doc->m_nLineHeight;
        SetScrollRange(SB_VERT, 0, maximum, true);
        // Every row fits now, and the bar ignores every request in that state: rows above the
        // top row would stay out of reach.
        if (maximum <= 0 && doc->m_nTopRow > 0) {
            doc->m_nTopRow = 0;
        }
    }
}

void CTessiverView::OnLButtonDblClk(UINT nFlags, CPoint point) {
    const CTessiverDoc* doc = GetDocument();
    if (doc != nullptr && !doc->m_sourcePath.empty()) {
        const CWaitCursor wait;
        // Whatever the desktop makes of the file, the pane has nothing to say about it.
        ShellOpenFile(doc->m_sourcePath);
    }
    CView::OnLButtonDblClk(nFlags, point);
}

void CTessiverView::DrawRows(CView* pView, CDC* pDC, Side side) {
    const CTessiverDoc* doc = DocumentOf(pView);
    if (doc == nullptr) {
        return;
    }
    const std::int32_t lineHeight = doc->m_nLineHeight;
    // The row after the last one drawn; the partly visible row at the bottom is drawn too.
    std::int64_t end = ClientHeight(*pView) / lineHeight + std::int64_t{doc->m_nTopRow} + 1;
    if (!doc->m_pResult) {
        return;
    }
    const CCompareResult& result = *doc->m_pResult;
    CFont* oldFont = pDC->SelectObject(const_cast<CFont*>(&doc->m_font));
    if (end >= result.GetRowCount()) {
        end = result.GetRowCount();
    }
    const CTextColumn& texts = side == sideSource ? result.m_sourceText : result.m_targetText;
    const std::vector<std::int32_t>& lines =
        side == sideSource ? result.m_sourceLine : result.m_targetLine;
    // No character is narrower than a pixel nor longer than four bytes: this much of each text
    // covers the pane, however long the line.
    CRect client;
    pView->GetClientRect(&client);
    const std::int64_t room = std::int64_t{client.Width()} - (kTextLeft + doc->m_nLeftOffset);
    const auto shown = static_cast<std::size_t>(room > 0 ? 4 * room + 4 : 0);
    int y = 0;
    for (std::int64_t i = doc->m_nTopRow; i < end; ++i) {
        const auto row = static_cast<std::size_t>(i);
        const std::int32_t kind = result.m_kind[row];
        const bool plain = !result.IsDifference(static_cast<std::int32_t>(row));
        pDC->SetBkColor(plain ? kWhite : kSilver);
        pDC->SetTextColor(TextColour(kind));
        pDC->TextOut(kTextLeft + doc->m_nLeftOffset, y, texts.GetShown(row, shown));
        // The gutter comes after the text, so that a text shifted left runs under it.
        pDC->SetBkColor(kWhite);
        pDC->TextOut(0, y, "  ");
        if (lines[row] != 0) {
            char number[16];
            const int length = std::snprintf(number, sizeof number, "%4d", lines[row]);
            pDC->SetTextColor(kSilver);
            pDC->TextOut(kNumberLeft, y,
                         std::string_view(number, static_cast<std::size_t>(length)));
        }
        y += lineHeight;
    }
    pDC->SelectObject(oldFont);
}

void CTessiverView::SyncVScroll(CView* pView, UINT nSBCode, UINT nPos, CScrollBar* /*pScrollBar*/) {
    CTessiverDoc* doc = DocumentOf(pView);
    if (doc == nullptr) {
        return;
    }
    const std::int64_t visible = ClientHeight(*pView) / doc->m_nLineHeight;
    const std::int64_t rows = RowCount(*doc);
    const std::int64_t top = doc->m_nTopRow;
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
    // first row below that back up.
    if (r >= rows - visible) {
        r = rows - visible;
    }
    if (r < 0 || r == top) {
        return;
    }
    doc->m_nTopRow = static_cast<std::int32_t>(r);
    pView->ScrollWindow(0, static_cast<int>((top - r) * doc->m_nLineHeight));
    pView->SetScrollPos(SB_VERT, doc->m_nTopRow, true);
    doc->UpdateAllViews(nullptr, 0, nullptr);
}

void CTessiverView::SyncHScroll(CView* pView, UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CTessiverDoc* doc = DocumentOf(pView);
    if (doc == nullptr) {
        return;
    }
    const std::int32_t offset = doc->m_nLeftOffset;
    std::int32_t h = offset;
    switch (nSBCode) {
        case SB_LINELEFT:
            h = offset + kHorzLine;
            break;
        case SB_LINERIGHT:
            h = offset - kHorzLine;
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
    doc->m_nLeftOffset = h;
    pView->SetScrollPos(SB_HORZ, -h, true);
    if (pScrollBar != nullptr) {
        pScrollBar->SetScrollPos(-doc->m_nLeftOffset, true);
    }
    doc->UpdateAllViews(nullptr, 0, nullptr);
}
