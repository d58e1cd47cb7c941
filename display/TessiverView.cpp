#include "display/TessiverView.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "document/TessiverDoc.h"
#include "engine/InlineComparer.h"
#include "engine/TextSearch.h"
#include "framework/dialog/ShellOpen.h"
#include "framework/draw/DC.h"
#include "framework/window/WaitCursor.h"
#include "resources/Resource.h"

const CRuntimeClass CTessiverView::runtimeClass{"CTessiverView", &CView::runtimeClass,
                                                &CreateRuntimeObject<CTessiverView>};

namespace {

constexpr int kTextLeft = CScrollState::kTextLeft;  // the text column, before the shift
constexpr int kNumberLeft = 2;                      // the line number in the gutter

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSilver = RGB(192, 192, 192);
// Behind the characters that differ within a changed row. Darker than silver, and dark enough
// that the row's red contrasts more with it (about 2.6 to 1) than with silver (about 2.2 to 1).
constexpr COLORREF kChangedWithin = RGB(64, 64, 64);
// Behind the text that Edit > Find found, on its row, until the next scroll or search.
constexpr COLORREF kFound = RGB(255, 255, 0);

}  // namespace

COLORREF CTessiverView::GetRowColour(std::int32_t kind) {
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

namespace {

CTessiverDoc* DocumentOf(const CView* pView) {
    return pView != nullptr ? dynamic_cast<CTessiverDoc*>(pView->GetDocument()) : nullptr;
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

void CTessiverView::OnUpdate(CView* pSender, long lHint, CObject* pHint) {
    if (CTessiverDoc* doc = GetDocument()) {
        doc->m_scroll.ShowOnBars(*this, true);
    }
    CView::OnUpdate(pSender, lHint, pHint);
}

void CTessiverView::OnDraw(CDC* pDC) {
    DrawRows(this, pDC, sideSource);
}

bool CTessiverView::OnPreparePrinting(CPrintInfo* pInfo) {
    return DoPreparePrinting(pInfo);
}

void CTessiverView::OnBeginPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}

void CTessiverView::OnEndPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}

void CTessiverView::OnSize(UINT nType, int cx, int cy) {
    CView::OnSize(nType, cx, cy);
    if (CTessiverDoc* doc = GetDocument()) {
        doc->m_scroll.OnResize(*this, cy);
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
    CTessiverDoc* doc = DocumentOf(pView);
    if (doc == nullptr) {
        return;
    }
    const std::int32_t lineHeight = doc->m_nLineHeight;
    // The row after the last one drawn; the partly visible row at the bottom is drawn too.
    std::int64_t end =
        ClientHeight(*pView) / lineHeight + std::int64_t{doc->m_scroll.GetTopRow()} + 1;
    if (!doc->m_pResult) {
        return;
    }
    const CCompareResult& result = *doc->m_pResult;
    CFont* oldFont = pDC->SelectObject(const_cast<CFont*>(&doc->m_font));
    if (end >= result.GetRowCount()) {
        end = result.GetRowCount();
    }
    const CTextColumn& texts = side == sideSource ? result.m_sourceText : result.m_targetText;
    const CLineColumn& lines = side == sideSource ? result.m_sourceLine : result.m_targetLine;
    // No character is narrower than a pixel nor longer than four bytes: this much of each text
    // covers the pane, however long the line.
    CRect client;
    pView->GetClientRect(&client);
    const std::int64_t room =
        std::int64_t{client.Width()} - (kTextLeft + doc->m_scroll.GetLeftOffset());
    const auto shown = static_cast<std::size_t>(room > 0 ? 4 * room + 4 : 0);
    const bool bMarking = doc->GetInlineChanges();
    std::vector<CTextRange> ranges;
    int y = 0;
    for (std::int64_t i = doc->m_scroll.GetTopRow(); i < end; ++i) {
        const auto row = static_cast<std::size_t>(i);
        const std::int32_t kind = result.m_kind[row];
        const bool plain = !result.IsDifference(static_cast<std::int32_t>(row));
        pDC->SetBkColor(plain ? kWhite : kSilver);
        pDC->SetTextColor(GetRowColour(kind));
        const int x = kTextLeft + doc->m_scroll.GetLeftOffset();
        const CInlineChanges* changes =
            bMarking && !plain ? doc->GetRowChanges(static_cast<std::int32_t>(row), shown)
                               : nullptr;
        const std::vector<CByteSpan>* spans = nullptr;
        if (changes != nullptr) {
            spans = side == sideSource ? &changes->source : &changes->target;
        }
        if (const CTextMatch* found =
                doc->GetFoundMatch(static_cast<std::int32_t>(row), side == sideSource)) {
            // The match's bytes are the line's as read; the text drawn has its tabs expanded.
            const std::string_view raw = texts.GetRaw(row);
            const CTextRange range{ShownOffset(raw, found->begin), ShownOffset(raw, found->end)};
            pDC->TextOutMarked(x, y, texts.GetShown(row, shown), {&range, 1}, kFound);
        } else if (spans == nullptr || spans->empty()) {
            pDC->TextOut(x, y, texts.GetShown(row, shown));
        } else {
            ranges.clear();
            for (const CByteSpan& span : *spans) {
                ranges.push_back({span.begin, span.end});
            }
            pDC->TextOutMarked(x, y, texts.GetShown(row, shown), ranges, kChangedWithin);
        }
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
