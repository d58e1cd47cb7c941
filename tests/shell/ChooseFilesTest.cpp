#include <gtest/gtest.h>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>

#include "AppFixture.h"
#include "document/RegistryKey.h"
#include "framework/core/CmdUI.h"
#include "resources/Resource.h"

namespace {

// What one file dialog looked like when it was shown.
struct SeenDialog {
    QString title;
    QStringList filters;
    QString directory;
    QStringList modelFilters;
};

class ChooseFilesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start();
        ProcessEvents();
        m_onDialog = [this](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            if (files == nullptr) {
                return int(QDialog::Rejected);
            }
            const auto* model = files->findChild<QFileSystemModel*>();
            m_seen.push_back({files->windowTitle(), files->nameFilters(),
                              QDir(files->directory()).absolutePath(),
                              model != nullptr ? model->nameFilters() : QStringList()});
            if (m_answer.empty()) {
                return int(QDialog::Rejected);
            }
            files->selectFile(QString::fromStdString(m_answer));
            return int(QDialog::Accepted);
        };
    }

    std::string SourcePathValue() const {
        CRegistryKey key("software\\Corvessa\\Tessiver\\Options", HKEY_CURRENT_USER);
        std::string text;
        key.ReadText("Source Path", text);
        return text;
    }

    void Choose(CommandId id, std::string answer) {
        m_answer = std::move(answer);
        ASSERT_TRUE(Frame()->OnCommand(id));
    }

    std::string m_answer;  // empty: cancel
    std::vector<SeenDialog> m_seen;
};

TEST_F(ChooseFilesTest, SourceThenTargetComparesOnlyOnceBothAreKnown) {
    const std::string a = WriteFile("a.txt", "x\ny\n");
    const std::string b = WriteFile("b.txt", "x\nz\n");
    Choose(ID_OPEN_SOURCE, a);
    EXPECT_EQ(Doc()->m_sourcePath, a);
    EXPECT_EQ(SourcePathValue(), a);
    EXPECT_EQ(Doc()->m_pResult, nullptr);
    CCmdUI compare(ID_COMPARE);
    Frame()->UpdateCommand(compare);
    EXPECT_FALSE(compare.m_bEnabled);

    Choose(ID_OPEN_TARGET, b);
    EXPECT_EQ(Doc()->m_targetPath, b);
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 1);

    ASSERT_EQ(m_seen.size(), 2u);
    EXPECT_EQ(m_seen[0].title, "Open source file");
    EXPECT_EQ(m_seen[1].title, "Open target file");
    for (const SeenDialog& seen : m_seen) {
        EXPECT_EQ(seen.filters, QStringList{"All files (*.*)"});
        // "*.*" shows every file, with or without a dot in its name.
        EXPECT_EQ(seen.modelFilters, QStringList{"*"});
    }
}

TEST_F(ChooseFilesTest, SourceDialogStartsBesideTheRememberedFileAndTargetDoesNot) {
    QDir(m_dir.path()).mkdir("src");
    const std::string remembered = WriteFile("src/old.txt", "x\n");
    {
        CRegistryKey key("software\\Corvessa\\Tessiver\\Options", HKEY_CURRENT_USER);
        key.WriteText("Source Path", remembered);
    }
    // The target dialog first: afterwards the dialog would remember the folder it last showed.
    Choose(ID_OPEN_TARGET, {});
    Choose(ID_OPEN_SOURCE, {});
    ASSERT_EQ(m_seen.size(), 2u);
    EXPECT_NE(m_seen[0].directory, m_dir.path() + "/src");
    EXPECT_EQ(m_seen[1].directory, m_dir.path() + "/src");
    // A cancelled choice leaves the remembered path and the document alone.
    EXPECT_EQ(SourcePathValue(), remembered);
    EXPECT_EQ(Doc()->m_sourcePath, "");
}

TEST_F(ChooseFilesTest, SourceKeyIsCreatedWhenTheDialogIsPreparedEvenIfCancelled) {
    Choose(ID_OPEN_SOURCE, {});
    QFile store(QString::fromStdString(StorePath()));
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    EXPECT_TRUE(store.readAll().toLower().contains("\\software\\corvessa\\tessiver\\options]"));
}

TEST_F(ChooseFilesTest, CancellingEitherDialogComparesAgainFromDisk) {
    const std::string a = WriteFile("a.txt", "x\n");
    const std::string b = WriteFile("b.txt", "x\n");
    Choose(ID_OPEN_SOURCE, a);
    Choose(ID_OPEN_TARGET, b);
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 0);
    WriteFile("b.txt", "y\n");
    Choose(ID_OPEN_SOURCE, {});
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 1);
    WriteFile("a.txt", "y\n");
    Choose(ID_OPEN_TARGET, {});
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 0);
    EXPECT_EQ(Doc()->m_sourcePath, a);
    EXPECT_EQ(Doc()->m_targetPath, b);
}

TEST_F(ChooseFilesTest, TheSameFileMayBeBothSourceAndTarget) {
    const std::string a = WriteFile("a.txt", "x\ny\n");
    Choose(ID_OPEN_SOURCE, a);
    Choose(ID_OPEN_TARGET, a);
    ASSERT_NE(Doc()->m_pResult, nullptr);
    EXPECT_EQ(Doc()->m_pResult->GetRowCount(), 2);
    EXPECT_EQ(Doc()->m_pResult->m_nDifferences, 0);
}

}  // namespace
