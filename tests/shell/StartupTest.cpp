#include <gtest/gtest.h>
#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QSignalSpy>

#include "AppFixture.h"
#include "display/TargetView.h"
#include "framework/core/CmdUI.h"
#include "framework/registry/Registry.h"
#include "resources/Resource.h"

namespace {

bool Enabled(CFrameWnd* frame, CommandId id) {
    CCmdUI ui(id);
    frame->UpdateCommand(ui);
    return ui.m_bEnabled;
}

TEST_F(AppTest, NoParametersOpensAnEmptyWindowWithTheComparisonCommandsGreyed) {
    Start();
    EXPECT_TRUE(Frame()->IsWindowVisible());
    ProcessEvents();
    EXPECT_EQ(Doc()->m_pResult, nullptr);
    EXPECT_FALSE(Enabled(Frame(), ID_COMPARE));
    EXPECT_FALSE(Enabled(Frame(), ID_NEXT_DIFFERENCE));
    EXPECT_FALSE(Enabled(Frame(), ID_PREVIOUS_DIFFERENCE));
    Frame()->OnIdleUpdateCmdUI();
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), "");
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(1), "");
}

TEST_F(AppTest, OneParameterHandsNothingToTheDocument) {
    const std::string a = WriteFile("a.txt", "x\n");
    Start({a});
    ProcessEvents();
    EXPECT_EQ(Doc()->m_sourcePath, "");
    EXPECT_EQ(Doc()->m_targetPath, "");
    EXPECT_EQ(Doc()->m_pResult, nullptr);
}

TEST_F(AppTest, TwoParametersAreComparedFromTheLoopAfterTheWindowIsShown) {
    const std::string a = WriteFile("a.txt", "same\nold\n");
    const std::string b = WriteFile("b.txt", "same\nnew\n");
    Start({a, b});
    // InitInstance has returned with the window shown; the comparison is still queued.
    EXPECT_TRUE(Frame()->IsWindowVisible());
    EXPECT_EQ(Doc()->m_sourcePath, a);
    EXPECT_EQ(Doc()->m_targetPath, b);
    EXPECT_EQ(Doc()->m_pResult, nullptr);
    ProcessEvents();
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->GetRowCount(), 2);
    EXPECT_EQ(Doc()->m_nTopRow, 0);
    Frame()->OnIdleUpdateCmdUI();
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), a);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(1), b);
}

TEST_F(AppTest, CaptionIsTheTitleAndTheTargetPaneIsActive) {
    Start();
    EXPECT_EQ(Frame()->GetWindowText(), "Tessiver 1.03");
    ASSERT_NE(Frame()->GetActiveView(), nullptr);
    EXPECT_EQ(Frame()->GetActiveView(), Frame()->m_wndSplitter.GetPane(0, 1));
    EXPECT_TRUE(Frame()->GetActiveView()->IsKindOf(RUNTIME_CLASS(CTargetView)));
    EXPECT_STREQ(Frame()->m_wndSplitter.GetPane(0, 0)->GetRuntimeClass()->m_lpszClassName,
                 "CTessiverView");
}

TEST_F(AppTest, ProfileKeepsSixteenRecentFilesAndThePreviewPageCount) {
    const std::string key = "Software\\Corvessa\\Tessiver";
    for (int n = 1; n <= 17; ++n) {
        RegWriteProfileString(key, "Recent File List", "File" + std::to_string(n),
                              "/f" + std::to_string(n));
    }
    RegWriteProfileInt(key, "Settings", "PreviewPages", 2);
    Start();
    EXPECT_EQ(m_app->GetAppRegistryKeyPath(), key);
    ASSERT_EQ(m_app->GetRecentFileList().size(), 16u);
    EXPECT_EQ(m_app->GetRecentFileList().front(), "/f1");
    m_app->AddToRecentFileList("/new");
    Stop();
    EXPECT_EQ(RegGetProfileString(key, "Recent File List", "File1", ""), "/new");
    EXPECT_EQ(RegGetProfileString(key, "Recent File List", "File16", ""), "/f15");
    EXPECT_EQ(RegGetProfileInt(key, "Settings", "PreviewPages", 0), 2);
}

}  // namespace
