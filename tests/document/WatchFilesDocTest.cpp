// View > Watch Files as the document keeps it: a check item stored as a DWORD under the Options
// key, off at first; while it is on, the files of the last comparison that the panes still show
// are watched. Here the document is told of changes as the watcher would tell it; the shell's
// tests change files on disk and wait for the system's own signals.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/window/MessageBox.h"
#include "tests/document/DocFixture.h"

namespace {

constexpr const char* kChanged = " (changed on disk: F5)";

class WatchFilesDocTest : public SettingsDocTest {
protected:
    void SetUp() override {
        SettingsDocTest::SetUp();
        Options().WriteInt("WatchFiles", 0);
        m_previous = SetMessageBoxHook([this](const std::string& text, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_source = m_dir.Write("source.txt", "one\ntwo\n");
        m_target = m_dir.Write("target.txt", "one\nTWO\n");
        m_doc.SetPaths(m_source, m_target);
        ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    }
    void TearDown() override {
        SetMessageBoxHook(std::move(m_previous));
        EXPECT_TRUE(m_boxes.empty());  // watching never asks in a box
        Options().WriteInt("WatchFiles", 0);
        Options().WriteInt("IgnoreCase", 0);
        SettingsDocTest::TearDown();
    }
    std::string Pane(CommandId id) { return CommandState(m_frame, id).m_text.value_or("<none>"); }
    std::optional<int> Check() { return CommandState(m_frame, ID_WATCH_FILES).m_nCheck; }

    std::string m_source;
    std::string m_target;
    std::vector<std::string> m_boxes;
    MessageBoxHook m_previous;
};

TEST_F(WatchFilesDocTest, TheItemIsOffAtFirstAndTogglesTheStoredSetting) {
    EXPECT_EQ(Check(), 0);
    EXPECT_TRUE(Enabled(ID_WATCH_FILES));
    EXPECT_FALSE(m_doc.m_watcher.IsWatching());
    const CCompareResult* compared = m_doc.m_pResult.get();
    const int updates = m_view.m_nUpdates;
    for (const int check : {1, 0, 1}) {
        SCOPED_TRACE(check);
        ASSERT_TRUE(m_frame.OnCommand(ID_WATCH_FILES));
        EXPECT_EQ(Check(), check);
        EXPECT_EQ(Options().ReadInt("WatchFiles", 99), static_cast<DWORD>(check));
        const std::vector<std::string> watched =
            check != 0 ? std::vector<std::string>{m_source, m_target} : std::vector<std::string>{};
        EXPECT_EQ(m_doc.m_watcher.GetPaths(), watched);
    }
    // Choosing it never compares.
    EXPECT_EQ(m_doc.m_pResult.get(), compared);
    EXPECT_EQ(m_view.m_nUpdates, updates);

    // A document that starts later watches as the setting says.
    CTessiverDoc later;
    later.SetPaths(m_source, m_target);
    later.OnCompare();
    EXPECT_EQ(later.m_watcher.GetPaths(), (std::vector<std::string>{m_source, m_target}));
}

// The notice follows the pane's usual text: the options after the target, a decoded file's
// encoding, the reason a file could not be opened.
TEST_F(WatchFilesDocTest, TheNoticeComesAfterThePanesUsualText) {
    ASSERT_TRUE(m_frame.OnCommand(ID_WATCH_FILES));
    ASSERT_TRUE(m_frame.OnCommand(ID_IGNORE_CASE));
    m_dir.Write("source.txt", "one\ntwo\nthree\n");
    m_dir.Write("target.txt", "x\n");
    m_doc.OnFilesChanged();
    EXPECT_EQ(Pane(ID_INDICATOR_SOURCE), m_source + kChanged);
    EXPECT_EQ(Pane(ID_INDICATOR_TARGET), m_target + " [-i]" + kChanged);
    ASSERT_TRUE(m_frame.OnCommand(ID_IGNORE_CASE));  // compares again: the notices go
    EXPECT_EQ(Pane(ID_INDICATOR_SOURCE), m_source);
    EXPECT_EQ(Pane(ID_INDICATOR_TARGET), m_target);
}

// Off, nothing is watched and nothing is marked; turned on, it tells at once what changed since
// the comparison; turned off, the marks go.
TEST_F(WatchFilesDocTest, OffNothingIsMarkedAndTurningItOffTakesTheMarksAway) {
    m_dir.Write("target.txt", "one\nTWO\nthree\n");
    m_doc.OnFilesChanged();
    EXPECT_EQ(Pane(ID_INDICATOR_TARGET), m_target);
    EXPECT_FALSE(m_doc.m_watcher.IsWatching());
    for (const char* notice : {kChanged, ""}) {
        ASSERT_TRUE(m_frame.OnCommand(ID_WATCH_FILES));
        EXPECT_EQ(Pane(ID_INDICATOR_TARGET), m_target + notice);
    }
    m_doc.OnFilesChanged();
    EXPECT_EQ(Pane(ID_INDICATOR_TARGET), m_target);
}

// Only the files of the last comparison that the panes still show are watched: a side that
// shows another file (chosen, dropped, swapped) is no longer watched, nor marked.
TEST_F(WatchFilesDocTest, WatchingStopsForFilesNoLongerShown) {
    ASSERT_TRUE(m_frame.OnCommand(ID_WATCH_FILES));
    const std::string other = m_dir.Write("other.txt", "x\n");
    m_doc.SetPaths(m_source, other);
    EXPECT_EQ(m_doc.m_watcher.GetPaths(), std::vector<std::string>{m_source});
    m_dir.Write("target.txt", "changed\n");
    m_doc.OnFilesChanged();
    EXPECT_EQ(Pane(ID_INDICATOR_TARGET), other);

    m_doc.SetPaths("", "");
    EXPECT_FALSE(m_doc.m_watcher.IsWatching());

    // Both sides the same file: watched once.
    m_doc.SetPaths(m_source, m_source);
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    EXPECT_EQ(m_doc.m_watcher.GetPaths(), std::vector<std::string>{m_source});
    m_dir.Write("source.txt", "changed\n");
    m_doc.OnFilesChanged();
    EXPECT_EQ(Pane(ID_INDICATOR_SOURCE), m_source + kChanged);
    EXPECT_EQ(Pane(ID_INDICATOR_TARGET), m_source + kChanged);

    // A dropped file takes the place of the one watched.
    ASSERT_TRUE(m_doc.DropFiles({{other, true}}, DropSide::target));
    EXPECT_EQ(m_doc.m_watcher.GetPaths(), (std::vector<std::string>{m_source, other}));
    EXPECT_EQ(Pane(ID_INDICATOR_SOURCE), m_source);
}

}  // namespace
