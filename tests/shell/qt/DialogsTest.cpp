// The program's dialogs: the about box, reached from its toolbar button, the inert options page,
// both in a dialog's fixed frame, and the platform's printer set-up.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include "resources/Resource.h"
#include "tests/shell/qt/QtAppFixture.h"

namespace {

// A dialog's frame: caption, system menu and close button, no minimise or maximise, fixed size.
bool HasDialogFrame(const QDialog* dialog) {
    const Qt::WindowFlags flags = dialog->windowFlags();
    const Qt::WindowFlags wanted =
        Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return (flags & wanted) == wanted &&
           (flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)) == 0 &&
           dialog->minimumSize() == dialog->maximumSize();
}

TEST_F(QtAppTest, AboutButtonShowsTheProgramsNameVersionIconAndOk) {
    Start();
    QStringList seen;  // the frame, the labels and buttons in order, and how the dialog ended
    m_onDialog = [&](QDialog* dialog) {
        seen << (HasDialogFrame(dialog) ? "dialog frame" : "other frame");
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            seen << (label->pixmap().isNull() ? label->text() : "icon");
        }
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            seen << button->text() + (button->isDefault() ? " (default)" : "");
            QTest::mouseClick(button, Qt::LeftButton);
        }
        seen << (dialog->result() == QDialog::Accepted ? "accepted" : "not accepted");
        return dialog->result();
    };
    auto* bar = Window()->findChild<QToolBar*>();
    QAction* about = nullptr;
    for (QAction* action : bar->actions()) {
        about = action->data().toUInt() == ID_APP_ABOUT ? action : about;
    }
    ASSERT_NE(about, nullptr);
    QTest::mouseClick(bar->widgetForAction(about), Qt::LeftButton);
    EXPECT_EQ(m_dialogTitles, std::vector<QString>{"About Tessiver"});
    EXPECT_EQ(seen, (QStringList{"dialog frame", "icon", "Tessiver  - Version 1.03",
                                 "OK (default)", "accepted"}));
}

// Nothing typed on the page survives: tabs stay four spaces and the registry is untouched.
TEST_F(QtAppTest, OptionsSheetHasTheInertTabWidthPage) {
    const std::string a = m_dir.Write("a.txt", "\tx\n");
    Start({a, a});
    ProcessEvents();
    const std::string before = CScratchDir::Read(StorePath());
    bool bFrame = false;
    m_onDialog = [&](QDialog* dialog) {
        bFrame = HasDialogFrame(dialog);
        auto* edit = dialog->findChild<QLineEdit*>();
        if (edit == nullptr || !edit->text().isEmpty()) {
            return int(QDialog::Rejected);
        }
        QTest::keyClicks(edit, "2");
        return int(QDialog::Accepted);
    };
    Doc()->OnOptions();
    EXPECT_EQ(m_dialogTitles, std::vector<QString>{"Options"});
    EXPECT_TRUE(bFrame);
    EXPECT_EQ(CScratchDir::Read(StorePath()), before);
    ASSERT_TRUE(Frame()->OnCommand(ID_COMPARE));
    EXPECT_EQ(std::string(Doc()->m_pResult->m_sourceText[0]), "    x");
}

TEST_F(QtAppTest, PrintSetupShowsThePlatformsPageSetupDialog) {
    Start();
    ASSERT_TRUE(Frame()->OnCommand(ID_FILE_PRINT_SETUP));
    ASSERT_EQ(m_dialogTitles.size(), 1u);
    EXPECT_FALSE(m_dialogTitles[0].isEmpty());
}

}  // namespace
