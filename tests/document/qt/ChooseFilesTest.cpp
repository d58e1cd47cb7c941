// Choosing the files through the platform's file dialogs, answered by the test: titles, the one
// filter, the remembered source folder, and a comparison whenever both paths are known.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFileDialog>

#include "framework/core/Resources.h"
#include "framework/qt/ModalDialog.h"
#include "framework/registry/Registry.h"
#include "resources/Resource.h"
#include "tests/document/DocFixture.h"

namespace {

// What one file dialog looked like when it was shown.
struct SeenDialog {
    QString title;
    QStringList filters;
    QString directory;
};

class ChooseFilesTest : public SettingsDocTest {
protected:
    void SetUp() override {
        AfxSetResourceTables(&GetResourceTables());
        SettingsDocTest::SetUp();
        m_previous = SetModalDialogHook([this](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            m_seen.push_back({files->windowTitle(), files->nameFilters(),
                              QDir(files->directory()).absolutePath()});
            if (m_answer.empty()) {
                return int(QDialog::Rejected);
            }
            files->selectFile(QString::fromStdString(m_answer));
            return int(QDialog::Accepted);
        });
    }
    void TearDown() override {
        SetModalDialogHook(std::move(m_previous));
        SettingsDocTest::TearDown();
    }

    void Choose(CommandId id, std::string answer) {
        m_answer = std::move(answer);
        ASSERT_TRUE(m_frame.OnCommand(id));
    }
    static std::string RememberedSource() {
        std::string text;
        Options().ReadText("Source Path", text);
        return text;
    }
    int Differences() const { return m_doc.m_pResult ? m_doc.m_pResult->m_nDifferences : -1; }

    ModalDialogHook m_previous;
    std::string m_answer;  // empty: cancel
    std::vector<SeenDialog> m_seen;
};

TEST_F(ChooseFilesTest, SourceThenTargetComparesOnlyOnceBothAreKnown) {
    const std::string a = m_dir.Write("a.txt", "x\ny\n");
    const std::string b = m_dir.Write("b.txt", "x\nz\n");
    Choose(ID_OPEN_SOURCE, a);
    EXPECT_EQ(m_doc.m_sourcePath, a);
    EXPECT_EQ(RememberedSource(), a);
    EXPECT_EQ(m_doc.m_pResult, nullptr);

    Choose(ID_OPEN_TARGET, b);
    EXPECT_EQ(m_doc.m_targetPath, b);
    EXPECT_EQ(Differences(), 1);

    ASSERT_EQ(m_seen.size(), 2u);
    EXPECT_EQ(m_seen[0].title, "Open source file");
    EXPECT_EQ(m_seen[1].title, "Open target file");
    EXPECT_EQ(m_seen[0].filters, QStringList{"All files (*.*)"});
    EXPECT_EQ(m_seen[1].filters, QStringList{"All files (*.*)"});
}

TEST_F(ChooseFilesTest, SourceDialogStartsBesideTheRememberedFileAndTargetDoesNot) {
    const std::string remembered = m_dir.Write("src/old.txt", "x\n");
    Options().WriteText("Source Path", remembered);
    // The target dialog first: afterwards the dialog would remember the folder it last showed.
    Choose(ID_OPEN_TARGET, {});
    Choose(ID_OPEN_SOURCE, {});
    ASSERT_EQ(m_seen.size(), 2u);
    const QString folder = QString::fromStdString(m_dir.Path("src"));
    EXPECT_NE(m_seen[0].directory, folder);
    EXPECT_EQ(m_seen[1].directory, folder);
    // A cancelled choice leaves the remembered path and the document alone.
    EXPECT_EQ(RememberedSource(), remembered);
    EXPECT_EQ(m_doc.m_sourcePath, "");
}

TEST_F(ChooseFilesTest, CancellingEitherDialogComparesAgainFromDisk) {
    const std::string a = m_dir.Write("a.txt", "x\n");
    const std::string b = m_dir.Write("b.txt", "x\n");
    Choose(ID_OPEN_SOURCE, a);
    Choose(ID_OPEN_TARGET, a);  // the same file may be both
    EXPECT_EQ(Differences(), 0);
    Choose(ID_OPEN_TARGET, b);
    EXPECT_EQ(Differences(), 0);
    m_dir.Write("b.txt", "y\n");
    Choose(ID_OPEN_SOURCE, {});
    EXPECT_EQ(Differences(), 1);
    m_dir.Write("a.txt", "y\n");
    Choose(ID_OPEN_TARGET, {});
    EXPECT_EQ(Differences(), 0);
    EXPECT_EQ(m_doc.m_sourcePath, a);
    EXPECT_EQ(m_doc.m_targetPath, b);
}

}  // namespace
