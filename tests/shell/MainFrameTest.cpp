// The main window's layout: two columns of half the width each, taken from the loop after each
// resize, two status panes of half the width each at once, and the splitter's shared bars.
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

// The splitter hands every request of its shared bars, with the bar, to the target pane's scroll
// operations, so both panes follow whichever bar the user moves.
TEST_F(LayoutTest, EveryBarOfTheSplitterMovesBothPanes) {
    std::string text;
    for (int i = 1; i <= 50; ++i) {
        text += "line " + std::to_string(i) + "\n";
    }
    Doc()->SetPaths(m_dir.Write("s.txt", text), m_dir.Write("t.txt", text));
    ASSERT_TRUE(Frame()->OnCommand(ID_COMPARE));
    CSyncSplitter& splitter = Frame()->m_wndSplitter;
    splitter.GetVertScrollBar()->SendRequest(SB_LINEDOWN);
    EXPECT_EQ(Doc()->m_scroll.GetTopRow(), 1);
    EXPECT_EQ(splitter.GetVertScrollBar()->GetScrollPos(), 1);
    // The bar under the source pane: both thumbs follow; under the target pane: only its own.
    splitter.GetHorzScrollBar(0)->SendRequest(SB_THUMBTRACK, 30);
    splitter.GetHorzScrollBar(1)->SendRequest(SB_LINERIGHT);
    EXPECT_EQ(Doc()->m_scroll.GetLeftOffset(), -35);
    EXPECT_EQ(splitter.GetHorzScrollBar(0)->GetScrollPos(), 30);
    EXPECT_EQ(splitter.GetHorzScrollBar(1)->GetScrollPos(), 35);
}

}  // namespace
