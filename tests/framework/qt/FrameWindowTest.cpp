// The frame on Qt, on tables of the test's own: menu, bars, the event loop's idle
// processing and posted commands, the wait cursor, dialogs from their layouts, placement.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "framework/core/AfxRes.h"
#include "framework/core/CmdUI.h"
#include "framework/core/Resources.h"
#include "framework/dialog/Dialog.h"
#include "framework/dialog/PropertyPage.h"
#include "framework/dialog/PropertySheet.h"
#include "framework/qt/ModalDialog.h"
#include "framework/window/FileDialog.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/StatusBar.h"
#include "framework/window/ToolBar.h"
#include "framework/window/WinApp.h"
#include "framework/window/WindowPlacement.h"
#include "tests/common/CommandState.h"

namespace {

constexpr UINT kFrameId = 200;
constexpr UINT kBound = 40001;   // a plain command
constexpr UINT kDialog = 40003;  // runs a dialog
constexpr UINT kGated = 40004;   // has a handler, but its update handler disables it
constexpr UINT kPane = 300;      // a status pane with an update handler
constexpr UINT kQuiet = 301;     // a status pane without one
constexpr UINT kNoString = 302;  // a status pane without a string
constexpr UINT kDialogId = 500;

constexpr StringDef kStrings[] = {
    {kFrameId, "Frame Title\n\nDoc"}, {kPane, "ready?"}, {kQuiet, "quiet"}};
constexpr MenuItemDef kItems[] = {{"&Bound\tCtrl+K", kBound}};
constexpr MenuItemDef kRightItems[] = {{"&Gated", kGated}};
constexpr MenuPopupDef kPopups[] = {{"&Test", kItems}, {"&Right", kRightItems, true}};
constexpr MenuDef kMenus[] = {{kFrameId, kPopups}};
constexpr DialogItemDef kDialogItems[] = {
    {"EDIT", "", 10, 10, 10, 30, 12, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER},
    {"msctls_updown32", "", 11, 0, 0, 10, 12,
     WS_CHILD | WS_VISIBLE | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS},
    {"STATIC", "A  &label", 0xFFFF, 10, 30, 60, 8, WS_CHILD | WS_VISIBLE},
    {"BUTTON", "OK", 1, 100, 10, 40, 14, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON},
};
constexpr DialogDef kDialogs[] = {
    {kDialogId, "Test Dialog", 160, 60, "MS Sans Serif", 8, WS_POPUP | WS_CAPTION, kDialogItems}};
const ResourceTables kTables{kStrings, kMenus, {}, {}, kDialogs, {}};

class TestFrame : public CFrameWnd {
public:
    int m_nBound = 0;
    int m_nGated = 0;
    std::string m_paneText;
    std::optional<Qt::CursorShape> m_cursorInCommand;
    bool m_bFailBars = false;

    void OnBound() {
        ++m_nBound;
        if (const QCursor* cursor = QGuiApplication::overrideCursor()) {
            m_cursorInCommand = cursor->shape();
        }
    }
    void OnGated() { ++m_nGated; }
    void OnUpdateGated(CCmdUI* pCmdUI) { pCmdUI->Enable(false); }
    void OnUpdatePane(CCmdUI* pCmdUI) { pCmdUI->SetText(m_paneText); }
    void OnDialog() {
        QDialog dialog;
        AfxRunModalDialog(dialog);
    }

    int OnCreate(CREATESTRUCT* cs) override {
        if (CFrameWnd::OnCreate(cs) == -1) {
            return -1;
        }
        const UINT panes[] = {kPane, m_bFailBars ? kNoString : kQuiet};
        if (!m_toolBar.Create(this, 0x50002800, AFX_IDW_TOOLBAR) ||
            !m_statusBar.Create(this, 0x50008200, AFX_IDW_STATUS_BAR) ||
            !m_statusBar.SetIndicators(panes, 2)) {
            return -1;
        }
        return 0;
    }

    static const CommandMap* ThisMessageMap() {
        static constexpr CommandMapEntry entries[] = {
            CommandEntry<&TestFrame::OnBound>(kBound),
            CommandEntry<&TestFrame::OnGated, &TestFrame::OnUpdateGated>(kGated),
            CommandEntry<&TestFrame::OnDialog>(kDialog),
            UpdateEntry<&TestFrame::OnUpdatePane>(kPane),
        };
        static const CommandMap map{CFrameWnd::ThisMessageMap(), entries};
        return &map;
    }

    CToolBar m_toolBar;
    CStatusBar m_statusBar;

protected:
    const CommandMap* GetMessageMap() const override { return ThisMessageMap(); }
};

class FrameWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxSetResourceTables(&kTables);
        m_previous = SetModalDialogHook([this](QDialog* dialog) {
            m_bCursorLifted = QGuiApplication::overrideCursor() == nullptr;
            return m_answer ? m_answer(dialog) : int(QDialog::Rejected);
        });
    }
    void TearDown() override {
        m_app.m_pMainWnd = nullptr;
        SetModalDialogHook(std::move(m_previous));
    }
    // Loads the frame and shows it as the active main window.
    QMainWindow* Show() {
        EXPECT_TRUE(m_frame.LoadFrame(kFrameId, nullptr));
        m_app.m_pMainWnd = &m_frame;
        m_frame.ShowWindow(SW_SHOW);
        auto* window = qobject_cast<QMainWindow*>(m_frame.GetSafeHwnd());
        window->activateWindow();
        QApplication::setActiveWindow(window);
        return window;
    }

    CWinApp m_app;
    TestFrame m_frame;
    std::function<int(QDialog*)> m_answer;
    std::optional<bool> m_bCursorLifted;
    ModalDialogHook m_previous;
};

TEST_F(FrameWindowTest, AltWithAMnemonicOpensItsPopupAlsoAtTheRightEnd) {
    QMainWindow* window = Show();
    auto* rightEnd = qobject_cast<QMenuBar*>(window->menuBar()->cornerWidget(Qt::TopRightCorner));
    ASSERT_NE(rightEnd, nullptr);
    EXPECT_EQ(rightEnd->actions().value(0)->text(), "&Right");
    for (const auto& [key, title] :
         {std::pair{Qt::Key_T, "&Test"}, std::pair{Qt::Key_R, "&Right"}}) {
        SCOPED_TRACE(title);
        QTest::keyClick(window, key, Qt::AltModifier);
        QApplication::processEvents();
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->title(), title);
        popup->close();
    }
}

// Posted commands run from the loop, through the enable rule; when it goes idle, the update
// handlers fill the status panes.
TEST_F(FrameWindowTest, TheEventLoopRunsPostedCommandsAndIdleProcessing) {
    QMainWindow* window = Show();
    EXPECT_EQ(m_frame.m_statusBar.GetPaneText(0), "ready?");
    m_frame.m_paneText = "/tmp/a.txt";
    m_frame.PostCommand(kGated);
    m_frame.PostCommand(kBound);
    EXPECT_EQ(m_frame.m_nBound, 0);
    m_app.EnableIdleProcessing();
    QEventLoop loop;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    loop.exec();  // goes idle at least once before the queued quit runs
    EXPECT_EQ(m_frame.m_nBound, 1);
    EXPECT_EQ(m_frame.m_nGated, 0);
    EXPECT_EQ(m_frame.m_statusBar.GetPaneText(0), "/tmp/a.txt");
    EXPECT_EQ(m_frame.m_statusBar.GetPaneText(1), "quiet");  // nobody sets a text: it stays

    QStatusTipEvent tip("a command's prompt");
    QCoreApplication::sendEvent(window->menuBar(), &tip);
    EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
}

TEST_F(FrameWindowTest, CommandsShowTheWaitCursorExceptWhileTheirDialogsRun) {
    ASSERT_TRUE(m_frame.LoadFrame(kFrameId, nullptr));
    ASSERT_TRUE(m_frame.OnCommand(kBound));
    EXPECT_EQ(m_frame.m_cursorInCommand, Qt::WaitCursor);
    ASSERT_TRUE(m_frame.OnCommand(kDialog));
    EXPECT_EQ(m_bCursorLifted, true);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(FrameWindowTest, AMissingIndicatorStringOrToolbarTableFailsTheFrame) {
    m_frame.m_bFailBars = true;
    EXPECT_FALSE(m_frame.LoadFrame(kFrameId, nullptr));
    TestFrame other;
    ASSERT_TRUE(other.LoadFrame(kFrameId, nullptr));
    EXPECT_FALSE(other.m_toolBar.LoadToolBar(kFrameId));  // the tables hold no toolbar
}

TEST_F(FrameWindowTest, ViewCommandsHideAndShowTheBarsAndCheckThemWhileShown) {
    Show();
    for (const CommandId id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        SCOPED_TRACE(id);
        const CControlBar& bar = id == ID_VIEW_TOOLBAR
                                     ? static_cast<const CControlBar&>(m_frame.m_toolBar)
                                     : m_frame.m_statusBar;
        EXPECT_EQ(CommandState(m_frame, id).m_nCheck, 1);
        ASSERT_TRUE(m_frame.OnCommand(id));
        EXPECT_FALSE(bar.IsShown());
        EXPECT_EQ(CommandState(m_frame, id).m_nCheck, 0);
        ASSERT_TRUE(m_frame.OnCommand(id));
        EXPECT_TRUE(bar.IsShown());
    }
}

TEST_F(FrameWindowTest, PlacementRecordRoundTripsTheRestoreToMaximisedFlag) {
    Show();
    WINDOWPLACEMENT wp;
    wp.rcNormalPosition = {10, 20, 310, 220};
    wp.showCmd = SW_SHOWMINIMIZED;
    wp.flags = WPF_RESTORETOMAXIMIZED;
    ASSERT_TRUE(m_frame.SetWindowPlacement(&wp));
    WINDOWPLACEMENT back;
    ASSERT_TRUE(m_frame.GetWindowPlacement(&back));
    EXPECT_EQ(back.length, 44u);
    EXPECT_EQ(back.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
    EXPECT_EQ(back.flags, WPF_RESTORETOMAXIMIZED);
    EXPECT_EQ(back.rcNormalPosition.left, 10);
    EXPECT_EQ(back.rcNormalPosition.bottom, 220);
}

TEST_F(FrameWindowTest, DialogFromItsLayout) {
    QString label;
    QString typed;
    QString spun;
    m_answer = [&](QDialog* dialog) {
        label = dialog->findChild<QLabel*>()->text();
        auto* edit = dialog->findChild<QLineEdit*>();
        QTest::keyClicks(edit, "4x2");
        typed = edit->text();
        edit->clear();
        QTest::keyClick(edit, Qt::Key_Up);
        QTest::keyClick(edit, Qt::Key_Up);
        QTest::keyClick(edit, Qt::Key_Down);
        spun = edit->text();
        return int(QDialog::Accepted);
    };
    CDialog dialog(kDialogId);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(label, "A  &label");
    EXPECT_EQ(typed, "42");  // digits only
    EXPECT_EQ(spun, "1");
    CDialog missing(9999);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(FrameWindowTest, PropertySheetShowsEachPageUnderItsCaption) {
    CPropertyPage first(kDialogId);
    CPropertyPage second(kDialogId, kPane);
    CPropertySheet sheet("Sheet");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    QStringList tabs;
    m_answer = [&](QDialog* dialog) {
        auto* widget = dialog->findChild<QTabWidget*>();
        for (int i = 0; i < widget->count(); ++i) {
            tabs << widget->tabText(i);
        }
        return int(QDialog::Rejected);
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(tabs, (QStringList{"Test Dialog", "ready?"}));
}

TEST_F(FrameWindowTest, FileDialogTakesThePlatformsFilterListAndStartsBesideAFile) {
    QTemporaryDir dir;
    QFile file(dir.path() + "/noext");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    static constexpr char kFilter[] = "Text (*.txt)\0*.txt;*.text\0All (*.*)\0*.*\0";
    QStringList filters;
    QStringList patterns;
    QString directory;
    m_answer = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        filters = files->nameFilters();
        patterns = files->findChild<QFileSystemModel*>()->nameFilters();
        directory = files->directory().absolutePath();
        files->selectFile(file.fileName());
        return int(QDialog::Accepted);
    };
    CFileDialog dialog(true);
    dialog.m_ofn.lpstrFilter = kFilter;
    dialog.m_ofn.nFilterIndex = 2;
    const std::string start = file.fileName().toStdString();
    dialog.m_ofn.lpstrInitialDir = start.c_str();
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(filters, (QStringList{"Text (*.txt)", "All (*.*)"}));
    EXPECT_EQ(patterns, QStringList{"*"});
    EXPECT_EQ(directory, dir.path());
    EXPECT_EQ(dialog.GetPathName(), start);
}

}  // namespace
