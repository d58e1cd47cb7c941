// The frame's resources, bars, dialogs and placement, on tables of the test's own.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValidator>
#include <optional>

#include "framework/core/CmdUI.h"
#include "framework/core/Resources.h"
#include "framework/core/WinApp.h"
#include "framework/dialog/Dialog.h"
#include "framework/dialog/FileDialog.h"
#include "framework/dialog/PropertyPage.h"
#include "framework/dialog/PropertySheet.h"
#include "framework/qt/ModalDialog.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/StatusBar.h"
#include "framework/window/ToolBar.h"
#include "framework/window/WindowPlacement.h"

namespace {

constexpr UINT kFrameId = 200;
constexpr UINT kBound = 40001;   // raised by Ctrl+K through the accelerators
constexpr UINT kShown = 40002;   // its menu text shows Ctrl+J, which nothing binds
constexpr UINT kDialog = 40003;  // runs a dialog
constexpr UINT kPane = 300;      // a status pane with a string
constexpr UINT kNoString = 301;  // a status pane without one
constexpr UINT kDialogId = 500;

constexpr StringDef kStrings[] = {
    {kFrameId, "Frame Title\n\nDoc"},
    {kPane, "ready?"},
    {kBound, "Bound command\nBound tip"},
};
constexpr MenuItemDef kItems[] = {
    {"&Bound\tCtrl+K", kBound}, {nullptr, 0}, {"&Shown\tCtrl+J", kShown}};
constexpr MenuPopupDef kPopups[] = {{"&Test", kItems}};
constexpr MenuDef kMenus[] = {{kFrameId, kPopups}};
constexpr AccelDef kAccels[] = {{FVIRTKEY | FCONTROL, 'K', kBound}};
constexpr AcceleratorTableDef kAccelTables[] = {{kFrameId, kAccels}};
constexpr DialogItemDef kDialogItems[] = {
    {"EDIT", "", 10, 10, 10, 30, 12, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER},
    {"msctls_updown32", "", 11, 0, 0, 10, 12,
     WS_CHILD | WS_VISIBLE | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS},
    {"STATIC", "A  &label", 0xFFFF, 10, 30, 60, 8, WS_CHILD | WS_VISIBLE},
    {"BUTTON", "OK", 1, 100, 10, 40, 14, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON},
};
constexpr DialogDef kDialogs[] = {
    {kDialogId, "Test Dialog", 160, 60, "MS Sans Serif", 8, WS_POPUP | WS_CAPTION, kDialogItems}};
const ResourceTables kTables{kStrings, kMenus, kAccelTables, {}, kDialogs, {}};

class TestFrame : public CFrameWnd {
public:
    int m_nBound = 0;
    int m_nShown = 0;
    std::optional<Qt::CursorShape> m_cursorInCommand;
    std::optional<bool> m_bCursorInDialog;
    bool m_bFailBars = false;

    void OnBound() {
        ++m_nBound;
        if (const QCursor* cursor = QGuiApplication::overrideCursor()) {
            m_cursorInCommand = cursor->shape();
        }
    }
    void OnShown() { ++m_nShown; }
    void OnDialog() {
        QDialog dialog;
        AfxRunModalDialog(dialog);
    }

    int OnCreate(CREATESTRUCT* cs) override {
        if (CFrameWnd::OnCreate(cs) == -1) {
            return -1;
        }
        const UINT panes[] = {kPane, m_bFailBars ? kNoString : kPane};
        if (!m_statusBar.Create(this, 0x50008200, 59393) || !m_statusBar.SetIndicators(panes, 2)) {
            return -1;
        }
        return 0;
    }

    static const CommandMap* ThisMessageMap() {
        static constexpr CommandMapEntry entries[] = {
            CommandEntry<&TestFrame::OnBound>(kBound),
            CommandEntry<&TestFrame::OnShown>(kShown),
            CommandEntry<&TestFrame::OnDialog>(kDialog),
        };
        static const CommandMap map{CFrameWnd::ThisMessageMap(), entries};
        return &map;
    }

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
    void TearDown() override { SetModalDialogHook(std::move(m_previous)); }

    CWinApp m_app;
    std::function<int(QDialog*)> m_answer;
    std::optional<bool> m_bCursorLifted;
    ModalDialogHook m_previous;
};

TEST_F(FrameWindowTest, AcceleratorsAloneBindKeysAndTheCaptionIsTheTitle) {
    TestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(kFrameId, nullptr));
    m_app.m_pMainWnd = &frame;
    frame.ShowWindow(SW_SHOW);
    auto* window = qobject_cast<QMainWindow*>(frame.GetSafeHwnd());
    window->activateWindow();
    QApplication::setActiveWindow(window);
    EXPECT_EQ(frame.GetWindowText(), "Frame Title");
    QTest::keyClick(window, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(frame.m_nBound, 1);
    EXPECT_EQ(frame.m_nShown, 0);
    QMenu* menu = window->menuBar()->actions().value(0)->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().value(2)->text(), "&Shown\tCtrl+J");
    menu->actions().value(2)->trigger();
    EXPECT_EQ(frame.m_nShown, 1);
    m_app.m_pMainWnd = nullptr;
}

TEST_F(FrameWindowTest, CommandsShowTheWaitCursorExceptWhileTheirDialogsRun) {
    TestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(kFrameId, nullptr));
    ASSERT_TRUE(frame.OnCommand(kBound));
    EXPECT_EQ(frame.m_cursorInCommand, Qt::WaitCursor);
    ASSERT_TRUE(frame.OnCommand(kDialog));
    EXPECT_EQ(m_bCursorLifted, true);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(FrameWindowTest, AMissingIndicatorStringFailsTheFrame) {
    TestFrame frame;
    frame.m_bFailBars = true;
    EXPECT_FALSE(frame.LoadFrame(kFrameId, nullptr));
    CToolBar bar;
    TestFrame other;
    ASSERT_TRUE(other.LoadFrame(kFrameId, nullptr));
    ASSERT_TRUE(bar.Create(&other, 0x50002800, 59392));
    EXPECT_FALSE(bar.LoadToolBar(kFrameId));  // the tables hold no toolbar
}

TEST_F(FrameWindowTest, StatusPanesTakeTheirTextsFromTheUpdateHandlers) {
    TestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(kFrameId, nullptr));
    EXPECT_EQ(frame.m_statusBar.GetPaneText(0), "ready?");
    frame.BindCommandUI(kPane, [](const CCmdUI&) {});
    frame.OnIdleUpdateCmdUI();  // nobody sets a text: it stays
    EXPECT_EQ(frame.m_statusBar.GetPaneText(1), "ready?");
    frame.m_statusBar.SetPaneInfo(1, kPane, SBPS_NORMAL, 123);
    UINT id = 0;
    UINT style = 9;
    int cx = 0;
    frame.m_statusBar.GetPaneInfo(1, id, style, cx);
    EXPECT_EQ(cx, 123);
    EXPECT_EQ(style, SBPS_NORMAL);
}

TEST_F(FrameWindowTest, PlacementRecordRoundTripsTheRestoreToMaximisedFlag) {
    TestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(kFrameId, nullptr));
    frame.ShowWindow(SW_SHOW);
    WINDOWPLACEMENT wp;
    wp.rcNormalPosition = {10, 20, 310, 220};
    wp.showCmd = SW_SHOWMINIMIZED;
    wp.flags = WPF_RESTORETOMAXIMIZED;
    ASSERT_TRUE(frame.SetWindowPlacement(&wp));
    WINDOWPLACEMENT back;
    ASSERT_TRUE(frame.GetWindowPlacement(&back));
    EXPECT_EQ(back.length, 44u);
    EXPECT_EQ(back.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
    EXPECT_EQ(back.flags, WPF_RESTORETOMAXIMIZED);
    EXPECT_EQ(back.rcNormalPosition.left, 10);
    EXPECT_EQ(back.rcNormalPosition.bottom, 220);
}

TEST_F(FrameWindowTest, DialogFromItsLayout) {
    QString label;
    bool bDigitsOnly = false;
    QString spun;
    m_answer = [&](QDialog* dialog) {
        label = dialog->findChild<QLabel*>()->text();
        auto* edit = dialog->findChild<QLineEdit*>();
        QTest::keyClicks(edit, "4x2");
        bDigitsOnly = edit->text() == "42";
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
    EXPECT_TRUE(bDigitsOnly);
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
    EXPECT_EQ(m_bCursorLifted, true);
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
    QString title;
    m_answer = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        filters = files->nameFilters();
        patterns = files->findChild<QFileSystemModel*>()->nameFilters();
        directory = files->directory().absolutePath();
        title = files->windowTitle();
        files->selectFile(file.fileName());
        return int(QDialog::Accepted);
    };
    CFileDialog dialog(true);
    dialog.m_ofn.lpstrFilter = kFilter;
    dialog.m_ofn.nFilterIndex = 2;
    const std::string start = file.fileName().toStdString();
    dialog.m_ofn.lpstrInitialDir = start.c_str();
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(title, "Open");
    EXPECT_EQ(filters, (QStringList{"Text (*.txt)", "All (*.*)"}));
    EXPECT_EQ(patterns, QStringList{"*"});
    EXPECT_EQ(directory, dir.path());
    EXPECT_EQ(dialog.GetPathName(), start);

    m_answer = {};
    CFileDialog cancelled(true);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.GetPathName(), "");
}

TEST(ResourceStringTest, SubStringsOfATemplateString) {
    const std::string text = "Tessiver 1.03\n\nTessiv\n\n\nTessiver.Document\nTessiv Document";
    const struct {
        int n;
        const char* want;
    } cases[] = {{0, "Tessiver 1.03"},   {1, ""}, {2, "Tessiv"}, {5, "Tessiver.Document"},
                 {6, "Tessiv Document"}, {7, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(AfxExtractSubString(text, c.n), c.want);
    }
}

}  // namespace
