#include <gtest/gtest.h>
#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "AppFixture.h"
#include "framework/core/CmdUI.h"
#include "framework/dialog/MessageBox.h"
#include "framework/window/View.h"
#include "resources/Resource.h"

namespace {

class CommandSetTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start();
        ProcessEvents();
        Window()->activateWindow();
        QApplication::setActiveWindow(Window());
        ASSERT_EQ(QApplication::activeWindow(), Window());
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Window(), static_cast<Qt::Key>(key), modifiers);
        ProcessEvents();
    }

    QToolBar* ToolBar() const { return Window()->findChild<QToolBar*>(); }

    // Two files whose differences start at rows 1 and 4.
    void ChooseDifferingPair() {
        m_a = WriteFile("a.txt", "one\ntwo\nthree\nfour\nfive\nsix\n");
        m_b = WriteFile("b.txt", "one\nTWO\nthree\nfour\nFIVE\nsix\n");
        Doc()->SetPaths(m_a, m_b);
    }

    std::string m_a;
    std::string m_b;
};

struct ItemState {
    const char* text;  // null: a separator
    bool bEnabled;
    int nCheck;  // -1: not checkable
};

struct PopupState {
    const char* title;
    std::vector<ItemState> items;
};

TEST_F(CommandSetTest, MenuTextsAndStatesBeforeAnyFileIsChosen) {
    const std::vector<PopupState> expected = {
        {"&File",
         {{"Open &Source\tCtrl+O", true, -1},
          {"Open &Target\tCtrl+T", true, -1},
          {nullptr, false, -1},
          {"&Print...\tCtrl+P", false, -1},
          {"Print Pre&view", false, -1},
          {"P&rint Setup...", true, -1},
          {nullptr, false, -1},
          {"E&xit", true, -1}}},
        {"&Edit",
         {{"Next difference\tF7", false, -1}, {"Previous difference\tShift + F7", false, -1}}},
        {"&View", {{"&Toolbar", true, 1}, {"&Status Bar", true, 1}, {"S&plit", true, -1}}},
        {"Tools", {{"Options", false, -1}}},
        {"&Help", {{"&About Tessiver...", true, -1}}},
    };
    QList<QAction*> popups = Window()->menuBar()->actions();
    // "&Help" sits at the right end of the bar.
    auto* rightEnd = qobject_cast<QMenuBar*>(Window()->menuBar()->cornerWidget(Qt::TopRightCorner));
    ASSERT_NE(rightEnd, nullptr);
    popups += rightEnd->actions();
    ASSERT_EQ(popups.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t p = 0; p < expected.size(); ++p) {
        SCOPED_TRACE(expected[p].title);
        QMenu* menu = popups[static_cast<qsizetype>(p)]->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(popups[static_cast<qsizetype>(p)]->text(), expected[p].title);
        // Opening the menu runs the update handlers of its items.
        menu->popup(QPoint(0, 0));
        ProcessEvents();
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[p].items.size()));
        for (std::size_t i = 0; i < expected[p].items.size(); ++i) {
            const ItemState& want = expected[p].items[i];
            QAction* item = items[static_cast<qsizetype>(i)];
            if (want.text == nullptr) {
                EXPECT_TRUE(item->isSeparator());
                continue;
            }
            SCOPED_TRACE(want.text);
            EXPECT_EQ(item->text(), want.text);
            EXPECT_EQ(item->isEnabled(), want.bEnabled);
            EXPECT_EQ(item->isCheckable() ? int(item->isChecked()) : -1, want.nCheck);
            // Shortcut texts are shown only: keys are bound by the accelerators alone.
            EXPECT_TRUE(item->shortcut().isEmpty());
        }
        menu->hide();
    }
}

TEST_F(CommandSetTest, AltWithAMnemonicOpensItsPopupAlsoAtTheRightEnd) {
    for (const auto& [key, title] :
         {std::pair{Qt::Key_F, "&File"}, std::pair{Qt::Key_H, "&Help"}}) {
        SCOPED_TRACE(title);
        Key(key, Qt::AltModifier);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->title(), title);
        popup->close();
        ProcessEvents();
    }
}

TEST_F(CommandSetTest, DifferenceMenuItemsFollowTheResultWhenIdle) {
    ChooseDifferingPair();
    Key(Qt::Key_F5);
    Frame()->OnIdleUpdateCmdUI();
    QMenu* edit = Window()->menuBar()->actions()[1]->menu();
    EXPECT_TRUE(edit->actions()[0]->isEnabled());
    EXPECT_TRUE(edit->actions()[1]->isEnabled());
}

TEST_F(CommandSetTest, ToolbarButtonsSeparatorsTooltipsAndStates) {
    QToolBar* bar = ToolBar();
    ASSERT_NE(bar, nullptr);
    struct Button {
        UINT id;
        const char* tip;
        bool bEnabled;
    };
    const std::vector<Button> expected = {
        {ID_OPEN_SOURCE, "Open source", true},
        {ID_OPEN_TARGET, "Open target", true},
        {0, nullptr, false},
        {ID_FILE_PRINT, "Print", false},
        {ID_FILE_PRINT_PREVIEW, "Print Preview", false},
        {0, nullptr, false},
        {ID_NEXT_DIFFERENCE, "Next difference", false},
        {ID_PREVIOUS_DIFFERENCE, "Previous difference", false},
        {0, nullptr, false},
        {ID_TOOLS_OPTIONS, "Options", false},
        {0, nullptr, false},
        {ID_APP_ABOUT, "About", true},
        {ID_CONTEXT_HELP, "Help", false},
        {ID_CONTEXT_HELP, "Help", false},
    };
    Frame()->OnIdleUpdateCmdUI();
    const QList<QAction*> actions = bar->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        QAction* action = actions[static_cast<qsizetype>(i)];
        if (expected[i].id == 0) {
            EXPECT_TRUE(action->isSeparator());
            continue;
        }
        EXPECT_EQ(action->data().toUInt(), expected[i].id);
        EXPECT_EQ(action->toolTip(), expected[i].tip);
        EXPECT_EQ(action->isEnabled(), expected[i].bEnabled);
        EXPECT_FALSE(action->icon().isNull());
        EXPECT_TRUE(action->statusTip().isEmpty());
    }
    EXPECT_EQ(bar->iconSize(), QSize(16, 15));
    EXPECT_EQ(Window()->toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_EQ(bar->allowedAreas(), Qt::AllToolBarAreas);
    EXPECT_TRUE(bar->isMovable());
    EXPECT_TRUE(bar->isFloatable());
}

TEST_F(CommandSetTest, ClickingTheAboutButtonShowsTheAboutBox) {
    QToolBar* bar = ToolBar();
    QAction* about = nullptr;
    for (QAction* action : bar->actions()) {
        if (action->data().toUInt() == ID_APP_ABOUT) {
            about = action;
        }
    }
    ASSERT_NE(about, nullptr);
    QWidget* button = bar->widgetForAction(about);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    ProcessEvents();
    ASSERT_EQ(m_dialogTitles.size(), 1u);
    EXPECT_EQ(m_dialogTitles[0], "About Tessiver");
}

TEST_F(CommandSetTest, PromptsNeverReachTheStatusBar) {
    ChooseDifferingPair();
    Frame()->OnIdleUpdateCmdUI();
    QStatusTipEvent tip("Find next difference");
    QCoreApplication::sendEvent(ToolBar(), &tip);
    EXPECT_TRUE(Window()->statusBar()->currentMessage().isEmpty());
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), m_a);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(1), m_b);
}

TEST_F(CommandSetTest, F5ComparesOnlyOnceBothFilesAreChosenAndRereadsThem) {
    Key(Qt::Key_F5);
    EXPECT_EQ(Doc()->m_pResult, nullptr);
    ChooseDifferingPair();
    Key(Qt::Key_F5);
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->GetRowCount(), 6);
    WriteFile("b.txt", "one\n");
    Key(Qt::Key_F5);
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 5);
}

TEST_F(CommandSetTest, F7AndShiftF7MoveBetweenDifferences) {
    ChooseDifferingPair();
    Key(Qt::Key_F5);
    Key(Qt::Key_F7);
    EXPECT_EQ(Doc()->m_nTopRow, 1);
    Key(Qt::Key_F7);
    EXPECT_EQ(Doc()->m_nTopRow, 4);
    Key(Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_EQ(Doc()->m_nTopRow, 1);
}

TEST_F(CommandSetTest, CtrlTDoesNothingAndCtrlOShowsTheFrameworksOpenDialog) {
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(m_dialogTitles.empty());

    const std::string opened = WriteFile("opened.txt", "x\n");
    QStringList filters;
    m_onDialog = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (files == nullptr) {
            return int(QDialog::Rejected);
        }
        filters = files->nameFilters();
        files->selectFile(QString::fromStdString(opened));
        return int(QDialog::Accepted);
    };
    ChooseDifferingPair();
    Key(Qt::Key_F5);
    const CCompareResult* before = Doc()->m_pResult.get();
    Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(m_dialogTitles.size(), 1u);
    EXPECT_EQ(m_dialogTitles[0], "Open");
    EXPECT_EQ(filters, QStringList{"All Files (*.*)"});
    // The document reads nothing from it: comparison, paths and caption stay.
    EXPECT_EQ(Doc()->m_pResult.get(), before);
    EXPECT_EQ(Doc()->m_sourcePath, m_a);
    EXPECT_EQ(Doc()->m_targetPath, m_b);
    EXPECT_EQ(Frame()->GetWindowText(), "Tessiver 1.03");
    ASSERT_FALSE(m_app->GetRecentFileList().empty());
    EXPECT_EQ(m_app->GetRecentFileList().front(), opened);
}

TEST_F(CommandSetTest, OpenReportsAFileThatCannotBeOpened) {
    const std::string missing = (m_dir.path() + "/gone.txt").toStdString();
    m_onDialog = [&](QDialog* dialog) {
        qobject_cast<QFileDialog*>(dialog)->selectFile(QString::fromStdString(missing));
        return int(QDialog::Accepted);
    };
    std::vector<std::string> messages;
    MessageBoxHook previous = SetMessageBoxHook([&](const std::string& text, UINT) {
        messages.push_back(text);
        return IDOK;
    });
    Key(Qt::Key_O, Qt::ControlModifier);
    SetMessageBoxHook(std::move(previous));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(missing), std::string::npos);
    EXPECT_TRUE(m_app->GetRecentFileList().empty());
}

TEST_F(CommandSetTest, EditPrintAndSaveKeysDoNothing) {
    ChooseDifferingPair();
    Key(Qt::Key_F5);
    Key(Qt::Key_F7);
    const CCompareResult* before = Doc()->m_pResult.get();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        {Qt::Key_C, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ControlModifier},
        {Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ShiftModifier},
        {Qt::Key_X, Qt::ControlModifier}, {Qt::Key_Delete, Qt::ShiftModifier},
        {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_Backspace, Qt::AltModifier},
        {Qt::Key_S, Qt::ControlModifier}, {Qt::Key_P, Qt::ControlModifier},
    };
    for (const auto& k : keys) {
        Key(k.key, k.modifiers);
    }
    EXPECT_TRUE(m_dialogTitles.empty());
    EXPECT_EQ(Doc()->m_pResult.get(), before);
    EXPECT_EQ(Doc()->m_nTopRow, 1);
    EXPECT_EQ(Doc()->m_sourcePath, m_a);
    // The keys are bound, to commands nobody carries out.
    for (const CommandId id : {ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_CUT, ID_EDIT_UNDO}) {
        EXPECT_EQ(Window()->findChildren<QShortcut*>(QString("accel%1").arg(id)).size(), 2);
        CCmdUI ui(id);
        Frame()->UpdateCommand(ui);
        EXPECT_FALSE(ui.m_bEnabled);
    }
}

TEST_F(CommandSetTest, CtrlNRenewsTheDocumentButKeepsTheComparison) {
    ChooseDifferingPair();
    Key(Qt::Key_F5);
    Key(Qt::Key_F7);
    const CCompareResult* before = Doc()->m_pResult.get();
    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Doc()->GetTitle(), "Untitled");
    EXPECT_EQ(Doc()->m_pResult.get(), before);
    EXPECT_EQ(Doc()->m_nTopRow, 1);
    EXPECT_EQ(Doc()->m_sourcePath, m_a);
    EXPECT_EQ(Frame()->GetWindowText(), "Tessiver 1.03");
}

TEST_F(CommandSetTest, F6AndShiftF6MoveToTheOtherPane) {
    const CWnd* source = Frame()->m_wndSplitter.GetPane(0, 0);
    const CWnd* target = Frame()->m_wndSplitter.GetPane(0, 1);
    ASSERT_EQ(static_cast<const CWnd*>(Frame()->GetActiveView()), target);
    Key(Qt::Key_F6);
    EXPECT_EQ(static_cast<const CWnd*>(Frame()->GetActiveView()), source);
    Key(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(static_cast<const CWnd*>(Frame()->GetActiveView()), target);
}

TEST_F(CommandSetTest, ViewMenuHidesAndShowsTheBarsAndChecksThemWhileShown) {
    for (const CommandId id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        SCOPED_TRACE(id);
        QWidget* bar = id == ID_VIEW_TOOLBAR ? static_cast<QWidget*>(ToolBar())
                                             : static_cast<QWidget*>(Window()->statusBar());
        ASSERT_TRUE(Frame()->OnCommand(id));
        EXPECT_TRUE(bar->isHidden());
        CCmdUI ui(id);
        Frame()->UpdateCommand(ui);
        EXPECT_EQ(ui.m_nCheck.value_or(-1), 0);
        ASSERT_TRUE(Frame()->OnCommand(id));
        EXPECT_FALSE(bar->isHidden());
        Frame()->UpdateCommand(ui);
        EXPECT_EQ(ui.m_nCheck.value_or(-1), 1);
    }
}

TEST_F(CommandSetTest, PrintSetupShowsThePlatformsPageSetupDialog) {
    ASSERT_TRUE(Frame()->OnCommand(ID_FILE_PRINT_SETUP));
    ASSERT_EQ(m_dialogTitles.size(), 1u);
    EXPECT_FALSE(m_dialogTitles[0].isEmpty());
}

}  // namespace
