// The static splitter's layout, its shared bars as the program sets them, the pane commands and
// the wheel; SplitterTest.cpp in the platform's folder drives it with real input.
#include "tests/framework/SplitterFixture.h"

#include "framework/core/CmdUI.h"
#include "tests/common/CommandState.h"

namespace splitter_test {
namespace {

using Rect = std::array<LONG, 4>;

TEST_F(SplitterTest, PanesAndBarsAreLaidOutFromTheColumnWidths) {
    ASSERT_GT(extent, 0);
    const int bar = splitter.SplitterBarWidth();
    const LONG bottom = kHeight - extent;
    EXPECT_EQ(Place(left), (Rect{0, 0, 150, bottom}));
    EXPECT_EQ(Place(right), (Rect{150 + bar, 0, paneWidth, bottom}));
    EXPECT_EQ(Place(splitter.GetVertScrollBar()), (Rect{paneWidth, 0, kWidth, bottom}));
    EXPECT_EQ(Place(splitter.GetHorzScrollBar(0)), (Rect{0, bottom, 150, kHeight}));
    EXPECT_EQ(Place(splitter.GetHorzScrollBar(1)), (Rect{150 + bar, bottom, paneWidth, kHeight}));
}

TEST_F(SplitterTest, ColumnInfoWaitsForTheNextLayout) {
    splitter.SetColumnInfo(0, 200, 20);
    EXPECT_EQ(ColumnWidth(0), 150);
    EXPECT_EQ(Place(left)[2], 150);
    splitter.MoveWindow(0, 0, kWidth + 10, kHeight);
    EXPECT_EQ(ColumnWidth(0), 200);
    EXPECT_EQ(ColumnWidth(1), paneWidth + 10 - 200 - splitter.SplitterBarWidth());
}

TEST_F(SplitterTest, AColumnBelowItsMinimumIsHiddenAndItsNeighbourTakesTheSpace) {
    splitter.SetColumnInfo(0, 30, 40);
    splitter.RecalcLayout();
    EXPECT_EQ(ColumnWidth(0), 0);
    EXPECT_FALSE(left->IsShown());
    EXPECT_EQ(ColumnWidth(1), paneWidth - splitter.SplitterBarWidth());

    splitter.SetColumnInfo(0, paneWidth - 30, 10);
    splitter.SetColumnInfo(1, 100, 40);
    splitter.RecalcLayout();
    EXPECT_EQ(ColumnWidth(1), 0);
    EXPECT_FALSE(right->IsShown());
    EXPECT_TRUE(left->IsShown());
    EXPECT_EQ(ColumnWidth(0), paneWidth - splitter.SplitterBarWidth());
}

TEST_F(SplitterTest, PanesShareTheVerticalBarAndOwnTheBarUnderThem) {
    EXPECT_EQ(left->GetScrollBarCtrl(SB_VERT), splitter.GetVertScrollBar());
    EXPECT_EQ(right->GetScrollBarCtrl(SB_VERT), splitter.GetVertScrollBar());
    EXPECT_EQ(left->GetScrollBarCtrl(SB_HORZ), splitter.GetHorzScrollBar(0));
    EXPECT_EQ(right->GetScrollBarCtrl(SB_HORZ), splitter.GetHorzScrollBar(1));
    right->SetScrollRange(SB_HORZ, 0, 4096);
    right->SetScrollPos(SB_HORZ, 15);
    EXPECT_EQ(splitter.GetHorzScrollBar(1)->GetScrollPos(), 15);
    EXPECT_EQ(splitter.GetHorzScrollBar(0)->GetScrollPos(), 0);
    EXPECT_TRUE(splitter.requests.empty());  // setting a bar is never a request
}

TEST_F(SplitterTest, ARangeWithoutRoomDisablesTheBarAndThePositionStaysInside) {
    CScrollBar* bar = splitter.GetVertScrollBar();
    bar->SetScrollRange(0, 10);
    EXPECT_TRUE(bar->IsEnabled());
    EXPECT_EQ(bar->SetScrollPos(50), 0);
    EXPECT_EQ(bar->GetScrollPos(), 10);
    bar->SetScrollRange(0, 0);
    EXPECT_FALSE(bar->IsEnabled());
    bar->SetScrollRange(0, -10);
    EXPECT_FALSE(bar->IsEnabled());
    EXPECT_EQ(bar->GetScrollPos(), 0);
}

TEST_F(SplitterTest, NextAndPreviousPaneMakeTheOtherPaneActive) {
    EXPECT_TRUE(CommandState(*right, ID_WINDOW_SPLIT).m_bEnabled);
    frame.SetActiveView(right, false);
    ASSERT_TRUE(right->ExecuteCommand(ID_NEXT_PANE));
    EXPECT_EQ(frame.GetActiveView(), left);
    ASSERT_TRUE(left->ExecuteCommand(ID_PREV_PANE));
    EXPECT_EQ(frame.GetActiveView(), right);
    ASSERT_TRUE(right->ExecuteCommand(ID_PREV_PANE));
    EXPECT_EQ(frame.GetActiveView(), left);
}

// A notch (120) is three line requests on the pane's bar; smaller steps add up to notches.
TEST_F(SplitterTest, WheelTurnsAreLineRequestsOnTheSharedBars) {
    CScrollBar* vert = splitter.GetVertScrollBar();
    CScrollBar* under = splitter.GetHorzScrollBar(0);
    left->OnMouseWheel(0, 120, {});
    right->OnMouseWheel(0, -60, {});
    EXPECT_EQ(splitter.requests.size(), 3u);
    right->OnMouseWheel(0, -60, {});
    left->OnMouseHWheel(0, 120, {});
    const Request up{true, SB_LINEUP, 0, vert};
    const Request down{true, SB_LINEDOWN, 0, vert};
    const Request sideways{false, SB_LINERIGHT, 0, under};
    EXPECT_EQ(splitter.requests,
              (std::vector<Request>{up, up, up, down, down, down, sideways, sideways, sideways}));
}

}  // namespace
}  // namespace splitter_test
