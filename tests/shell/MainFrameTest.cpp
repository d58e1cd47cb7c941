// The main window's layout: two columns of half the width each, taken from the loop after each
// resize, two status panes of half the width each at once, and the keys that move both panes.
#include <gtest/gtest.h>

#include <string>

#include "framework/window/ScrollBar.h"
#include "resources/Resource.h"
#include "tests/shell/AppFixture.h"

namespace {

class LayoutTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start();
    }
    std::pair<int, int> Column(int col) const {
        std::pair<int, int> info;
        Frame()->m_wndSplitter.GetColumnInfo(col, info.first, info.second);
        return info;
    }
};

TEST_F(LayoutTest, ColumnsReturnToHalfTheWidthOneLayoutAfterEachResize) {
    for (const int width : {700, 431, 1000}) {
        SCOPED_TRACE(width);
        Frame()->MoveWindow(0, 0, width, 500);
        CRect client;
        Frame()->m_wndSplitter.GetClientRect(&client);
        const int cx = client.Width();
        Frame()->m_wndSplitter.RecalcLayout();
        EXPECT_EQ(Column(0).first, cx / 2);
        EXPECT_EQ(Column(1).second, cx / 10);
    }
    const int before = Column(0).first;
    Frame()->m_wndSplitter.OnSize(SIZE_RESTORED, 0, 300);  // a size of width zero changes nothing
    Frame()->m_wndSplitter.RecalcLayout();
    EXPECT_EQ(Column(0).first, before);
}

TEST_F(LayoutTest, StatusPanesAreHalfTheFrameWidthAtOnce) {
    for (const int width : {640, 333}) {
        SCOPED_TRACE(width);
        Frame()->MoveWindow(0, 0, width, 400);
        CRect client;
        Frame()->GetClientRect(&client);
        for (int i = 0; i < 2; ++i) {
            UINT id = 0;
            UINT style = 1;
            int cx = 0;
            Frame()->m_wndStatusBar.GetPaneInfo(i, id, style, cx);
            EXPECT_EQ(id, i == 0 ? ID_INDICATOR_SOURCE : ID_INDICATOR_TARGET);
            EXPECT_EQ(style, 0u);
            EXPECT_EQ(cx, client.Width() / 2);
        }
    }
}

// The keys that move both panes carry out the document's commands, which move the shared scroll
// state as the bars' requests do and show it on the bars. Each step starts where the one before
// left off.
TEST_F(LayoutTest, MovingKeysMoveBothPanesAsTheBarsDo) {
    Frame()->MoveWindow(0, 0, 800, 600);
    Frame()->m_wndSplitter.RecalcLayout();
    const std::string longLine(500, 'x');
    std::string text;
    for (int i = 1; i <= 200; ++i) {
        text += (i == 3 ? longLine : "line " + std::to_string(i)) + "\n";
    }
    Doc()->SetPaths(m_dir.Write("s.txt", text), m_dir.Write("t.txt", text));
    ASSERT_TRUE(Frame()->OnCommand(ID_COMPARE));
    CSyncSplitter& splitter = Frame()->m_wndSplitter;
    CRect pane;
    splitter.GetPane(0, 1)->GetClientRect(&pane);
    const int v = pane.Height() / Doc()->m_nLineHeight;  // whole rows in a pane
    ASSERT_GT(v, 3);
    const int last = 200 - v;  // the top row that shows the last row in the last whole row
    constexpr int kEnd = 1;    // the end of the long line at the right edge
    const struct {
        const char* key;
        CommandId id;
        int top;
        int shift;  // or kEnd
    } steps[] = {
        {"Down", ID_ROW_DOWN, 1, 0},
        {"Up", ID_ROW_UP, 0, 0},
        {"Up on the first row", ID_ROW_UP, 0, 0},
        {"Page Down", ID_PAGE_DOWN, v, 0},
        {"Page Up", ID_PAGE_UP, 0, 0},
        {"Ctrl+End", ID_LAST_ROW, last, 0},
        {"Down on the last row", ID_ROW_DOWN, last, 0},
        {"Page Down on the last row", ID_PAGE_DOWN, last, 0},
        {"Ctrl+Home", ID_FIRST_ROW, 0, 0},
        {"Right", ID_STEP_RIGHT, 0, -5},
        {"Right again", ID_STEP_RIGHT, 0, -10},
        {"Left", ID_STEP_LEFT, 0, -5},
        {"Home", ID_LEFT_EDGE, 0, 0},
        {"Left at the left edge", ID_STEP_LEFT, 0, 0},
        {"End with the long line shown", ID_LINE_END, 0, kEnd},
        {"Home again", ID_LEFT_EDGE, 0, 0},
        {"Down, the long line still shown", ID_ROW_DOWN, 1, 0},
        {"Page Down past it", ID_PAGE_DOWN, 1 + v, 0},
        {"End with short lines only", ID_LINE_END, 1 + v, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        ASSERT_TRUE(Frame()->OnCommand(step.id));
        EXPECT_EQ(Doc()->m_scroll.GetTopRow(), step.top);
        const int shift = Doc()->m_scroll.GetLeftOffset();
        if (step.shift == kEnd) {
            const double end = 40 + 500 * Doc()->m_font.GetCellWidth() + shift;
            EXPECT_LE(end, pane.Width());
            EXPECT_GT(end, pane.Width() - Doc()->m_font.GetCellWidth());
        } else {
            EXPECT_EQ(shift, step.shift);
        }
        EXPECT_EQ(splitter.GetVertScrollBar()->GetScrollPos(), step.top);
        EXPECT_EQ(splitter.GetHorzScrollBar(0)->GetScrollPos(), -shift);
        EXPECT_EQ(splitter.GetHorzScrollBar(1)->GetScrollPos(), -shift);
    }
}

}  // namespace
