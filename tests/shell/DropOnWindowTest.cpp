// Files dropped on the running program's window, as the frame hands them to the document: the
// left pane takes the source, the right pane the target, and anywhere else is the window as a
// whole. The platform's own drops (Qt's drop events, the shell's WM_DROPFILES) are driven in the
// platform folders' tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/window/MessageBox.h"
#include "resources/Resource.h"
#include "tests/shell/AppFixture.h"

namespace {

class DropOnWindowTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start();
        m_previous = SetMessageBoxHook([this](const std::string& text, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_a = m_dir.Write("a.txt", "one\ntwo\n");
        m_b = m_dir.Write("b.txt", "one\nTWO\n");
        m_c = m_dir.Write("c.txt", "one\n");
    }
    void TearDown() override {
        SetMessageBoxHook(std::move(m_previous));
        AppTest::TearDown();
    }
    void Drop(std::vector<std::string> paths, CWnd* pAt) {
        CDropFiles drop;
        for (std::string& path : paths) {
            drop.items.push_back({std::move(path), true});
        }
        drop.pWndAt = pAt;
        Frame()->OnDropFiles(drop);
    }
    CWnd* Pane(int col) const { return Frame()->m_wndSplitter.GetPane(0, col); }

    std::string m_a;
    std::string m_b;
    std::string m_c;
    std::vector<std::string> m_boxes;
    MessageBoxHook m_previous;
};

TEST_F(DropOnWindowTest, EachPaneTakesItsSideAndTheRestIsTheWindow) {
    Drop({m_a, m_b}, &Frame()->m_wndToolBar);
    EXPECT_EQ(Doc()->m_sourcePath, m_a);
    EXPECT_EQ(Doc()->m_targetPath, m_b);
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 1);

    Drop({m_c}, Pane(0));
    EXPECT_EQ(Doc()->m_sourcePath, m_c);
    EXPECT_EQ(Doc()->m_targetPath, m_b);
    Drop({m_a}, Pane(1));
    EXPECT_EQ(Doc()->m_sourcePath, m_c);
    EXPECT_EQ(Doc()->m_targetPath, m_a);
    // Elsewhere, with both sides chosen: the target.
    for (CWnd* pAt : {static_cast<CWnd*>(Frame()), static_cast<CWnd*>(&Frame()->m_wndStatusBar),
                      static_cast<CWnd*>(&Frame()->m_wndSplitter), static_cast<CWnd*>(nullptr)}) {
        Drop({m_b}, pAt);
        EXPECT_EQ(Doc()->m_sourcePath, m_c);
        EXPECT_EQ(Doc()->m_targetPath, m_b);
        Drop({m_a}, pAt);
        EXPECT_EQ(Doc()->m_targetPath, m_a);
    }
    m_app->OnIdle(0);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), m_c);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(1), m_a);
    EXPECT_TRUE(m_boxes.empty());
}

// A comparison that fails is reported once, as a command's is, and the program goes on.
TEST_F(DropOnWindowTest, ARefusedDropShowsOneMessage) {
    Drop({m_a, m_b, m_c}, Pane(0));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].find("3 things were dropped."), 0u);
    EXPECT_EQ(Doc()->m_sourcePath, "");
    EXPECT_EQ(Doc()->m_targetPath, "");
    EXPECT_EQ(Doc()->m_pResult, nullptr);
}

}  // namespace
