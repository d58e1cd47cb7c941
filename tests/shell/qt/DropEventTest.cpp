// Files dragged from another program and dropped on the Qt window, as Qt delivers them: the drag
// goes to the window's native window, which finds the widget under the point that takes drops
// (the frame, for its panes and bars). The drop is taken as a copy whatever the source proposes,
// its files become the sides the pane under them says, and what cannot be taken is refused with
// one message box.
#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWindow>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/window/MessageBox.h"
#include "resources/Resource.h"
#include "tests/shell/qt/QtAppFixture.h"

namespace {

class DropEventTest : public QtAppTest {
protected:
    void SetUp() override {
        QtAppTest::SetUp();
        Start();
        Window()->resize(800, 600);
        ProcessEvents();
        m_previousBox = SetMessageBoxHook([this](const std::string& text, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_a = m_dir.Write("a.txt", "one\ntwo\n");
        m_b = m_dir.Write("b.txt", "one\nTWO\n");
        m_c = m_dir.Write("c.txt", "one\n");
    }
    void TearDown() override {
        SetMessageBoxHook(std::move(m_previousBox));
        QtAppTest::TearDown();
    }

    // The middle of a window of the frame's, in the frame window's coordinates.
    QPoint MiddleOf(CWnd* pWnd) const {
        QWidget* widget = pWnd->GetSafeHwnd();
        return widget->mapTo(Window(), widget->rect().center());
    }
    static QMimeData* Files(const std::vector<std::string>& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const std::string& path : paths) {
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
        }
        data->setUrls(urls);
        return data;
    }

    struct Outcome {
        bool bEntered = false;  // the drag was taken on entering
        bool bDropped = false;  // the drop was taken
        Qt::DropAction action = Qt::IgnoreAction;
    };
    // A drag that enters the window, moves to at and drops there, as the window system hands it
    // to the window; then the loop runs what the drop posted. Shift is held: the source proposes
    // to move its files wherever it may.
    Outcome Drag(QMimeData* data, QPoint at,
                 Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction) {
        Outcome outcome;
        QWindow* window = Window()->windowHandle();
        QDragEnterEvent enter(at, possible, data, Qt::LeftButton, Qt::ShiftModifier);
        EXPECT_EQ(enter.proposedAction(), Qt::MoveAction);
        QCoreApplication::sendEvent(window, &enter);
        outcome.bEntered = enter.isAccepted();
        if (outcome.bEntered) {
            QDragMoveEvent move(at, possible, data, Qt::LeftButton, Qt::ShiftModifier);
            QCoreApplication::sendEvent(window, &move);
            QDropEvent drop(at, possible, data, Qt::LeftButton, Qt::ShiftModifier);
            QCoreApplication::sendEvent(window, &drop);
            outcome.bDropped = drop.isAccepted();
            outcome.action = drop.dropAction();
        }
        ProcessEvents();
        delete data;
        return outcome;
    }
    void ExpectFilesUnchanged() const {
        EXPECT_EQ(CScratchDir::Read(m_a), "one\ntwo\n");
        EXPECT_EQ(CScratchDir::Read(m_b), "one\nTWO\n");
        EXPECT_EQ(CScratchDir::Read(m_c), "one\n");
    }

    std::string m_a;
    std::string m_b;
    std::string m_c;
    std::vector<std::string> m_boxes;
    MessageBoxHook m_previousBox;
};

// The panes leave drops to the frame, which knows which pane they landed on: two files anywhere
// are compared in their order, one file on a pane takes its side, on a bar the target's.
TEST_F(DropEventTest, FilesTakeTheSideWhereTheyLandAsACopy) {
    const struct {
        const char* name;
        std::vector<std::string> files;
        CWnd* at;
        std::string source;
        std::string target;
    } cases[] = {
        {"two on the tool bar", {m_b, m_a}, &Frame()->m_wndToolBar, m_b, m_a},
        {"left pane", {m_c}, Frame()->m_wndSplitter.GetPane(0, 0), m_c, m_a},
        {"right pane", {m_b}, Frame()->m_wndSplitter.GetPane(0, 1), m_c, m_b},
        {"status bar", {m_a}, &Frame()->m_wndStatusBar, m_c, m_a},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = Drag(Files(c.files), MiddleOf(c.at));
        EXPECT_TRUE(outcome.bEntered);
        EXPECT_TRUE(outcome.bDropped);
        EXPECT_EQ(outcome.action, Qt::CopyAction);  // not the move the source proposed
        EXPECT_EQ(Doc()->m_sourcePath, c.source);
        EXPECT_EQ(Doc()->m_targetPath, c.target);
        ASSERT_NE(Doc()->m_pResult, nullptr);
        EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 1);
    }
    EXPECT_TRUE(m_boxes.empty());
    ExpectFilesUnchanged();
}

TEST_F(DropEventTest, WhatIsNoLocalFileOrOnlyMovableIsRefused) {
    const std::string folder = m_dir.Path("folder");
    std::filesystem::create_directories(folder);
    auto* web = new QMimeData;
    web->setUrls({QUrl("https://example.com/a.txt")});
    auto* text = new QMimeData;
    text->setText("some   words\n");
    const struct {
        const char* name;
        QMimeData* data;
        std::string message;
    } cases[] = {
        {"three files", Files({m_a, m_b, m_c}), "3 things were dropped."},
        {"a folder", Files({folder}), folder + " is a folder."},
        {"a web address", web, "https://example.com/a.txt is not a file on this computer."},
        {"a text", text, "some words is not a file on this computer."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes.clear();
        Drag(c.data, MiddleOf(Frame()->m_wndSplitter.GetPane(0, 0)));
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].substr(0, c.message.size()), c.message);
        EXPECT_EQ(Doc()->m_sourcePath, "");
        EXPECT_EQ(Doc()->m_targetPath, "");
    }
    // A source that only lets its files be moved is not taken, without a box: the window never
    // moves a file.
    m_boxes.clear();
    EXPECT_FALSE(
        Drag(Files({m_a, m_b}), MiddleOf(Frame()->m_wndSplitter.GetPane(0, 0)), Qt::MoveAction)
            .bEntered);
    EXPECT_EQ(Doc()->m_sourcePath, "");
    EXPECT_TRUE(m_boxes.empty());
    ExpectFilesUnchanged();
}

}  // namespace
