// The comparison document driven as the user's commands drive it: through the frame's routing
// and the update handlers, never by calling handlers around the enable rules.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "framework/registry/Registry.h"
#include "framework/window/MessageBox.h"
#include "platform/File.h"
#include "resources/Resource.h"
#include "tests/document/DocFixture.h"

namespace {

using TessiverDocTest = DocTest;

// A table whose difference rows are exactly those listed.
std::unique_ptr<CCompareResult> TableWithDifferences(int rows, std::vector<int> diffs) {
    auto table = std::make_unique<CCompareResult>();
    for (int i = 0; i < rows; ++i) {
        const bool diff = std::find(diffs.begin(), diffs.end(), i) != diffs.end();
        table->AddRow(i + 1, "line", i + 1, diff ? "other" : "line",
                      diff ? kindChanged : kindEqual);
    }
    return table;
}

TEST_F(TessiverDocTest, EnableRulesOfEveryCommand) {
    struct Case {
        const char* name;
        CommandId id;
        bool before;     // fresh document
        bool oneFile;    // only the source path set
        bool bothFiles;  // both paths set, no comparison yet
        bool compared;   // after comparing two files that differ
        bool same;       // after comparing two equal files
    };
    const Case cases[] = {
        {"compare", ID_COMPARE, false, false, true, true, true},
        {"next difference", ID_NEXT_DIFFERENCE, false, false, false, true, false},
        {"previous difference", ID_PREVIOUS_DIFFERENCE, false, false, false, true, false},
        {"swap", ID_SWAP_FILES, true, true, true, true, true},
        {"open source", ID_OPEN_SOURCE, true, true, true, true, true},
        {"open target", ID_OPEN_TARGET, true, true, true, true, true},
        {"options", ID_TOOLS_OPTIONS, false, false, false, false, false},
        {"print", ID_FILE_PRINT, false, false, false, false, false},
        {"print preview", ID_FILE_PRINT_PREVIEW, false, false, false, false, false},
        {"realign long blocks", ID_REALIGN_LONG_BLOCKS, true, true, true, true, true},
        {"ignore white space changes", ID_IGNORE_WHITESPACE_CHANGES, true, true, true, true, true},
        {"ignore all white space", ID_IGNORE_ALL_WHITESPACE, true, true, true, true, true},
        {"ignore case", ID_IGNORE_CASE, true, true, true, true, true},
        {"ignore blank lines", ID_IGNORE_BLANK_LINES, true, true, true, true, true},
        {"decode unicode files", ID_DECODE_UNICODE, true, true, true, true, true},
        {"watch files", ID_WATCH_FILES, true, true, true, true, true},
    };
    const auto check = [&](bool Case::*stage, const char* stageName) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(stageName) + ": " + c.name);
            EXPECT_EQ(Enabled(c.id), c.*stage);
        }
    };
    check(&Case::before, "before");
    m_doc.SetPaths(m_dir.Write("s.txt", "a\nb\n"), "");
    check(&Case::oneFile, "one file");
    EXPECT_FALSE(m_frame.OnCommand(ID_COMPARE));  // the rule holds for the command itself
    EXPECT_EQ(m_view.m_nUpdates, 0);
    m_doc.SetPaths(m_doc.m_sourcePath, m_dir.Write("t.txt", "a\nc\n"));
    check(&Case::bothFiles, "both files");
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    check(&Case::compared, "compared");
    m_doc.SetPaths(m_doc.m_sourcePath, m_doc.m_sourcePath);
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    check(&Case::same, "same");
}

// A file that cannot be opened gives the result it always gave (a target read as empty, no result
// for a source, whose target is then not opened), and its pane says why until the next
// comparison.
TEST_F(TessiverDocTest, AFileThatCannotBeOpenedIsNamedWithTheReasonInItsPane) {
    const std::string good = m_dir.Write("good.txt", "a\nb\n");
    const std::string missing = m_dir.Path("missing.txt");
    std::string reason;
    ASSERT_FALSE(CInputFile().Open(missing, &reason));
    const std::string named = missing + " \xE2\x80\x94 cannot open: " + reason;
    const struct {
        const char* name;
        std::string source, target;
        std::string sourcePane, targetPane;
        int rows;  // -1: no result
    } cases[] = {
        {"target", good, missing, good, named, 2},
        {"source", missing, good, named, good, -1},
        {"both", missing, missing, named, missing, -1},
        {"neither", good, good, good, good, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_doc.SetPaths(c.source, c.target);
        ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
        EXPECT_EQ(CommandState(m_frame, ID_INDICATOR_SOURCE).m_text, c.sourcePane);
        EXPECT_EQ(CommandState(m_frame, ID_INDICATOR_TARGET).m_text, c.targetPane);
        EXPECT_EQ(m_doc.m_pResult ? m_doc.m_pResult->GetRowCount() : -1, c.rows);
    }
    // The reason goes with the next comparison, once the file is there.
    m_doc.SetPaths(good, missing);
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    m_dir.Write("missing.txt", "a\n");
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_EQ(CommandState(m_frame, ID_INDICATOR_TARGET).m_text, missing);
}

TEST_F(TessiverDocTest, NextAndPreviousLandWhereTheUserExpects) {
    const CommandId N = ID_NEXT_DIFFERENCE;
    const CommandId P = ID_PREVIOUS_DIFFERENCE;
    const struct {
        const char* name;
        int rows;
        std::vector<int> diffs;
        int start;
        std::vector<std::pair<CommandId, int>> steps;  // command, expected position after it
    } cases[] = {
        {"blocks 3-5, 9-10", 12, {3, 4, 5, 9, 10}, 0, {{N, 3}, {N, 9}, {N, 9}, {P, 5}, {P, 5}}},
        {"previous reaches row 0", 8, {0, 5}, 5, {{P, 0}, {P, 0}, {N, 5}}},
        {"next skips a block that starts at row 0", 8, {0, 1, 6}, 0, {{N, 6}, {P, 1}}},
        {"the only block starts at row 0", 8, {0, 1}, 0, {{N, 0}, {P, 0}}},
        {"a single difference in the last row", 5, {4}, 0, {{N, 4}, {N, 4}, {P, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_doc.SetResult(TableWithDifferences(c.rows, c.diffs));
        m_doc.m_nCurrentDiff = c.start;
        for (const auto& [command, expected] : c.steps) {
            // The user scrolled away: searches start from the current difference.
            m_doc.m_scroll.SetTopRow(99);
            ASSERT_TRUE(m_frame.OnCommand(command));
            EXPECT_EQ(m_doc.m_nCurrentDiff, expected);
            EXPECT_EQ(m_doc.m_scroll.GetTopRow(), expected);
        }
    }
}

TEST_F(TessiverDocTest, CurrentDifferenceSurvivesOnlyWhileItNamesARowOfTheNewTable) {
    std::string longer;
    std::string changed;
    for (int i = 0; i < 30; ++i) {
        longer += "line " + std::to_string(i) + "\n";
        changed += (i == 25 ? "changed\n" : "line " + std::to_string(i) + "\n");
    }
    m_doc.SetPaths(m_dir.Write("s.txt", longer), m_dir.Write("t.txt", changed));
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    ASSERT_TRUE(m_frame.OnCommand(ID_NEXT_DIFFERENCE));
    ASSERT_EQ(m_doc.m_nCurrentDiff, 25);

    // The same table again: the position stays, the first row goes back to the top and only
    // horizontal scrolling changes the shift.
    CWnd pane;  // with no bars: only the state moves
    m_doc.m_scroll.OnHScroll(pane, SB_THUMBTRACK, 15, nullptr);
    const int updates = m_view.m_nUpdates;
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_EQ(m_doc.m_nCurrentDiff, 25);
    EXPECT_EQ(m_doc.m_scroll.GetTopRow(), 0);
    EXPECT_EQ(m_doc.m_scroll.GetLeftOffset(), -15);
    EXPECT_EQ(m_view.m_nUpdates, updates + 1);

    // A table of 25 rows no longer holds row 25.
    std::string shorter;
    for (int i = 0; i < 25; ++i) {
        shorter += (i == 1 ? "changed\n" : "line " + std::to_string(i) + "\n");
    }
    m_doc.SetPaths(m_dir.Write("short.txt", shorter),
                   m_dir.Write("s.txt", longer.substr(0, longer.find("line 25"))));
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_EQ(m_doc.m_nCurrentDiff, 0);
    ASSERT_TRUE(m_frame.OnCommand(ID_NEXT_DIFFERENCE));
    EXPECT_EQ(m_doc.m_scroll.GetTopRow(), 1);
}

// Swap exchanges the paths and compares again, even with a path missing.
TEST_F(TessiverDocTest, SwapComparesTheFilesTheOtherWayRound) {
    const std::string source = m_dir.Write("s.txt", "p\nq\nr\n");
    m_doc.SetPaths(source, "");
    m_doc.m_scroll.SetTopRow(2);
    ASSERT_TRUE(m_frame.OnCommand(ID_SWAP_FILES));
    EXPECT_EQ(m_doc.m_sourcePath, "");
    EXPECT_EQ(m_doc.m_targetPath, source);
    EXPECT_EQ(m_doc.m_pResult, nullptr);  // the source cannot be opened: no table
    EXPECT_EQ(m_view.m_nUpdates, 1);
    ASSERT_TRUE(m_frame.OnCommand(ID_SWAP_FILES));
    ASSERT_NE(m_doc.m_pResult, nullptr);
    EXPECT_EQ(m_doc.m_pResult->m_kind, std::vector<std::int32_t>(3, kindSourceOnly));
    EXPECT_EQ(m_doc.m_scroll.GetTopRow(), 0);
}

// "Realign Long Blocks" is a setting of the user's, kept as a DWORD under the Options key: read
// when the document first needs it, written when the user chooses the item, which compares again
// at once when both files are known.
class RealignSettingTest : public SettingsDocTest {
protected:
    void TearDown() override {
        // The next test starts from the settings off (the Windows run shares one key).
        for (const char* value : {"Realign", "IgnoreWhitespace", "IgnoreCase", "IgnoreBlankLines",
                                  "DecodeUnicode", "InlineChanges"}) {
            Options().WriteInt(value, 0);
        }
        SettingsDocTest::TearDown();
    }
    int Differences() const { return m_doc.m_pResult ? m_doc.m_pResult->m_nDifferences : -1; }
};

// "Realign Long Blocks" and the comparison options are check items: each kept as a DWORD under
// the Options key, read when the document first needs it, and choosing one compares again at once
// when both files are known. Each pair differs only in what its item leaves out or realigns over.
struct OptionItem {
    const char* name;
    CommandId id;
    const char* value;
    DWORD checked;
    std::string source;
    std::string target;
    int differencesOn = 0;
};

std::string BlankLinesInserted(int blank) {
    std::string text;
    for (int i = 0; i < 30; ++i) {
        text += "line " + std::to_string(i) + "\n" + (i == 14 ? std::string(blank, '\n') : "");
    }
    return text;
}

// Five lines, then 30 inserted in the target, then five more: 30 differences realigning after
// the block, more when not.
std::string HeadBlockTail(bool bBlock) {
    std::string text;
    for (int i = 0; i < 5; ++i) {
        text += "head " + std::to_string(i) + "\n";
    }
    for (int i = 0; bBlock && i < 30; ++i) {
        text += "new " + std::to_string(i) + "\n";
    }
    for (int i = 0; i < 5; ++i) {
        text += "tail " + std::to_string(i) + "\n";
    }
    return text;
}

const OptionItem kOptionItems[] = {
    {"realign long blocks", ID_REALIGN_LONG_BLOCKS, "Realign", 1, HeadBlockTail(false),
     HeadBlockTail(true), 30},
    {"white space changes", ID_IGNORE_WHITESPACE_CHANGES, "IgnoreWhitespace", 1, "a  b\t\n",
     "a\tb\n"},
    {"all white space", ID_IGNORE_ALL_WHITESPACE, "IgnoreWhitespace", 2, "ab\n", " a b\n"},
    {"case", ID_IGNORE_CASE, "IgnoreCase", 1, "Case\n", "cASE\n"},
    {"blank lines", ID_IGNORE_BLANK_LINES, "IgnoreBlankLines", 1, BlankLinesInserted(0),
     BlankLinesInserted(25)},
    {"unicode files", ID_DECODE_UNICODE, "DecodeUnicode", 1, "x\n", "\xEF\xBB\xBFx\n"},
};

TEST_F(RealignSettingTest, EachOptionItemTogglesItsStoredValueAndComparesAgain) {
    for (const OptionItem& item : kOptionItems) {
        SCOPED_TRACE(item.name);
        const auto check = [&] { return CommandState(m_frame, item.id).m_nCheck; };
        EXPECT_EQ(check(), 0);
        m_doc.SetPaths(m_dir.Write("s.txt", item.source), m_dir.Write("t.txt", item.target));
        ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
        const int plain = Differences();
        EXPECT_GT(plain, item.differencesOn);
        const struct {
            int check;
            int differences;
        } steps[] = {{1, item.differencesOn}, {0, plain}};
        for (const auto& step : steps) {
            const int updates = m_view.m_nUpdates;
            ASSERT_TRUE(m_frame.OnCommand(item.id));
            EXPECT_EQ(check(), step.check);
            EXPECT_EQ(Options().ReadInt(item.value, 99), step.check != 0 ? item.checked : 0u);
            EXPECT_EQ(Differences(), step.differences);
            EXPECT_EQ(m_view.m_nUpdates, updates + 1);
        }
        // With one file missing the choice is only stored, and a document that starts later
        // compares as it says.
        m_doc.m_pResult.reset();
        m_doc.SetPaths(m_doc.m_sourcePath, "");
        ASSERT_TRUE(m_frame.OnCommand(item.id));
        EXPECT_EQ(Options().ReadInt(item.value, 99), item.checked);
        EXPECT_EQ(m_doc.m_pResult, nullptr);
        CTessiverDoc later;
        later.SetPaths(m_dir.Path("s.txt"), m_dir.Path("t.txt"));
        later.OnCompare();
        ASSERT_NE(later.m_pResult, nullptr);
        EXPECT_EQ(later.m_pResult->m_nDifferences, item.differencesOn);
        EXPECT_EQ(CommandState(later, item.id).m_nCheck, 1);
        ASSERT_TRUE(m_frame.OnCommand(item.id));
    }
}

// "Changes Within Lines" is kept like the comparison options, but only changes what the panes
// draw: choosing it repaints them from the same table, even when the files have changed since.
TEST_F(RealignSettingTest, ChangesWithinLinesIsStoredAndOnlyRepaints) {
    const auto check = [&] { return CommandState(m_frame, ID_INLINE_CHANGES).m_nCheck; };
    EXPECT_EQ(check(), 0);
    m_doc.SetPaths(m_dir.Write("s.txt", "same\nold a\n"), m_dir.Write("t.txt", "same\nold b\n"));
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    const CCompareResult* table = m_doc.m_pResult.get();
    m_dir.Write("s.txt", "new\n");
    for (const int step : {1, 0, 1}) {
        SCOPED_TRACE(step);
        const int updates = m_view.m_nUpdates;
        ASSERT_TRUE(m_frame.OnCommand(ID_INLINE_CHANGES));
        EXPECT_EQ(check(), step);
        EXPECT_EQ(Options().ReadInt("InlineChanges", 99), static_cast<DWORD>(step));
        EXPECT_EQ(m_view.m_nUpdates, updates + 1);
        ASSERT_EQ(m_doc.m_pResult.get(), table);
        EXPECT_EQ(m_doc.m_pResult->m_sourceText.GetRaw(1), "old a");
    }

    // What differs within a row is the current table's: a new comparison replaces it.
    const CInlineChanges* changes = m_doc.GetRowChanges(1, CInlineComparer::kAll);
    ASSERT_NE(changes, nullptr);
    EXPECT_EQ(changes->source, (std::vector<CByteSpan>{{4, 5}}));
    EXPECT_EQ(m_doc.GetRowChanges(0, CInlineComparer::kAll), nullptr);  // an equal row
    m_dir.Write("s.txt", "same\nnew a\n");
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    changes = m_doc.GetRowChanges(1, CInlineComparer::kAll);
    ASSERT_NE(changes, nullptr);
    EXPECT_EQ(changes->source, (std::vector<CByteSpan>{{0, 5}}));
}

// The status bar shows the full paths, and after them which options are on and what a decoded
// file was read as; with every option off it shows the paths alone, and a pane without a path
// its options alone.
TEST_F(RealignSettingTest, StatusPanesNameTheOptionsAndTheEncodings) {
    const auto text = [&](CommandId id) {
        return CommandState(m_frame, id).m_text.value_or("<none>");
    };
    const std::string source = m_dir.Write("s.txt", "x\n");
    const std::string target = m_dir.Write("t.txt", std::string("\xFF\xFEx\0\n\0", 6));
    m_doc.SetPaths(source, target);
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_EQ(text(ID_INDICATOR_SOURCE), source);
    EXPECT_EQ(text(ID_INDICATOR_TARGET), target);
    const struct {
        CommandId id;
        std::string target;
    } steps[] = {
        {ID_IGNORE_ALL_WHITESPACE, target + " [-w]"},
        {ID_IGNORE_BLANK_LINES, target + " [-w -B]"},
        {ID_DECODE_UNICODE, target + " (UTF-16LE) [-w -B --decode]"},
        {ID_IGNORE_CASE, target + " (UTF-16LE) [-w -i -B --decode]"},
        {ID_IGNORE_ALL_WHITESPACE, target + " (UTF-16LE) [-i -B --decode]"},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(m_frame.OnCommand(step.id));
        EXPECT_EQ(text(ID_INDICATOR_SOURCE), source);
        EXPECT_EQ(text(ID_INDICATOR_TARGET), step.target);
    }
    EXPECT_EQ(m_doc.m_pResult->m_nDifferences, 0);
    ASSERT_TRUE(m_frame.OnCommand(ID_DECODE_UNICODE));  // read as bytes again: no encoding
    EXPECT_EQ(text(ID_INDICATOR_TARGET), target + " [-i -B]");
    m_doc.SetPaths("", "");
    EXPECT_EQ(text(ID_INDICATOR_SOURCE), "");
    EXPECT_EQ(text(ID_INDICATOR_TARGET), "[-i -B]");
}

#ifdef __linux__
TEST_F(TessiverDocTest, ReadErrorLeavesNoResultOneMessageAndAUsableProgram) {
    std::vector<std::string> boxes;
    MessageBoxHook previous = SetMessageBoxHook([&](const std::string& text, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    const std::string good = m_dir.Write("good.txt", "a\nb\n");
    m_doc.SetPaths(good, m_dir.Write("other.txt", "a\nc\n"));
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    ASSERT_NE(m_doc.m_pResult, nullptr);
    m_doc.m_nCurrentDiff = 1;

    // Opens, but reading it fails with an I/O error.
    m_doc.SetPaths("/proc/self/mem", good);
    EXPECT_FALSE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_EQ(m_doc.m_pResult, nullptr);
    EXPECT_EQ(m_doc.m_nCurrentDiff, 0);
    EXPECT_EQ(m_view.m_nUpdates, 2);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("/proc/self/mem"), std::string::npos);
    EXPECT_FALSE(Enabled(ID_NEXT_DIFFERENCE));

    m_doc.SetPaths(good, good);
    EXPECT_TRUE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_NE(m_doc.m_pResult, nullptr);
    EXPECT_EQ(boxes.size(), 1u);
    SetMessageBoxHook(std::move(previous));
}
#endif

#ifndef _WIN32
// Opening a named pipe must never wait for a writer: the framework's Open does not hang on it
// (the comparison takes it as an empty file: TessiverTableTest.cpp).
TEST_F(TessiverDocTest, APipeWithoutAWriterIsAnEmptyFile) {
    const std::string fifo = m_dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(m_doc.OnOpenDocument(fifo));
}
#endif

}  // namespace
