// The program's commands as the user reaches them: the menu and the toolbar built from the
// program's tables and kept up to date by its update handlers, and the keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/Resources.h"
#include "framework/window/MessageBox.h"
#include "framework/window/View.h"
#include "resources/Resource.h"
#include "tests/common/CommandState.h"
#include "tests/shell/qt/QtAppFixture.h"

namespace {

class CommandSetTest : public QtAppTest {
protected:
    void SetUp() override {
        QtAppTest::SetUp();
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
    // Two files whose differences start at rows 1 and 4, compared.
    void CompareDifferingPair() {
        m_a = m_dir.Write("a.txt", "one\ntwo\nthree\nfour\nfive\nsix\n");
        m_b = m_dir.Write("b.txt", "one\nTWO\nthree\nfour\nFIVE\nsix\n");
        Doc()->SetPaths(m_a, m_b);
        Key(Qt::Key_F5);
        ASSERT_NE(Doc()->m_pResult, nullptr);
    }

    std::string m_a;
    std::string m_b;
};

// Each item shows its table text (the shortcut text is shown only: the accelerators alone bind
// keys) and, once its popup opens, the state the update handlers give it.
TEST_F(CommandSetTest, MenuShowsTheTableInTheStatesOfTheUpdateHandlers) {
    const MenuDef* def = AfxFindMenu(IDR_MAINFRAME);
    ASSERT_NE(def, nullptr);
    QList<QAction*> popups = Window()->menuBar()->actions();
    if (auto* rightEnd =
            qobject_cast<QMenuBar*>(Window()->menuBar()->cornerWidget(Qt::TopRightCorner))) {
        popups += rightEnd->actions();
    }
    ASSERT_EQ(static_cast<std::size_t>(popups.size()), def->popups.size());
    for (std::size_t p = 0; p < def->popups.size(); ++p) {
        const MenuPopupDef& popupDef = def->popups[p];
        SCOPED_TRACE(popupDef.title);
        QAction* popupAction = popups[static_cast<qsizetype>(p)];
        EXPECT_EQ(popupAction->text(), popupDef.title);
        QMenu* menu = popupAction->menu();
        menu->popup(QPoint(0, 0));
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(static_cast<std::size_t>(items.size()), popupDef.items.size());
        for (std::size_t i = 0; i < popupDef.items.size(); ++i) {
            const MenuItemDef& itemDef = popupDef.items[i];
            QAction* item = items[static_cast<qsizetype>(i)];
            if (itemDef.text == nullptr) {
                EXPECT_TRUE(item->isSeparator());
                continue;
            }
            SCOPED_TRACE(itemDef.text);
            const CCmdUI state = CommandState(*Frame(), itemDef.id);
            EXPECT_EQ(item->text(), itemDef.text);
            EXPECT_EQ(item->isEnabled(), state.m_bEnabled);
            EXPECT_EQ(item->isCheckable() ? int(item->isChecked()) : -1,
                      state.m_nCheck.value_or(-1));
            EXPECT_TRUE(item->shortcut().isEmpty());
        }
        menu->hide();
    }
}

TEST_F(CommandSetTest, ToolbarShowsTheTableWithTipsIconsAndTheStatesOfTheUpdateHandlers) {
    CompareDifferingPair();
    const ToolBarDef* def = AfxFindToolBar(IDR_MAINFRAME);
    auto* bar = Window()->findChild<QToolBar*>();
    ASSERT_NE(def, nullptr);
    ASSERT_NE(bar, nullptr);
    m_app->OnIdle(0);
    const QList<QAction*> actions = bar->actions();
    ASSERT_EQ(static_cast<std::size_t>(actions.size()), def->buttons.size());
    // Each button's image, as drawn for a pixel of one and of two device pixels (and held as
    // the screen holds it).
    const auto image = [](ImageBytes png, int n, QSize size) {
        return QPixmap::fromImage(QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG")
                                      .copy(n * size.width(), 0, size.width(), size.height()))
            .toImage()
            .convertToFormat(QImage::Format_ARGB32);
    };
    const QSize size(def->nButtonWidth, def->nButtonHeight);
    int nImage = 0;
    for (std::size_t i = 0; i < def->buttons.size(); ++i) {
        const UINT id = def->buttons[i];
        QAction* action = actions[static_cast<qsizetype>(i)];
        SCOPED_TRACE(id);
        if (id == 0) {
            EXPECT_TRUE(action->isSeparator());
            continue;
        }
        std::string prompt;
        ASSERT_TRUE(AfxLoadString(id, prompt));
        EXPECT_EQ(action->data().toUInt(), id);
        EXPECT_EQ(action->toolTip().toStdString(), AfxExtractSubString(prompt, 1));
        EXPECT_EQ(action->isEnabled(), CommandState(*Frame(), id).m_bEnabled);
        for (const int scale : {1, 2}) {
            EXPECT_EQ(
                action->icon().pixmap(size, scale).toImage().convertToFormat(QImage::Format_ARGB32),
                image(scale == 1 ? def->imageStrip : def->imageStrip2x, nImage, size * scale))
                << "at scale " << scale;
        }
        ++nImage;
        EXPECT_TRUE(action->statusTip().isEmpty());
    }
    EXPECT_EQ(bar->iconSize(), QSize(def->nButtonWidth, def->nButtonHeight));
    EXPECT_EQ(Window()->toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_EQ(bar->allowedAreas(), Qt::AllToolBarAreas);
    EXPECT_TRUE(bar->isMovable());
    EXPECT_TRUE(bar->isFloatable());
}

TEST_F(CommandSetTest, KeysCarryOutTheirCommands) {
    CompareDifferingPair();
    const CCompareResult* compared = Doc()->m_pResult.get();
    const CWnd* source = Frame()->m_wndSplitter.GetPane(0, 0);
    const CWnd* target = Frame()->m_wndSplitter.GetPane(0, 1);
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int top;
        const CWnd* active;
    } steps[] = {
        {"F7", Qt::Key_F7, {}, 1, target},
        {"F7 again", Qt::Key_F7, {}, 4, target},
        {"Shift+F7", Qt::Key_F7, Qt::ShiftModifier, 1, target},
        {"F6", Qt::Key_F6, {}, 1, source},
        {"Shift+F6", Qt::Key_F6, Qt::ShiftModifier, 1, target},
        // A new document that keeps the comparison.
        {"Ctrl+N", Qt::Key_N, Qt::ControlModifier, 1, target},
        // Bound to a command nobody carries out, to one its update handler disables, to none.
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, 1, target},
        {"Ctrl+P", Qt::Key_P, Qt::ControlModifier, 1, target},
        {"Ctrl+T", Qt::Key_T, Qt::ControlModifier, 1, target},
        // F3 with nothing looked for yet opens Find: "O" in either case, from row 1; again down,
        // wrapping; again up; line 3 of the target; Ctrl+F for "zzz", found nowhere.
        {"F3 before any Find", Qt::Key_F3, {}, 3, target},
        {"F3", Qt::Key_F3, {}, 0, target},
        {"Shift+F3", Qt::Key_F3, Qt::ShiftModifier, 3, target},
        {"Ctrl+G", Qt::Key_G, Qt::ControlModifier, 2, target},
        {"Ctrl+F", Qt::Key_F, Qt::ControlModifier, 2, target},
    };
    std::vector<QString> finds{"zzz", "O"};
    m_onDialog = [&finds](QDialog* dialog) {
        const bool bFind = dialog->windowTitle() == "Find";
        dialog->findChild<QLineEdit*>(bFind ? "ctrl1200" : "ctrl1210")
            ->setText(bFind ? finds.back() : "3");
        if (bFind) {
            finds.pop_back();
        } else {
            dialog->findChild<QRadioButton*>("ctrl1212")->click();
        }
        return int(QDialog::Accepted);
    };
    std::vector<std::string> messages;
    const MessageBoxHook previous = SetMessageBoxHook([&](const std::string& text, UINT) {
        messages.push_back(text);
        return IDOK;
    });
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        Key(s.key, s.modifiers);
        EXPECT_EQ(Doc()->m_scroll.GetTopRow(), s.top);
        EXPECT_EQ(static_cast<const CWnd*>(Frame()->GetActiveView()), s.active);
        EXPECT_EQ(Doc()->m_pResult.get(), compared);
    }
    SetMessageBoxHook(previous);
    EXPECT_EQ(m_dialogTitles, (std::vector<QString>{"Find", "Go To Line", "Find"}));
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot find \"zzz\"."});
    EXPECT_EQ(Doc()->GetTitle(), "Untitled");
    EXPECT_EQ(Doc()->m_sourcePath, m_a);
}

// Each moving key carries out its command: from rows and shifts where every one of them moves
// something, the key leaves the panes where the command does.
TEST_F(CommandSetTest, MovingKeysCarryOutTheirCommands) {
    std::string text;
    for (int i = 1; i <= 100; ++i) {
        text += std::to_string(i) + std::string(300, 'x') + "\n";
    }
    Doc()->SetPaths(m_dir.Write("a.txt", text), m_dir.Write("b.txt", text));
    Key(Qt::Key_F5);
    ASSERT_NE(Doc()->m_pResult, nullptr);
    const auto startAndRun = [this](const std::function<void()>& move) {
        for (const CommandId id : {ID_FIRST_ROW, ID_LEFT_EDGE, ID_ROW_DOWN, ID_ROW_DOWN,
                                   ID_ROW_DOWN, ID_STEP_RIGHT, ID_STEP_RIGHT}) {
            ASSERT_TRUE(Frame()->OnCommand(id));
        }
        ASSERT_EQ(Doc()->m_scroll.GetTopRow(), 3);
        ASSERT_EQ(Doc()->m_scroll.GetLeftOffset(), -10);
        move();
    };
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        CommandId id;
    } keys[] = {
        {"Up", Qt::Key_Up, {}, ID_ROW_UP},
        {"Down", Qt::Key_Down, {}, ID_ROW_DOWN},
        {"Page Up", Qt::Key_PageUp, {}, ID_PAGE_UP},
        {"Page Down", Qt::Key_PageDown, {}, ID_PAGE_DOWN},
        {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, ID_FIRST_ROW},
        {"Ctrl+End", Qt::Key_End, Qt::ControlModifier, ID_LAST_ROW},
        {"Left", Qt::Key_Left, {}, ID_STEP_LEFT},
        {"Right", Qt::Key_Right, {}, ID_STEP_RIGHT},
        {"Home", Qt::Key_Home, {}, ID_LEFT_EDGE},
        {"End", Qt::Key_End, {}, ID_LINE_END},
    };
    const auto where = [this] {
        return std::pair{Doc()->m_scroll.GetTopRow(), Doc()->m_scroll.GetLeftOffset()};
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.name);
        startAndRun([&] { ASSERT_TRUE(Frame()->OnCommand(k.id)); });
        const std::pair<int, int> commanded = where();
        EXPECT_NE(commanded, (std::pair{3, -10}));
        startAndRun([&] { Key(k.key, k.modifiers); });
        EXPECT_EQ(where(), commanded);
    }
    // While the splitter's bar moves by the keyboard, the arrows move the bar, not the panes.
    CSplitterWnd& splitter = Frame()->m_wndSplitter;
    int before = 0;
    int least = 0;
    splitter.GetColumnInfo(0, before, least);
    const std::pair<int, int> panes = where();
    ASSERT_TRUE(Frame()->OnCommand(ID_WINDOW_SPLIT));
    ASSERT_TRUE(splitter.IsTracking());
    QWidget* focus = QApplication::focusWidget();
    ASSERT_EQ(focus, splitter.GetSafeHwnd());
    QTest::keyClick(focus, Qt::Key_Right);
    QTest::keyClick(focus, Qt::Key_Return);
    int after = 0;
    splitter.GetColumnInfo(0, after, least);
    EXPECT_GT(after, before);
    EXPECT_EQ(where(), panes);
}

// The View menu ends with "Realign Long Blocks", then after a separator the comparison options,
// then after another "Changes Within Lines", "Location Map" and "Watch Files": each a check item
// with its check mark on once chosen, remembered for the next run of the program. The comparison
// options compare again, the last three do not. The two white-space items are a pair: choosing one
// clears the other.
TEST_F(CommandSetTest, ViewMenuCheckItemsCompareAgainAndAreRememberedForTheNextRun) {
    const struct {
        const char* text;
        bool checkedAtTheEnd;
        bool compares;
    } expected[] = {
        {"&Realign Long Blocks", true, true},
        {nullptr, false, false},
        {"Ignore White Space &Changes", false, true},
        {"Ignore &All White Space", true, true},
        {"Ignore C&ase", true, true},
        {"Ignore &Blank Lines", true, true},
        {"Decode &Unicode Files", true, true},
        {nullptr, false, false},
        {"Changes &Within Lines", true, false},
        {"&Location Map", true, false},
        {"&Watch Files", true, false},
    };
    const auto items = [this, &expected] {
        QMenu* view = nullptr;
        for (QAction* popup : Window()->menuBar()->actions()) {
            view = popup->text() == "&View" ? popup->menu() : view;
        }
        view->popup(QPoint(0, 0));
        const QList<QAction*> actions = view->actions();
        view->hide();
        qsizetype first = 0;
        while (first < actions.size() && actions[first]->text() != "&Realign Long Blocks") {
            ++first;
        }
        return actions.mid(first);
    };
    CompareDifferingPair();
    ASSERT_EQ(static_cast<std::size_t>(items().size()), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const QList<QAction*> now = items();
        QAction* item = now[static_cast<qsizetype>(i)];
        if (expected[i].text == nullptr) {
            EXPECT_TRUE(item->isSeparator());
            continue;
        }
        SCOPED_TRACE(expected[i].text);
        ASSERT_EQ(item->text(), expected[i].text);
        EXPECT_TRUE(item->isCheckable());
        EXPECT_FALSE(item->isChecked());
        if (expected[i].compares) {
            Doc()->m_pResult.reset();
        }
        const CCompareResult* before = Doc()->m_pResult.get();
        item->trigger();
        EXPECT_NE(Doc()->m_pResult, nullptr);
        EXPECT_EQ(Doc()->m_pResult.get() != before, expected[i].compares);
        EXPECT_TRUE(items()[static_cast<qsizetype>(i)]->isChecked());
    }
    EXPECT_FALSE(items()[2]->isChecked());  // "Ignore All White Space" cleared it
    Stop();
    Start();
    const QList<QAction*> restarted = items();
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(restarted[static_cast<qsizetype>(i)]->isChecked(), expected[i].checkedAtTheEnd);
    }
}

// Ctrl+O is the framework's Open, with its own dialog: the document reads nothing from the
// file, which joins the recent files; one that cannot be opened is reported and does not.
TEST_F(CommandSetTest, CtrlOOpensThroughTheFrameworkAndLeavesTheComparison) {
    CompareDifferingPair();
    const CCompareResult* compared = Doc()->m_pResult.get();
    std::string answer = m_dir.Path("gone.txt");
    QStringList filters;
    m_onDialog = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        filters = files->nameFilters();
        files->selectFile(QString::fromStdString(answer));
        return int(QDialog::Accepted);
    };
    std::vector<std::string> messages;
    MessageBoxHook previous = SetMessageBoxHook([&](const std::string& text, UINT) {
        messages.push_back(text);
        return IDOK;
    });
    Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(answer), std::string::npos);
    EXPECT_TRUE(m_app->GetRecentFileList().empty());

    answer = m_dir.Write("opened.txt", "x\n");
    Key(Qt::Key_O, Qt::ControlModifier);
    SetMessageBoxHook(std::move(previous));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(m_dialogTitles, (std::vector<QString>{"Open", "Open"}));
    EXPECT_EQ(filters, QStringList{"All Files (*.*)"});
    EXPECT_EQ(Doc()->m_pResult.get(), compared);
    EXPECT_EQ(Doc()->m_sourcePath, m_a);
    EXPECT_EQ(Doc()->m_targetPath, m_b);
    ASSERT_FALSE(m_app->GetRecentFileList().empty());
    EXPECT_EQ(m_app->GetRecentFileList().front(), answer);
}

}  // namespace
