// What the panes draw, recorded through a device context on no device: per visible row its text
// at x = 40 plus the shift, then the two-space blank over the gutter and the line number at
// x = 2 (drawn after the text, so that a shifted text runs under them), rows 16 pixels apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "tests/display/PaneFixture.h"

using namespace panes;

namespace {

// What one row draws at y on a side with a line (number) or without (nullptr).
std::vector<DrawnText> Row(int y, const std::string& text, COLORREF bk, COLORREF fg,
                           const char* number, int shift = 0) {
    std::vector<DrawnText> calls{{40 + shift, y, text, bk, fg}, {0, y, "  ", kWhite, fg}};
    if (number != nullptr) {
        calls.push_back({2, y, number, kWhite, kSilver});
    }
    return calls;
}

TEST(DrawRows, EachPaneDrawsItsSideOfTheRowInTheColoursOfItsKind) {
    // Stored as read; drawn with each tab as four spaces.
    const std::string raw = "\tte\txt";
    const std::string t = "    te    xt";
    const struct {
        const char* name;
        std::int32_t sourceLine;
        std::string sourceText;
        std::int32_t targetLine;
        std::string targetText;
        std::int32_t kind;
        std::vector<DrawnText> source;
        std::vector<DrawnText> target;
    } cases[] = {
        {"equal", 1, raw, 1, raw, kindEqual, Row(0, t, kWhite, kBlack, "   1"),
         Row(0, t, kWhite, kBlack, "   1")},
        {"changed", 2, raw, 3, raw, kindChanged, Row(0, t, kSilver, kRed, "   2"),
         Row(0, t, kSilver, kRed, "   3")},
        {"source only", 4, raw, 0, "", kindSourceOnly, Row(0, t, kSilver, kBlue, "   4"),
         Row(0, "", kSilver, kBlue, nullptr)},
        {"target only", 0, "", 5, raw, kindTargetOnly, Row(0, "", kSilver, kGreen, nullptr),
         Row(0, t, kSilver, kGreen, "   5")},
        // Two blank lines opposite each other are no difference.
        {"changed, both empty", 6, "", 7, "", kindChanged, Row(0, "", kWhite, kRed, "   6"),
         Row(0, "", kWhite, kRed, "   7")},
        {"changed, one side empty", 8, "", 9, raw, kindChanged, Row(0, "", kSilver, kRed, "   8"),
         Row(0, t, kSilver, kRed, "   9")},
    };
    Panes panes(100);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = std::make_unique<CCompareResult>();
        result->AddRow(c.sourceLine, c.sourceText, c.targetLine, c.targetText, c.kind);
        panes.Load(std::move(result));
        EXPECT_EQ(Panes::Draw(panes.source), c.source);
        EXPECT_EQ(Panes::Draw(panes.target), c.target);
    }
}

// The line numbers drawn and where, from the pane's first row to the partly visible one.
std::vector<std::pair<int, std::string>> Numbers(CView* pane) {
    std::vector<std::pair<int, std::string>> numbers;
    for (const DrawnText& t : Panes::Draw(pane)) {
        if (t.x == 2) {
            numbers.emplace_back(t.y, t.text);
        }
    }
    return numbers;
}

TEST(DrawRows, VisibleRowsOnlyThePartlyVisibleOneIncludedInTheDocumentsFont) {
    Panes panes(100);
    EXPECT_TRUE(Panes::Draw(panes.source).empty());  // no result
    panes.LoadRows(50);
    const std::vector<std::pair<int, std::string>> first{{0, "   1"},  {16, "   2"}, {32, "   3"},
                                                         {48, "   4"}, {64, "   5"}, {80, "   6"},
                                                         {96, "   7"}};
    EXPECT_EQ(Numbers(panes.source), first);
    EXPECT_EQ(Numbers(panes.target), first);
    panes.doc.m_scroll.SetTopRow(46);
    EXPECT_EQ(Numbers(panes.source), (std::vector<std::pair<int, std::string>>{
                                         {0, "  47"}, {16, "  48"}, {32, "  49"}, {48, "  50"}}));
    // Every text in the document's font, which is deselected afterwards.
    RecordingDC dc;
    panes.target->OnDraw(&dc);
    EXPECT_EQ(dc.fonts, std::vector<const CFont*>(4 * 3, &panes.doc.m_font));
    EXPECT_EQ(dc.m_pFont, nullptr);
}

TEST(DrawRows, NumbersTakeFourColumnsOrMoreAndTheShiftMovesOnlyTheText) {
    Panes panes(100);
    auto result = std::make_unique<CCompareResult>();
    result->AddRow(1234, "a", 7, "b", kindChanged);
    result->AddRow(12345, "a", 99999, "b", kindChanged);
    panes.Load(std::move(result));
    panes.TargetBar()->SendRequest(SB_THUMBTRACK, 100);
    std::vector<DrawnText> expected = Row(0, "a", kSilver, kRed, "1234", -100);
    for (const DrawnText& t : Row(16, "a", kSilver, kRed, "12345", -100)) {
        expected.push_back(t);
    }
    EXPECT_EQ(Panes::Draw(panes.source), expected);
    EXPECT_EQ(Numbers(panes.target),
              (std::vector<std::pair<int, std::string>>{{0, "   7"}, {16, "99999"}}));
}

}  // namespace

namespace {

// With "Changes Within Lines" on, a changed row's texts are drawn as before, with the bytes that
// differ (in the text as shown, tabs expanded) marked on a background darker than silver; every
// other row, and every row with the option off, draws exactly as it did.
TEST(DrawRows, ChangesWithinLinesMarkOnlyTheBytesThatDifferOnEachSide) {
    using Ranges = std::vector<CTextRange>;
    const struct {
        const char* name;
        std::string source, target;
        std::int32_t kind;
        Ranges sourceMarks, targetMarks;  // none drawn marked when both are empty
    } cases[] = {
        {"one character", "abcd", "abXd", kindChanged, {{2, 3}}, {{2, 3}}},
        {"after a tab", "\tabcd", "\tabXd", kindChanged, {{6, 7}}, {{6, 7}}},
        {"a two-byte character", "caf\xC3\xA9!", "caf\xC3\xA8!", kindChanged, {{3, 5}}, {{3, 5}}},
        {"inserted on one side", "a cat", "a black cat", kindChanged, {}, {{2, 8}}},
        {"equal", "abcd", "abcd", kindEqual, {}, {}},
        {"source only", "abcd", "", kindSourceOnly, {}, {}},
        {"one side empty", "", "abcd", kindChanged, {}, {}},
        {"both blank", "", "", kindChanged, {}, {}},
    };
    Panes panes(20);
    for (const bool bOn : {false, true}) {
        panes.doc.m_nInlineChanges = bOn ? 1 : 0;
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (bOn ? ", on" : ", off"));
            auto result = std::make_unique<CCompareResult>();
            result->AddRow(1, c.source, 1, c.target, c.kind);
            panes.Load(std::move(result));
            for (const auto& [pane, marks] :
                 {std::pair<CView*, const Ranges*>{panes.source, &c.sourceMarks},
                  std::pair<CView*, const Ranges*>{panes.target, &c.targetMarks}}) {
                RecordingDC off;
                panes.doc.m_nInlineChanges = 0;
                pane->OnDraw(&off);
                RecordingDC dc;
                panes.doc.m_nInlineChanges = bOn ? 1 : 0;
                pane->OnDraw(&dc);
                EXPECT_EQ(dc.texts, off.texts);
                EXPECT_TRUE(off.marked.empty());
                std::vector<RecordingDC::Marked> expected;
                if (bOn && !marks->empty()) {
                    // On a background a shade darker than the changed row's silver.
                    ASSERT_EQ(dc.marked.size(), 1u);
                    const COLORREF mark = dc.marked[0].color;
                    EXPECT_EQ(GetRValue(mark), GetGValue(mark));
                    EXPECT_EQ(GetGValue(mark), GetBValue(mark));
                    EXPECT_LT(GetRValue(mark), GetRValue(kSilver));
                    expected.push_back({0, *marks, mark});
                }
                EXPECT_EQ(dc.marked, expected);
            }
        }
    }
}

// The marks follow what the pane shows: a difference beyond the pane's width is found once the
// texts are shifted far enough to show it, and a new table's rows are not taken for the old
// one's.
TEST(DrawRows, ChangesWithinLinesFollowTheShiftAndTheTable) {
    Panes panes(20);
    panes.doc.m_nInlineChanges = 1;
    const std::string head(3000, 'a');
    const auto marks = [&] {
        RecordingDC dc;
        panes.source->OnDraw(&dc);
        return dc.marked.empty() ? std::vector<CTextRange>{} : dc.marked[0].ranges;
    };
    auto result = std::make_unique<CCompareResult>();
    result->AddRow(1, head + "b", 1, head + "c", kindChanged);
    panes.Load(std::move(result));
    EXPECT_EQ(marks(), std::vector<CTextRange>{});  // beyond what a 300-pixel pane shows
    panes.SourceBar()->SendRequest(SB_THUMBTRACK, 2000);
    EXPECT_EQ(marks(), (std::vector<CTextRange>{{3000, 3001}}));

    result = std::make_unique<CCompareResult>();
    result->AddRow(1, "b" + head, 1, "c" + head, kindChanged);
    panes.Load(std::move(result));
    EXPECT_EQ(marks(), (std::vector<CTextRange>{{0, 1}}));
}

// Edit > Find marks what it found, in the text as shown, on the side and row it put on top, in
// place of the changes within that line; the next search moves the mark, a scroll takes it away.
TEST(DrawRows, FindMarksTheMatchOnItsRowUntilTheNextScroll) {
    Panes panes(16);
    panes.doc.m_nInlineChanges = 1;
    auto result = std::make_unique<CCompareResult>();
    result->AddRow(1, "plain", 1, "plain", kindEqual);
    result->AddRow(2, "a\tneedle", 2, "other", kindChanged);
    result->AddRow(3, "x", 3, "needle", kindChanged);
    result->AddRow(4, std::string(3000, ' ') + "far", 4, "", kindChanged);
    panes.Load(std::move(result));
    using Marks = std::vector<RecordingDC::Marked>;
    const auto marks = [&](CView* pane) {  // on the top row
        RecordingDC dc;
        pane->OnDraw(&dc);
        Marks top;
        std::copy_if(dc.marked.begin(), dc.marked.end(), std::back_inserter(top),
                     [](const auto& m) { return m.y == 0; });
        return top;
    };
    constexpr COLORREF kYellow = RGB(255, 255, 0);
    panes.doc.m_lastQuery = CTextQuery{"NEEDLE", false, SearchSide::both};
    ASSERT_TRUE(panes.doc.FindAgain(true));
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 1);
    EXPECT_EQ(marks(panes.source), (Marks{{0, {{5, 11}}, kYellow}}));
    EXPECT_EQ(marks(panes.target).size(), 1u);  // the changes within row 1's target line
    ASSERT_TRUE(panes.doc.FindAgain(true));
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 2);
    EXPECT_EQ(marks(panes.target), (Marks{{0, {{0, 6}}, kYellow}}));
    panes.VertBar()->SendRequest(SB_LINEUP, 0);
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 1);
    const auto found = [&](CView* pane) {
        const Marks drawn = marks(pane);
        return std::any_of(drawn.begin(), drawn.end(), [&](auto& m) { return m.color == kYellow; });
    };
    EXPECT_FALSE(found(panes.source) || found(panes.target));
    ASSERT_TRUE(panes.doc.FindAgain(true));
    panes.doc.GoToLine(false, 3);
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 2);
    EXPECT_FALSE(found(panes.source) || found(panes.target));
    // Beyond the pane's right edge: the texts shift to show it.
    panes.doc.m_lastQuery->text = "far";
    ASSERT_TRUE(panes.doc.FindAgain(true));
    EXPECT_LT(panes.doc.m_scroll.GetLeftOffset(), -3000 * 5);
    EXPECT_EQ(marks(panes.source), (Marks{{0, {{3000, 3003}}, kYellow}}));
}

}  // namespace
