// Scrolling both panes through the splitter's shared bars: each request moves the document's
// shared first row or horizontal shift, keeps it inside the table, moves the bars that must
// follow and has both panes repainted, or changes nothing at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "document/LocationMap.h"
#include "tests/display/PaneFixture.h"

using namespace panes;

namespace {

// 50 rows in 160-pixel panes: ten whole rows show, so the lowest first row is 40.
TEST(VerticalScroll, RequestsMoveTheFirstRowWithinTheTable) {
    const struct {
        const char* name;
        UINT code;
        UINT pos;
        int from;
        int to;
    } cases[] = {
        {"line up at the top", SB_LINEUP, 0, 0, 0},
        {"line down", SB_LINEDOWN, 0, 0, 1},
        {"page down", SB_PAGEDOWN, 0, 0, 10},
        {"page down to the last page", SB_PAGEDOWN, 0, 35, 40},
        {"page down on the last page", SB_PAGEDOWN, 0, 40, 40},
        {"page up", SB_PAGEUP, 0, 20, 10},
        {"top", SB_TOP, 0, 20, 0},
        {"bottom", SB_BOTTOM, 0, 0, 40},
        {"thumb track", SB_THUMBTRACK, 17, 0, 17},
        {"thumb position past the end", SB_THUMBPOSITION, 1000, 0, 40},
        {"end of scroll", SB_ENDSCROLL, 0, 20, 20},
        // Next difference may leave the first row below the last page; any request pulls it
        // back, an end of scroll included.
        {"end of scroll below the last page", SB_ENDSCROLL, 0, 45, 40},
        {"line down below the last page", SB_LINEDOWN, 0, 45, 40},
        {"page up below the last page", SB_PAGEUP, 0, 45, 35},
    };
    Panes panes(160);
    panes.LoadRows(50);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        panes.doc.m_scroll.SetTopRow(c.from);
        panes.updates.count = 0;
        panes.VertBar()->SendRequest(c.code, c.pos);
        EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), c.to);
        if (c.to != c.from) {
            EXPECT_EQ(panes.VertBar()->GetScrollPos(), c.to);
            EXPECT_EQ(panes.updates.count, 1);
        } else {
            EXPECT_EQ(panes.updates.count, 0);
        }
    }
}

TEST(VerticalScroll, NothingMovesWhenAllRowsFit) {
    Panes panes(160);
    panes.LoadRows(5);
    EXPECT_FALSE(panes.VertBar()->IsEnabled());
    for (int top : {0, 3}) {
        for (UINT code = SB_LINEUP; code <= SB_ENDSCROLL; ++code) {
            SCOPED_TRACE(testing::Message() << "top " << top << " code " << code);
            panes.doc.m_scroll.SetTopRow(top);
            panes.VertBar()->SendRequest(code, 2);
            EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), top);
            EXPECT_EQ(panes.updates.count, 0);
        }
    }
}

TEST(VerticalScroll, RangeFollowsTheTableThePaneHeightAndTheDocumentsJumps) {
    Panes panes(320);
    const auto range = [&](CScrollBar* bar) {
        std::pair<int, int> r{1, 1};
        bar->GetScrollRange(&r.first, &r.second);
        return r;
    };
    EXPECT_EQ(range(panes.VertBar()), std::make_pair(0, -20));  // no result: 0 rows
    panes.LoadRows(10);
    EXPECT_EQ(range(panes.VertBar()), std::make_pair(0, -10));

    panes.LoadRows(50);
    panes.SetPaneHeight(160);  // 10 rows show
    EXPECT_EQ(range(panes.VertBar()).second, 40);

    // A jump of the first row made by the document reaches the bar as the panes update.
    panes.doc.m_scroll.SetTopRow(25);
    panes.doc.UpdateAllViews(nullptr);
    EXPECT_EQ(panes.VertBar()->GetScrollPos(), 25);
}

// Growing the panes until every row fits brings the rows above the first row back into view:
// the bar would refuse every request from then on.
TEST(VerticalScroll, AResizeThatFitsEveryRowShowsTheFirstRow) {
    Panes panes(160);
    panes.LoadRows(50);
    panes.VertBar()->SendRequest(SB_THUMBTRACK, 30);
    ASSERT_EQ(panes.doc.m_scroll.GetTopRow(), 30);
    panes.SetPaneHeight(50 * 16);
    EXPECT_FALSE(panes.VertBar()->IsEnabled());
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 0);
    // A resize that still leaves rows out of view keeps the first row where it is.
    panes.SetPaneHeight(160);
    panes.VertBar()->SendRequest(SB_THUMBTRACK, 20);
    panes.SetPaneHeight(176);
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 20);
}

// The shift moves five pixels a line and never right of zero; the used bar and the target pane's
// bar follow it, the other bar keeps its thumb until it is used itself.
TEST(HorizontalScroll, RequestsShiftBothPanesAndMoveTheBarsThatFollow) {
    const struct {
        const char* name;
        bool fromTarget;  // the request comes from the target pane's bar, else the source's
        UINT code;
        UINT pos;
        int offset;  // the shift afterwards
        int sourceThumb;
        int targetThumb;
        bool repainted;
    } steps[] = {
        {"line right", true, SB_LINERIGHT, 0, -5, 0, 5, true},
        {"another line right", true, SB_LINERIGHT, 0, -10, 0, 10, true},
        {"thumb on the source bar", false, SB_THUMBTRACK, 100, -100, 100, 100, true},
        {"thumb on the target bar", true, SB_THUMBPOSITION, 300, -300, 100, 300, true},
        {"page left", false, SB_PAGELEFT, 7, -300, 100, 300, false},
        {"page right", false, SB_PAGERIGHT, 7, -300, 100, 300, false},
        {"left end", true, SB_LEFT, 7, -300, 100, 300, false},
        {"right end", true, SB_RIGHT, 7, -300, 100, 300, false},
        {"end of scroll", false, SB_ENDSCROLL, 7, -300, 100, 300, false},
        {"thumb at the end", true, SB_THUMBTRACK, 4096, -4096, 100, 4096, true},
        {"past the end the text moves on", true, SB_LINERIGHT, 0, -4101, 100, 4096, true},
        {"thumb at the start", true, SB_THUMBTRACK, 0, 0, 100, 0, true},
        {"line left at zero still repaints", true, SB_LINELEFT, 0, 0, 100, 0, true},
        {"line left on the source bar", false, SB_LINELEFT, 0, 0, 0, 0, true},
    };
    Panes panes(100);
    panes.LoadRows(1);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        panes.updates.count = 0;
        (s.fromTarget ? panes.TargetBar() : panes.SourceBar())->SendRequest(s.code, s.pos);
        EXPECT_EQ(panes.doc.m_scroll.GetLeftOffset(), s.offset);
        EXPECT_EQ(panes.SourceBar()->GetScrollPos(), s.sourceThumb);
        EXPECT_EQ(panes.TargetBar()->GetScrollPos(), s.targetThumb);
        EXPECT_EQ(panes.updates.count, s.repainted ? 1 : 0);
    }
}

// Both bars reach 4,096 pixels, or as far as the widest text goes (its columns, tabs expanded,
// times the cell width) where that is further.
TEST(HorizontalScroll, RangeReachesTheEndOfTheWidestText) {
    Panes panes(100);
    const double cell = panes.doc.m_font.GetCellWidth();
    ASSERT_GT(cell, 0);
    const auto fits = static_cast<int>(4096 / cell);
    const auto reach = [&](int columns) { return static_cast<int>(std::ceil(columns * cell)); };
    const struct {
        const char* name;
        std::string text;
        int max;
    } cases[] = {
        {"short", "text", 4096},
        {"just fits", std::string(static_cast<std::size_t>(fits), 'x'), 4096},
        {"a column more", std::string(static_cast<std::size_t>(fits) + 1, 'x'), reach(fits + 1)},
        {"1,009 columns", std::string(1009, 'x'), reach(1009)},
        {"tabs", std::string(300, '\t'), reach(1200)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = std::make_unique<CCompareResult>();
        result->AddRow(1, "a", 1, "a", kindEqual);
        result->AddRow(0, "", 2, c.text, kindTargetOnly);
        panes.Load(std::move(result));
        for (CScrollBar* bar : {panes.SourceBar(), panes.TargetBar()}) {
            int min = -1;
            int max = -1;
            bar->GetScrollRange(&min, &max);
            EXPECT_EQ(min, 0);
            EXPECT_EQ(max, c.max);
        }
    }
}

// 200,000 rows, each difference alone among equal rows: a source-only row first, a changed row
// near the middle, a target-only row last, and an unequal row blank on both sides, which is no
// difference.
std::unique_ptr<CCompareResult> LoneDifferences() {
    auto result = std::make_unique<CCompareResult>();
    for (std::int32_t r = 0; r < 200'000; ++r) {
        const std::int32_t kind = r == 0         ? kindSourceOnly
                                  : r == 100'003 ? kindChanged
                                  : r == 199'999 ? kindTargetOnly
                                  : r == 150'000 ? kindChanged
                                                 : kindEqual;
        const bool bBlank = r == 150'000;
        result->AddRow(r + 1, bBlank ? "" : "a", r + 1, bBlank ? "" : (r == 100'003 ? "b" : "a"),
                       kind);
    }
    return result;
}

// Each difference shows on the pixel that stands for its row, however many rows a pixel stands
// for (20 pixels: 10,000 rows each, as 10 million rows on 1,000 pixels); a pixel of several kinds
// shows the changed one; fewer rows than pixels spread over them.
TEST(LocationMap, ShowsEachDifferenceOnThePixelOfItsRow) {
    const std::unique_ptr<CCompareResult> lone = LoneDifferences();
    auto few = std::make_unique<CCompareResult>();
    for (const std::int32_t kind : {kindEqual, kindTargetOnly, kindEqual, kindEqual}) {
        few->AddRow(1, "a", 1, "b", kind);
    }
    const struct {
        const CCompareResult* result;
        int height;
        std::vector<std::pair<int, std::int32_t>> shown;
    } cases[] = {
        {lone.get(), 400, {{0, kindSourceOnly}, {200, kindChanged}, {399, kindTargetOnly}}},
        {lone.get(), 20, {{0, kindSourceOnly}, {10, kindChanged}, {19, kindTargetOnly}}},
        {lone.get(), 1, {{0, kindChanged}}},
        {few.get(), 8, {{2, kindTargetOnly}, {3, kindTargetOnly}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        CLocationMap map;
        map.Build(*c.result, c.height);
        std::vector<std::pair<int, std::int32_t>> shown;
        for (int y = 0; y < c.height; ++y) {
            if (map.GetPixel(y) != kindEqual) {
                shown.emplace_back(y, map.GetPixel(y));
            }
        }
        EXPECT_EQ(shown, c.shown);
    }
    CLocationMap map;
    map.Build(*lone, 20);
    EXPECT_EQ(map.RowAt(10), 100'000);
    EXPECT_EQ(map.RowToShow(*lone, 10), 100'003);  // the difference the pixel shows
    EXPECT_EQ(map.RowToShow(*lone, 15), 150'000);  // no difference there: its first row
    EXPECT_EQ(map.PixelOf(199'999), 19);
}

// With the map on, a click on the pixel of the lone difference puts it in the middle of both
// panes and a drag moves them with the pointer until the button is let go; with the map off the
// same click does nothing and the pane paints as without it.
TEST(LocationMap, AClickBringsTheDifferenceOnScreenAndADragScrolls) {
    Panes panes(160);  // 10 rows show; 200,000 rows in 160 pixels
    panes.Load(LoneDifferences());
    const auto click = [&](CPoint at) {
        panes.target->OnLButtonDown(MK_LBUTTON, at);
        panes.target->OnLButtonUp(0, at);
        return panes.doc.m_scroll.GetTopRow();
    };
    panes.doc.m_nLocationMap = 0;
    CRect client;
    panes.target->GetClientRect(&client);
    const CPoint middle{client.right - 2, 80};
    EXPECT_EQ(click(middle), 0);
    RecordingDC off;
    panes.target->OnDraw(&off);
    EXPECT_TRUE(off.fills.empty());

    panes.doc.m_nLocationMap = 1;
    const CRect strip = panes.target->GetMapRect();
    EXPECT_EQ(strip.Width(), CLocationMap::kWidth);
    EXPECT_EQ(click({strip.left - 1, 80}), 0);  // beside the map
    EXPECT_EQ(click(middle), 100'003 - 5);
    RecordingDC on;
    panes.target->OnDraw(&on);
    const auto red = std::count_if(on.fills.begin(), on.fills.end(), [&](const auto& fill) {
        return fill.color == kRed && fill.rect.top == 80 && fill.rect.left >= strip.left;
    });
    EXPECT_EQ(red, 1);

    panes.target->OnLButtonDown(MK_LBUTTON, {strip.left, 120});
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 150'000 - 5);
    panes.target->OnMouseMove(MK_LBUTTON, {0, 40});
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 50'000 - 5);
    panes.target->OnLButtonUp(0, {0, 40});
    panes.target->OnMouseMove(MK_LBUTTON, {0, 80});
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 50'000 - 5);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

}  // namespace
