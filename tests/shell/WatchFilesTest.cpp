// View > Watch Files in the running program, with the system's own change signals: a target
// rewritten in place, replaced by a rename or deleted marks its status pane within three seconds
// while the rows stay; F5 compares again and clears the mark; a hundred writes in a second give
// one mark. Every wait is on a condition, with a time limit.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/window/FileWatcher.h"
#include "framework/window/MessageBox.h"
#include "platform/File.h"
#include "resources/Resource.h"
#include "tests/common/EventLoop.h"
#include "tests/shell/AppFixture.h"

namespace {

constexpr const char* kChanged = " (changed on disk: F5)";

class WatchFilesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start();
        m_previous = SetMessageBoxHook([this](const std::string& text, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_source = m_dir.Write("files/source.txt", "one\ntwo\nthree\n");
        m_target = m_dir.Write("files/target.txt", "one\nTWO\nthree\n");
        Doc()->SetPaths(m_source, m_target);
        ASSERT_TRUE(Frame()->OnCommand(ID_COMPARE));
    }
    void TearDown() override {
        SetMessageBoxHook(std::move(m_previous));
        EXPECT_TRUE(m_boxes.empty());  // watching never asks in a box
        if (m_app && Doc()->GetWatchFiles()) {
            Frame()->OnCommand(ID_WATCH_FILES);  // the next test starts with it off
        }
        AppTest::TearDown();
    }
    // A side's status pane (0 the source's, 1 the target's) as the window shows it after the loop
    // went idle.
    std::string Pane(int side = 1) {
        m_app->OnIdle(0);
        return Frame()->m_wndStatusBar.GetPaneText(side);
    }
    bool TargetPaneBecomes(const std::string& text) {
        return RunUntil([&] { return Pane() == text; });
    }
    std::string RowText(std::size_t row) const { return Doc()->m_pResult->m_targetText[row]; }

    std::string m_source;
    std::string m_target;
    std::vector<std::string> m_boxes;
    MessageBoxHook m_previous;
};

TEST_F(WatchFilesTest, RewrittenOrReplacedTheTargetIsMarkedUntilF5) {
    ASSERT_TRUE(Frame()->OnCommand(ID_WATCH_FILES));
    EXPECT_EQ(Pane(), m_target);
    const struct {
        const char* name;
        std::function<void()> change;
        const char* newSecondLine;
    } cases[] = {
        {"rewritten in place", [&] { m_dir.Write("files/target.txt", "one\n2\nthree\n"); }, "2"},
        {"replaced by a rename",
         [&] {
             const std::string beside = m_dir.Write("files/target.txt.new", "one\nTwo\nthree\n");
             std::filesystem::rename(PathFromUtf8(beside), PathFromUtf8(m_target));
         },
         "Two"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CCompareResult* compared = Doc()->m_pResult.get();
        const std::string secondLine = RowText(1);
        c.change();
        ASSERT_TRUE(TargetPaneBecomes(m_target + kChanged)) << Pane();
        EXPECT_EQ(Pane(0), m_source);
        // The rows stay as they were.
        EXPECT_EQ(Doc()->m_pResult.get(), compared);
        EXPECT_EQ(RowText(1), secondLine);

        // F5 shows the new target and clears the mark.
        ASSERT_TRUE(Frame()->OnCommand(ID_COMPARE));
        EXPECT_EQ(RowText(1), c.newSecondLine);
        EXPECT_EQ(Pane(), m_target);
        // And the new target is watched as the old one was.
        m_dir.Write("files/target.txt", "one\nTWO\nthree\nfour\n");
        ASSERT_TRUE(TargetPaneBecomes(m_target + kChanged)) << Pane();
        ASSERT_TRUE(Frame()->OnCommand(ID_COMPARE));
        EXPECT_EQ(Pane(), m_target);
    }
}

TEST_F(WatchFilesTest, ADeletedTargetSaysSo) {
    ASSERT_TRUE(Frame()->OnCommand(ID_WATCH_FILES));
    std::filesystem::remove(PathFromUtf8(m_target));
    ASSERT_TRUE(TargetPaneBecomes(m_target + " (deleted on disk)")) << Pane();
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->GetRowCount(), 3);  // the rows stay
    // F5 compares again and clears the notice.
    ASSERT_TRUE(Frame()->OnCommand(ID_COMPARE));
    EXPECT_EQ(Pane().find(" on disk"), std::string::npos) << Pane();
}

// A hundred writes about a second apart in all: the pane changes once, to the one mark, and stays
// so. The pace of the writes is not checked: on a loaded machine they spread further, and the
// pane must still change only once.
TEST_F(WatchFilesTest, AHundredWritesInASecondGiveOneNotice) {
    ASSERT_TRUE(Frame()->OnCommand(ID_WATCH_FILES));
    const CCompareResult* compared = Doc()->m_pResult.get();
    std::vector<std::string> seen{Pane()};
    const auto look = [&] {
        if (const std::string now = Pane(); now != seen.back()) {
            seen.push_back(now);
        }
    };
    const auto start = std::chrono::steady_clock::now();
    std::string text = "one\nTWO\nthree\n";
    for (int i = 0; i < 100; ++i) {
        text += "line " + std::to_string(i) + "\n";
        m_dir.Write("files/target.txt", text);
        // The loop runs between the writes, as it would in the program; the writes are spread
        // over a second.
        const auto due = start + std::chrono::milliseconds(10 * (i + 1));
        do {
            look();
            ProcessEventsFor(1);
        } while (std::chrono::steady_clock::now() < due);
    }
    ASSERT_TRUE(RunUntil([&] {
        look();
        return seen.back() == m_target + kChanged;
    }));
    // One more write, once a watcher of the test's own has seen it, has changed nothing either.
    CFileWatcher probe;
    bool bSeen = false;
    probe.Watch({m_target}, [&] { bSeen = true; });
    m_dir.Write("files/target.txt", text + "last\n");
    ASSERT_TRUE(RunUntil([&] {
        look();
        return bSeen;
    }));
    ProcessEventsFor(0);
    look();
    EXPECT_EQ(seen, (std::vector<std::string>{m_target, m_target + kChanged}));
    EXPECT_EQ(Doc()->m_pResult.get(), compared);
}

}  // namespace
