// The main frame's splitter hands every request of its shared bars to the target pane's scroll
// operations, so both panes follow whichever bar the user moves.
#include <QString>

#include "AppFixture.h"
#include "framework/window/ScrollBar.h"
#include "resources/Resource.h"

namespace {

class SyncSplitterTest : public AppTest {
protected:
    void StartOnFiftyRows() {
        QByteArray text;
        for (int i = 1; i <= 50; ++i) {
            text += "line " + QByteArray::number(i) + "\n";
        }
        Start({WriteFile("s.txt", text), WriteFile("t.txt", text)});
        ProcessEvents();
        ASSERT_NE(Doc()->m_pResult, nullptr);
    }
    CSyncSplitter& Splitter() { return Frame()->m_wndSplitter; }
};

TEST_F(SyncSplitterTest, VerticalRequestsMoveTheSharedTopRow) {
    StartOnFiftyRows();
    CScrollBar* bar = Splitter().GetVertScrollBar();
    ASSERT_NE(bar, nullptr);
    bar->SendRequest(SB_LINEDOWN);
    bar->SendRequest(SB_ENDSCROLL);
    EXPECT_EQ(Doc()->m_nTopRow, 1);
    EXPECT_EQ(bar->GetScrollPos(), 1);
    bar->SendRequest(SB_TOP);
    EXPECT_EQ(Doc()->m_nTopRow, 0);
}

TEST_F(SyncSplitterTest, EitherHorizontalBarMovesBothPanesButOnlyTheRightThumbs) {
    StartOnFiftyRows();
    CScrollBar* sourceBar = Splitter().GetHorzScrollBar(0);
    CScrollBar* targetBar = Splitter().GetHorzScrollBar(1);
    ASSERT_NE(sourceBar, nullptr);
    ASSERT_NE(targetBar, nullptr);

    // From the bar under the source pane: both thumbs follow.
    sourceBar->SendRequest(SB_THUMBTRACK, 30);
    EXPECT_EQ(Doc()->m_nLeftOffset, -30);
    EXPECT_EQ(sourceBar->GetScrollPos(), 30);
    EXPECT_EQ(targetBar->GetScrollPos(), 30);

    // From the bar under the target pane: the source bar keeps its old thumb.
    targetBar->SendRequest(SB_LINERIGHT);
    EXPECT_EQ(Doc()->m_nLeftOffset, -35);
    EXPECT_EQ(targetBar->GetScrollPos(), 35);
    EXPECT_EQ(sourceBar->GetScrollPos(), 30);
}

TEST_F(SyncSplitterTest, ErasingTheSplitterPaintsNothing) {
    StartOnFiftyRows();
    EXPECT_TRUE(Splitter().OnEraseBkgnd(nullptr));
}

}  // namespace
