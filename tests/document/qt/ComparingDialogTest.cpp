// The "Comparing" dialog over a comparison that takes long: a named pipe as the source, which this
// test writes to, holds the comparison in its reading for as long as the test wants.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <string>
#include <vector>

#include "framework/dialog/ProgressDialog.h"
#include "framework/window/MessageBox.h"
#include "resources/Resource.h"
#include "tests/document/DocFixture.h"

namespace {

class ComparingDialogTest : public DocTest {
protected:
    void SetUp() override {
        m_previousBox = SetMessageBoxHook([this](const std::string& text, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_previousHook = SetProgressDialogHook([this](CProgressDialog& dialog) {
            // What the dialog shows when it comes up, then Esc, as a person would press it.
            QWidget* window = QApplication::activeModalWidget();
            ASSERT_NE(window, nullptr);
            const auto* text =
                window->findChild<QLabel*>(QString("ctrl%1").arg(IDC_COMPARING_TEXT));
            const auto* bar = window->findChild<QProgressBar*>();
            const auto* cancel = window->findChild<QPushButton*>();
            ASSERT_TRUE(text && bar && cancel);
            m_seen.push_back(window->windowTitle() + "|" + text->text() + "|" +
                             QString::number(bar->maximum()) + "|" +
                             (cancel->isEnabled() ? "enabled" : "disabled"));
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(window, &esc);
            m_bCancelled = dialog.GetCancelFlag();
            // The reader waits for more of the pipe: a line wakes it to find itself cancelled.
            if (m_writer >= 0) {
                EXPECT_EQ(::write(m_writer, "more\n", 5), 5);
            }
        });
    }
    void TearDown() override {
        SetProgressDialogHook(std::move(m_previousHook));
        SetMessageBoxHook(std::move(m_previousBox));
        if (m_writer >= 0) {
            ::close(m_writer);
        }
    }

    std::vector<std::string> m_boxes;
    std::vector<QString> m_seen;  // title|text|bar's maximum|Cancel
    bool m_bCancelled = false;
    int m_writer = -1;  // the test's end of the pipe, while it holds one open
    MessageBoxHook m_previousBox;
    ProgressDialogHook m_previousHook;
};

TEST_F(ComparingDialogTest, CancelLeavesNoResultThePathsAndNoMessage) {
    const std::string pipe = m_dir.Path("source.pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Open for reading and writing, so that the comparison finds a writer and waits for it.
    m_writer = ::open(pipe.c_str(), O_RDWR);
    ASSERT_GE(m_writer, 0);
    ASSERT_EQ(::write(m_writer, "first\n", 6), 6);
    const std::string target = m_dir.Write("target.txt", "first\n");
    m_doc.SetPaths(pipe, target);
    m_doc.m_nCurrentDiff = 3;
    const int updatesBefore = m_view.m_nUpdates;

    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    // The pipe's size is not known: the bar moves to and fro (its maximum 0).
    EXPECT_EQ(m_seen, (std::vector<QString>{"Comparing|Reading source.pipe|0|enabled"}));
    EXPECT_TRUE(m_bCancelled);

    // As after a comparison without a result, and nothing to tell.
    EXPECT_EQ(m_doc.m_pResult, nullptr);
    EXPECT_EQ(m_doc.m_nCurrentDiff, 0);
    EXPECT_GT(m_view.m_nUpdates, updatesBefore);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(m_doc.m_sourcePath + "|" + m_doc.m_targetPath, pipe + "|" + target);
    EXPECT_EQ(CommandState(m_frame, ID_INDICATOR_SOURCE).m_text, pipe);
    EXPECT_TRUE(Enabled(ID_COMPARE));
    EXPECT_FALSE(Enabled(ID_NEXT_DIFFERENCE));

    // Compare again: the pipe, now without a writer, reads as empty, and so quickly that the
    // dialog does not show.
    ::close(m_writer);
    m_writer = -1;
    ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    ASSERT_NE(m_doc.m_pResult, nullptr);
    EXPECT_EQ(m_doc.m_pResult->m_kind, (std::vector<std::int32_t>{kindTargetOnly}));
    EXPECT_EQ(m_seen.size(), 1u);
}

}  // namespace
