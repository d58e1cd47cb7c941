// The comparison document driven as the user's commands drive it: through the frame's routing
// and the update handlers, never by calling handlers around the enable rules.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <vector>

#include "document/TessiverDoc.h"
#include "framework/core/CmdUI.h"
#include "framework/window/FrameWnd.h"
#include "framework/dialog/MessageBox.h"
#include "framework/window/View.h"
#include "framework/core/WinApp.h"
#include "resources/Resource.h"

namespace {

class CountingView : public CView {
public:
    int m_nUpdates = 0;
    void OnDraw(CDC* /*pDC*/) override {}
    void OnUpdate(CView* /*pSender*/, long /*lHint*/, CObject* /*pHint*/) override { ++m_nUpdates; }
};

class TessiverDocTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_doc.AddView(&m_view);
        m_frame.SetActiveView(&m_view, false);
        m_app.m_pMainWnd = &m_frame;
    }

    std::string Write(const std::string& name, const std::string& content) {
        const std::string path = m_dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    bool Enabled(CommandId id) {
        CCmdUI state(id);
        m_frame.UpdateCommand(state);
        return state.m_bEnabled;
    }

    std::string PaneText(CommandId id) {
        CCmdUI state(id);
        m_frame.UpdateCommand(state);
        return state.m_text.value_or("<none>");
    }

    // A table whose difference rows are exactly those listed.
    static std::unique_ptr<CCompareResult> TableWithDifferences(int rows, std::vector<int> diffs) {
        auto table = std::make_unique<CCompareResult>();
        for (int i = 0; i < rows; ++i) {
            const bool diff = std::find(diffs.begin(), diffs.end(), i) != diffs.end();
            table->AddRow(i + 1, "line", i + 1, diff ? "other" : "line",
                          diff ? kindChanged : kindEqual);
        }
        return table;
    }

    QTemporaryDir m_dir;
    CWinApp m_app;
    CTessiverDoc m_doc;
    CountingView m_view;
    CFrameWnd m_frame;
};

TEST_F(TessiverDocTest, FreshDocumentHasItsInitialState) {
    EXPECT_EQ(m_doc.m_pResult, nullptr);
    EXPECT_EQ(m_doc.m_nTopRow, 0);
    EXPECT_EQ(m_doc.m_nCurrentDiff, 0);
    EXPECT_EQ(m_doc.m_nLineHeight, 16);
    EXPECT_EQ(m_doc.m_nLeftOffset, 0);
    EXPECT_TRUE(m_doc.m_font.IsCreated());
}

TEST_F(TessiverDocTest, EnableRulesOfEveryCommand) {
    struct Case {
        const char* name;
        CommandId id;
        bool before;     // fresh document
        bool withPaths;  // both paths set, no comparison yet
        bool compared;   // after comparing two files that differ
    };
    const Case cases[] = {
        {"compare", ID_COMPARE, false, true, true},
        {"next difference", ID_NEXT_DIFFERENCE, false, false, true},
        {"previous difference", ID_PREVIOUS_DIFFERENCE, false, false, true},
        {"swap", ID_SWAP_FILES, true, true, true},
        {"print", ID_FILE_PRINT, false, false, false},
        {"print preview", ID_FILE_PRINT_PREVIEW, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Enabled(c.id), c.before);
    }
    m_doc.SetPaths(Write("s.txt", "a\nb\n"), Write("t.txt", "a\nc\n"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Enabled(c.id), c.withPaths);
    }
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Enabled(c.id), c.compared);
    }
}

TEST_F(TessiverDocTest, CompareNeedsBothPaths) {
    m_doc.SetPaths(Write("s.txt", "a\n"), "");
    EXPECT_FALSE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_EQ(m_doc.m_pResult, nullptr);
    EXPECT_EQ(m_view.m_nUpdates, 0);
}

TEST_F(TessiverDocTest, StatusPanesShowFullPathsAndStayBlankWhileEmpty) {
    EXPECT_EQ(PaneText(ID_INDICATOR_SOURCE), "");
    EXPECT_EQ(PaneText(ID_INDICATOR_TARGET), "");
    const std::string source = Write("a very long name of a source file.txt", "x\n");
    m_doc.SetPaths(source, "");
    EXPECT_EQ(PaneText(ID_INDICATOR_SOURCE), source);
    EXPECT_EQ(PaneText(ID_INDICATOR_TARGET), "");
}

TEST_F(TessiverDocTest, CompareBuildsTableResetsTopRowAndUpdatesViews) {
    m_doc.SetPaths(Write("s.txt", "a\nb\nc\nd\n"), Write("t.txt", "a\nx\nc\nd\ne\n"));
    m_doc.m_nTopRow = 7;
    m_doc.m_nLeftOffset = -15;
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    ASSERT_NE(m_doc.m_pResult, nullptr);
    EXPECT_EQ(m_doc.m_pResult->GetRowCount(), 5);
    EXPECT_EQ(m_doc.m_pResult->m_nDifferences, 2);
    EXPECT_EQ(m_doc.m_nTopRow, 0);
    EXPECT_EQ(m_doc.m_nLeftOffset, -15);  // only horizontal scrolling changes it
    EXPECT_EQ(m_view.m_nUpdates, 1);
}

TEST_F(TessiverDocTest, TwoEmptyFilesLeaveNoResult) {
    m_doc.SetPaths(Write("s.txt", ""), Write("t.txt", ""));
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_EQ(m_doc.m_pResult, nullptr);
    EXPECT_FALSE(Enabled(ID_NEXT_DIFFERENCE));
    EXPECT_FALSE(Enabled(ID_PREVIOUS_DIFFERENCE));
}

struct NavigationCase {
    const char* name;
    int rows;
    std::vector<int> diffs;
    int start;
    std::vector<std::pair<CommandId, int>> steps;  // command, expected position after it
};

TEST_F(TessiverDocTest, NextAndPreviousLandWhereTheUserExpects) {
    const CommandId N = ID_NEXT_DIFFERENCE;
    const CommandId P = ID_PREVIOUS_DIFFERENCE;
    const NavigationCase cases[] = {
        {"blocks 3-5 and 9-10 from 0",
         12,
         {3, 4, 5, 9, 10},
         0,
         {{N, 3}, {N, 9}, {N, 9}, {P, 5}, {P, 5}}},
        {"previous reaches row 0", 8, {0, 5}, 5, {{P, 0}, {P, 0}, {N, 5}}},
        {"next skips a block that starts at row 0", 8, {0, 1, 6}, 0, {{N, 6}, {P, 1}}},
        {"the only block starts at row 0", 8, {0, 1}, 0, {{N, 0}, {P, 0}}},
        {"a single difference in the last row", 5, {4}, 0, {{N, 4}, {N, 4}, {P, 4}}},
    };
    for (const NavigationCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_doc.m_pResult = TableWithDifferences(c.rows, c.diffs);
        m_doc.m_nCurrentDiff = c.start;
        for (const auto& [command, expected] : c.steps) {
            m_doc.m_nTopRow =
                99;  // the user scrolled away: searches start from the current difference
            ASSERT_TRUE(m_frame.OnCommand(command));
            EXPECT_EQ(m_doc.m_nCurrentDiff, expected);
            EXPECT_EQ(m_doc.m_nTopRow, expected);
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
    const std::string source = Write("s.txt", longer);
    const std::string target = Write("t.txt", changed);
    m_doc.SetPaths(source, target);
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    ASSERT_TRUE(m_frame.OnCommand(ID_NEXT_DIFFERENCE));
    ASSERT_EQ(m_doc.m_nCurrentDiff, 25);

    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));  // the same table again: the position stays
    EXPECT_EQ(m_doc.m_nCurrentDiff, 25);
    EXPECT_EQ(m_doc.m_nTopRow, 0);

    m_doc.SetPaths(Write("short-s.txt", "a\nb\n"), Write("short-t.txt", "a\nc\n"));
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_EQ(m_doc.m_nCurrentDiff, 0);
    ASSERT_TRUE(m_frame.OnCommand(ID_NEXT_DIFFERENCE));
    EXPECT_EQ(m_doc.m_nTopRow, 1);
}

TEST_F(TessiverDocTest, SwapTwiceGivesBackTheFirstComparison) {
    const std::string source = Write("s.txt", "p\nq\nr\ns\n");
    const std::string target = Write("t.txt", "x\nr\ns\n");
    m_doc.SetPaths(source, target);
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    const std::vector<std::int32_t> kinds = m_doc.m_pResult->m_kind;

    ASSERT_TRUE(m_frame.OnCommand(ID_SWAP_FILES));
    EXPECT_EQ(m_doc.m_sourcePath, target);
    EXPECT_EQ(m_doc.m_targetPath, source);
    EXPECT_EQ(m_doc.m_pResult->m_sourceLine.front(), 1);

    m_doc.m_nTopRow = 2;
    ASSERT_TRUE(m_frame.OnCommand(ID_SWAP_FILES));
    EXPECT_EQ(m_doc.m_sourcePath, source);
    EXPECT_EQ(m_doc.m_targetPath, target);
    EXPECT_EQ(m_doc.m_pResult->m_kind, kinds);
    EXPECT_EQ(m_doc.m_nTopRow, 0);
}

TEST_F(TessiverDocTest, SwapRunsEvenWithAnEmptyPath) {
    m_doc.SetPaths(Write("s.txt", "a\nb\n"), "");
    ASSERT_TRUE(m_frame.OnCommand(ID_SWAP_FILES));
    EXPECT_EQ(m_doc.m_sourcePath, "");
    EXPECT_EQ(m_doc.m_pResult, nullptr);  // the source cannot be opened: no table
    EXPECT_EQ(m_view.m_nUpdates, 1);
}

TEST_F(TessiverDocTest, ReadErrorLeavesNoResultOneMessageAndAUsableProgram) {
    std::vector<std::string> boxes;
    MessageBoxHook previous = SetMessageBoxHook([&](const std::string& text, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    const std::string good = Write("good.txt", "a\nb\n");
    m_doc.SetPaths(good, Write("other.txt", "a\nc\n"));
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

// Opening a named pipe must never wait for a writer: the comparison takes it as an empty file,
// and the framework's Open does not hang on it either.
TEST_F(TessiverDocTest, APipeWithoutAWriterIsAnEmptyFile) {
    const std::string fifo = m_dir.filePath("fifo").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    m_doc.SetPaths(Write("source.txt", "a\nb\n"), fifo);
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    ASSERT_NE(m_doc.m_pResult, nullptr);
    EXPECT_EQ(m_doc.m_pResult->m_kind, (std::vector<std::int32_t>{kindSourceOnly, kindSourceOnly}));
    EXPECT_TRUE(m_doc.OnOpenDocument(fifo));
}

}  // namespace
