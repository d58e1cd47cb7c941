#include <gtest/gtest.h>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QValidator>

#include "AppFixture.h"
#include "framework/core/CmdUI.h"
#include "resources/Resource.h"

namespace {

TEST_F(AppTest, AboutBoxShowsTheProgramsNameVersionIconAndOk) {
    Start();
    QString caption;
    QStringList texts;
    bool bIcon = false;
    QString okText;
    bool bOkDefault = false;
    bool bClosedByOk = false;
    m_onDialog = [&](QDialog* dialog) {
        caption = dialog->windowTitle();
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (!label->pixmap().isNull()) {
                bIcon = true;
            } else {
                texts << label->text();
            }
        }
        if (auto* ok = dialog->findChild<QPushButton*>()) {
            okText = ok->text();
            bOkDefault = ok->isDefault();
            QTest::mouseClick(ok, Qt::LeftButton);
        }
        bClosedByOk = dialog->result() == QDialog::Accepted;
        return dialog->result();
    };
    ASSERT_TRUE(Frame()->OnCommand(ID_APP_ABOUT));
    EXPECT_EQ(caption, "About Tessiver");
    EXPECT_EQ(texts, QStringList{"Tessiver  - Version 1.03"});
    EXPECT_TRUE(bIcon);
    EXPECT_EQ(okText, "OK");
    EXPECT_TRUE(bOkDefault);
    EXPECT_TRUE(bClosedByOk);
}

TEST_F(AppTest, OptionsSheetHasTheInertTabWidthPageAndTheCommandStaysGreyed) {
    const std::string a = WriteFile("a.txt", "\tx\n");
    Start({a, a});
    ProcessEvents();
    CCmdUI options(ID_TOOLS_OPTIONS);
    Frame()->UpdateCommand(options);
    EXPECT_FALSE(options.m_bEnabled);
    EXPECT_FALSE(Frame()->OnCommand(ID_TOOLS_OPTIONS));
    EXPECT_TRUE(m_dialogTitles.empty());

    QFile store(QString::fromStdString(StorePath()));
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    const QByteArray before = store.readAll();
    store.close();

    QStringList tabs;
    QStringList labels;
    QString afterTyping;
    QString afterSpinning;
    m_onDialog = [&](QDialog* dialog) {
        auto* tabWidget = dialog->findChild<QTabWidget*>();
        for (int i = 0; tabWidget != nullptr && i < tabWidget->count(); ++i) {
            tabs << tabWidget->tabText(i);
        }
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            labels << label->text();
        }
        auto* edit = dialog->findChild<QLineEdit*>();
        if (edit == nullptr) {
            return int(QDialog::Rejected);
        }
        EXPECT_TRUE(edit->text().isEmpty());
        QTest::keyClicks(edit, "1a2");
        afterTyping = edit->text();
        edit->clear();
        QTest::keyClick(edit, Qt::Key_Up);
        QTest::keyClick(edit, Qt::Key_Up);
        afterSpinning = edit->text();
        return int(QDialog::Accepted);
    };
    Doc()->OnOptions();
    EXPECT_EQ(m_dialogTitles, std::vector<QString>{"Options"});
    EXPECT_EQ(tabs, QStringList{"Options"});
    EXPECT_EQ(labels, (QStringList{"Display tabs as", "Spaces"}));
    EXPECT_EQ(afterTyping, "12");
    EXPECT_EQ(afterSpinning, "2");
    // Nothing typed survives: tabs stay four spaces and the registry is untouched.
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    EXPECT_EQ(store.readAll(), before);
    Frame()->OnCommand(ID_COMPARE);
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(std::string(Doc()->m_pResult->m_sourceText[0]), "    x");
}

}  // namespace
