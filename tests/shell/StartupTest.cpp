// Start-up from the command line, the event loop and the exit, as the program runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "display/TargetView.h"
#include "display/TessiverView.h"
#include "framework/registry/Registry.h"
#include "resources/Resource.h"
#include "shell/TessiverCommandLineInfo.h"
#include "tests/shell/AppFixture.h"

namespace {

#ifdef _WIN32
constexpr bool kSlashIsFlag = true;  // "-" and "/" are both flag characters on Windows
#else
constexpr bool kSlashIsFlag = false;  // elsewhere "/" begins an absolute path
#endif

// The first two parameters are the source and the target file, flags included, each made
// absolute against the current folder.
TEST(CommandLine, FirstTwoParametersAreTheFilesAndNothingElseIsRecognised) {
    const std::string folder = std::filesystem::current_path().string();
    const auto inFolder = [&](const char* name) {
        return (std::filesystem::current_path() / name).string();
    };
    const struct {
        std::vector<std::string> params;
        std::string source;
        std::string target;
    } cases[] = {
        {{}, "", ""},
        {{"a.txt"}, inFolder("a.txt"), ""},
        {{"a.txt", "b.txt", "c.txt"}, inFolder("a.txt"), inFolder("b.txt")},
        {{"-a.txt", "b.txt"}, inFolder("a.txt"), inFolder("b.txt")},  // a flag loses its dash
        {{"-p", "", "c.txt"}, inFolder("p"), inFolder("c.txt")},      // an empty name names nothing
        {{folder, inFolder("b.txt")}, folder, inFolder("b.txt")},
        {{"/p"}, kSlashIsFlag ? inFolder("p") : "/p", ""},  // a file, not a print request
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.params));
        CWinApp app;
        std::vector<std::string> args{"tessiver"};
        args.insert(args.end(), c.params.begin(), c.params.end());
        app.SetCommandLine(args);
        CTessiverCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ(info.m_sourceArg, c.source);
        EXPECT_EQ(info.m_targetArg, c.target);
        // The base part keeps the framework's defaults: nothing is handed to it.
        EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
        EXPECT_EQ(info.m_strFileName, "");
    }
}

// Names given relative to the folder the program started in keep naming those files after the
// current folder moved (as a file dialog may move it), at start-up and at every compare again.
TEST_F(AppTest, RelativeNamesKeepTheirFilesWhenTheCurrentFolderMoves) {
    const std::string a = m_dir.Write("start/a.txt", "same\nold\n");
    const std::string b = m_dir.Write("start/b.txt", "same\nnew\n");
    m_dir.Write("elsewhere/a.txt", "other\n");
    const struct CurrentFolder {
        std::filesystem::path before = std::filesystem::current_path();
        ~CurrentFolder() { std::filesystem::current_path(before); }
    } restore;
    std::filesystem::current_path(m_dir.Path("start"));
    Start({"a.txt", "b.txt"});
    std::filesystem::current_path(m_dir.Path("elsewhere"));
    RunUntilExit();
    EXPECT_TRUE(std::filesystem::equivalent(Doc()->m_sourcePath, a));
    EXPECT_TRUE(std::filesystem::equivalent(Doc()->m_targetPath, b));
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->GetRowCount(), 2);
    EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 1);
}

// Two files are compared from the loop once the window shows; fewer leave an empty window.
TEST_F(AppTest, TwoParametersAreComparedFromTheLoopAfterTheWindowIsShown) {
    const std::string a = m_dir.Write("a.txt", "same\nold\n");
    const std::string b = m_dir.Write("b.txt", "same\nnew\n");
    const struct {
        std::vector<std::string> args;
        std::string source;
        std::string target;
    } cases[] = {{{}, "", ""}, {{a}, "", ""}, {{a, b}, a, b}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        Start(c.args);
        EXPECT_TRUE(Frame()->IsWindowVisible());
        EXPECT_EQ(Doc()->m_sourcePath, c.source);
        EXPECT_EQ(Doc()->m_targetPath, c.target);
        EXPECT_EQ(Doc()->m_pResult, nullptr);  // not yet: the comparison is queued
        m_app->OnIdle(0);
        EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), c.source);
        EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(1), c.target);
        RunUntilExit();
        EXPECT_FALSE(Frame()->IsWindowVisible());
        EXPECT_EQ(Doc()->m_pResult != nullptr, !c.source.empty());
        Stop();
    }
}

TEST_F(AppTest, CaptionIsTheTitleAndTheTargetPaneIsActive) {
    Start();
    EXPECT_EQ(Frame()->GetWindowText(), "Tessiver 1.03");
    EXPECT_EQ(Frame()->GetActiveView(), Frame()->m_wndSplitter.GetPane(0, 1));
    EXPECT_TRUE(Frame()->GetActiveView()->IsKindOf(RUNTIME_CLASS(CTargetView)));
    EXPECT_TRUE(Frame()->m_wndSplitter.GetPane(0, 0)->IsKindOf(RUNTIME_CLASS(CTessiverView)));
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
    EXPECT_EQ(m_app->GetRecentFileList().size(), 16u);
    Stop();
    EXPECT_EQ(RegGetProfileString(key, "Recent File List", "File1", ""), "/new");
    EXPECT_EQ(RegGetProfileString(key, "Recent File List", "File16", ""), "/f15");
    EXPECT_EQ(RegGetProfileInt(key, "Settings", "PreviewPages", 0), 2);
}

}  // namespace
