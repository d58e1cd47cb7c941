#include <gtest/gtest.h>
#include <QResizeEvent>

#include "AppFixture.h"
#include "resources/Resource.h"

namespace {

class LayoutTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start();
        ProcessEvents();
    }

    int SplitterWidth() const { return Frame()->m_wndSplitter.GetSafeHwnd()->width(); }
    int Column(int col) const {
        int cur = 0;
        int min = 0;
        Frame()->m_wndSplitter.GetColumnInfo(col, cur, min);
        return cur;
    }
};

TEST_F(LayoutTest, ColumnsReturnToHalfTheWidthOneLayoutAfterEachResize) {
    for (const int width : {700, 431, 1000}) {
        SCOPED_TRACE(width);
        Window()->resize(width, 500);
        ProcessEvents();
        const int cx = SplitterWidth();
        Frame()->m_wndSplitter.RecalcLayout();
        EXPECT_EQ(Column(0), cx / 2);
        int cur = 0;
        int min = 0;
        Frame()->m_wndSplitter.GetColumnInfo(1, cur, min);
        EXPECT_EQ(min, cx / 10);
    }
}

TEST_F(LayoutTest, ASizeOfWidthZeroChangesNoColumn) {
    Window()->resize(800, 500);
    ProcessEvents();
    Frame()->m_wndSplitter.RecalcLayout();
    const int before = Column(0);
    Frame()->m_wndSplitter.OnSize(SIZE_RESTORED, 0, 300);
    Frame()->m_wndSplitter.RecalcLayout();
    EXPECT_EQ(Column(0), before);
}

TEST_F(LayoutTest, StatusPanesAreHalfTheFrameWidthAtOnce) {
    for (const int width : {640, 333}) {
        SCOPED_TRACE(width);
        Window()->resize(width, 400);
        ProcessEvents();
        for (int i = 0; i < 2; ++i) {
            UINT id = 0;
            UINT style = 1;
            int cx = 0;
            Frame()->m_wndStatusBar.GetPaneInfo(i, id, style, cx);
            EXPECT_EQ(id, i == 0 ? ID_INDICATOR_SOURCE : ID_INDICATOR_TARGET);
            EXPECT_EQ(style, 0u);
            EXPECT_EQ(cx, Window()->width() / 2);
        }
    }
}

TEST_F(LayoutTest, StatusPanesShowThePathsUnshortened) {
    const std::string a = WriteFile(QString(120, 'a') + ".txt", "x\n");
    const std::string b = WriteFile("b.txt", "y\n");
    Doc()->SetPaths(a, b);
    Frame()->OnIdleUpdateCmdUI();
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), a);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(1), b);
}

}  // namespace
