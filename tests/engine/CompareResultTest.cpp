#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "engine/CompareResult.h"
#include "engine/LineBuffer.h"
#include "engine/LineComparer.h"
#include "engine/TextSearch.h"
#include "tests/common/ScratchDir.h"

namespace {

TEST(CompareResult, ExpandTabsMakesEveryTabFourSpaces) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a b", "a b"},
        {"\t", "    "},
        {"a\tb", "a    b"},
        {"\t\t", "        "},
        {"abc\tde\t", "abc    de    "},  // no tab stops: the column plays no part
    };
    for (const auto& [before, expanded] : cases) {
        std::string text = before;
        std::string& returned = ExpandTabs(text);
        EXPECT_EQ(&returned, &text);
        EXPECT_EQ(text, expanded) << before;
    }
}

TEST(CompareResult, AddRowStoresExpandedTextsAndCountsDifferences) {
    const struct {
        const char* name;
        std::int32_t sourceLine;
        std::string sourceText;
        std::int32_t targetLine;
        std::string targetText;
        std::int32_t kind;
        std::string storedSource;
        std::string storedTarget;
        bool difference;
    } cases[] = {
        {"equal is never a difference", 2, "a", 2, "a", kindEqual, "a", "a", false},
        {"changed of two blanks is none", 2, "", 2, "", kindChanged, "", "", false},
        {"changed with one blank", 2, "", 2, "b", kindChanged, "", "b", true},
        {"source only blank is none", 2, "", 0, "", kindSourceOnly, "", "", false},
        {"source only space counts", 2, " ", 0, "", kindSourceOnly, " ", "", true},
        {"target only blank is none", 0, "", 2, "", kindTargetOnly, "", "", false},
        {"target only text", 0, "", 2, "t", kindTargetOnly, "", "t", true},
        {"lone tab is four spaces and counts", 2, "\t", 0, "", kindSourceOnly, "    ", "", true},
        {"tabs expanded on both sides", 2, "a\tb\t", 2, "\t", kindChanged, "a    b    ", "    ",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CCompareResult result;
        // A difference row first, so the count must grow from 1, not be set.
        result.AddRow(1, "x", 1, "y", kindChanged);
        result.AddRow(c.sourceLine, c.sourceText, c.targetLine, c.targetText, c.kind);
        ASSERT_EQ(result.GetRowCount(), 2);
        EXPECT_EQ(result.m_sourceText.size(), 2u);
        EXPECT_EQ(result.m_targetText.size(), 2u);
        EXPECT_EQ(result.m_sourceLine[1], c.sourceLine);
        EXPECT_EQ(result.m_targetLine[1], c.targetLine);
        EXPECT_EQ(result.m_kind[1], c.kind);
        EXPECT_EQ(result.m_sourceText[1], c.storedSource);
        EXPECT_EQ(result.m_targetText[1], c.storedTarget);
        EXPECT_EQ(result.IsDifference(1), c.difference);
        EXPECT_EQ(result.m_nDifferences, c.difference ? 2 : 1);
        EXPECT_EQ(result.m_sourceText[0], "x");
    }
}

// Copies and moves must read their own line numbers, not those of the table they came from.
TEST(CompareResult, CopiesAndMovesKeepTheirTexts) {
    const CScratchDir files;
    CLineComparer comparer;
    comparer.SetFiles(files.Write("s", "a\n\tb\n"), files.Write("t", "a\nc\n"));
    std::unique_ptr<CCompareResult> pResult = comparer.Compare();
    ASSERT_NE(pResult, nullptr);
    CCompareResult copy(*pResult);
    pResult.reset();
    EXPECT_EQ(copy.m_sourceText[1], "    b");
    const CCompareResult moved(std::move(copy));
    EXPECT_EQ(moved.m_sourceText[1], "    b");
    EXPECT_EQ(moved.m_targetText[1], "c");
    CCompareResult assigned;
    assigned = moved;
    EXPECT_EQ(assigned.m_sourceText[0], "a");
    EXPECT_EQ(assigned.m_nDifferences, 1);
}

// The widest text as shown, in columns: what the panes' horizontal range must reach. Texts that
// cannot be wider than what is asked about may be passed over.
TEST(CompareResult, WidestTextCountsShownColumns) {
    const struct {
        const char* name;
        std::string source, target;
        std::size_t minColumns;
        std::size_t widest;  // 0: no more than minColumns, as the answer may say
    } cases[] = {
        {"plain", "abcdefghij", "abc", 0, 10},
        {"target side", "abc", "abcdefghij", 0, 10},
        {"tabs", "a\tb\t", "", 0, 10},
        {"a UTF-8 character is one column", "\xC3\xA9\xC3\xA9\xE2\x82\xAC", "", 0, 3},
        {"any other byte is one", "\xE9\xA9\xC3", "", 0, 3},
        {"wider than asked about", std::string(30, 'x'), "ab\tc", 20, 30},
        {"no wider than asked about", std::string(20, 'x'), "a\tb", 20, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CCompareResult table;
        table.AddRow(1, c.source, 1, c.target, kindChanged);
        table.AddRow(2, "x", 2, "x", kindEqual);
        if (c.widest == 0) {
            EXPECT_LE(table.GetWidestText(c.minColumns), c.minColumns);
        } else {
            EXPECT_EQ(table.GetWidestText(c.minColumns), c.widest);
        }
    }
    // A table of lines as read, asked again after another comparison.
    const CScratchDir files;
    CLineComparer comparer;
    comparer.SetFiles(files.Write("s", "a\n" + std::string(500, 'y') + "\nb\n"),
                      files.Write("t", "\t\t\t\n"));
    const std::unique_ptr<CCompareResult> pResult = comparer.Compare();
    ASSERT_NE(pResult, nullptr);
    EXPECT_EQ(pResult->GetWidestText(400), 500u);
    EXPECT_EQ(pResult->GetWidestText(0), 500u);
}

}  // namespace

// Edit > Find and Go To Line over one small table: a row with both lines, one of either side
// alone, and changed rows, the last one the only one holding "word".
TEST(CompareResult, FindInTableAndRowOfLineReadTheSidesAsAsked) {
    CCompareResult table;
    table.AddRow(1, "int Alpha = 1;", 1, "int Alpha = 1;", kindEqual);
    table.AddRow(2, "\tbeta(x)", 0, "", kindSourceOnly);
    table.AddRow(0, "", 2, "gamma alp ALPHA", kindTargetOnly);
    table.AddRow(3, "delta", 3, "delta alpha", kindChanged);
    table.AddRow(4, "end", 4, "last xxxxxxxxxxxxxxxxxxxx Word", kindChanged);
    constexpr SearchSide both = SearchSide::both;
    const struct {
        const char* text;
        bool bMatchCase;
        SearchSide side;
        std::int32_t from;
        bool bForward;
        std::optional<CTextMatch> found;
    } cases[] = {
        {"alpha", false, both, 0, true, CTextMatch{2, false, 10, 15}},
        {"alpha", true, both, 0, true, CTextMatch{3, false, 6, 11}},
        {"Alpha", true, SearchSide::source, 0, true, CTextMatch{0, true, 4, 9}},  // wrapped
        {"ALPHA", false, SearchSide::source, 3, false, CTextMatch{0, true, 4, 9}},
        {"alpha", false, both, 3, false, CTextMatch{2, false, 10, 15}},
        {"a = 1", false, both, 4, true, CTextMatch{0, true, 8, 13}},
        {"beta(", false, SearchSide::target, 0, true, std::nullopt},
        {"beta(", false, both, 0, true, CTextMatch{1, true, 1, 6}},
        {"word", false, both, 0, true, CTextMatch{4, false, 26, 30}},
        {"word", true, both, 0, true, std::nullopt},
        {"end", true, both, 99, false, CTextMatch{4, true, 0, 3}},  // from past the end: row 4
        {"zzz", false, both, 0, true, std::nullopt},
        {"", false, both, 0, true, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.bForward ? " forward" : " backward"));
        EXPECT_EQ(FindInTable(table, {c.text, c.bMatchCase, c.side}, c.from, c.bForward), c.found);
    }
    EXPECT_EQ(ShownOffset("\tbeta(x)", 1), 4u);
    EXPECT_EQ(ShownOffset("a\t\tb", 3), 9u);
    // Line 2 of each side sits on a row of its own; lines out of range go to the side's ends.
    const std::tuple<bool, std::int64_t, std::int32_t> lines[] = {
        {true, 2, 1}, {false, 2, 2}, {true, 3, 3}, {true, 99, 4}, {false, 0, 0}, {false, 4, 4},
    };
    for (const auto& [bSource, line, row] : lines) {
        EXPECT_EQ(RowOfLine(table, bSource, line), row) << bSource << " line " << line;
    }
    EXPECT_EQ(RowOfLine(CCompareResult(), true, 1), -1);
}
