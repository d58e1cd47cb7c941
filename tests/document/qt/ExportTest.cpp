// File > Export Unified Diff and Export HTML Report, their save dialogs answered by the test: the
// bytes written are tessiver-table's for the same pair and options, each kind of export remembers
// its own folder, and a file that cannot be written is reported and left alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <cstdlib>
#include <filesystem>

#include "framework/qt/ModalDialog.h"
#include "framework/window/MessageBox.h"
#include "tests/document/DocFixture.h"

namespace {

class ExportTest : public SettingsDocTest {
protected:
    void SetUp() override {
        SettingsDocTest::SetUp();
        m_previousDialog = SetModalDialogHook([this](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            m_folders.push_back(QDir(files->directory()).absolutePath().toStdString());
            m_titles.push_back(files->windowTitle().toStdString());
            files->selectFile(QString::fromStdString(m_answer));
            return int(m_answer.empty() ? QDialog::Rejected : QDialog::Accepted);
        });
        m_previousBox = SetMessageBoxHook([this](const std::string& text, UINT) {
            m_messages.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override {
        SetModalDialogHook(std::move(m_previousDialog));
        SetMessageBoxHook(std::move(m_previousBox));
        SettingsDocTest::TearDown();
    }

    void Compare(const std::string& source, const std::string& target) {
        m_doc.SetPaths(m_dir.Write("s.txt", source), m_dir.Write("t.txt", target));
        ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    }
    void Export(CommandId id, std::string answer) {
        m_answer = std::move(answer);
        ASSERT_TRUE(m_frame.OnCommand(id));
    }

    ModalDialogHook m_previousDialog;
    MessageBoxHook m_previousBox;
    std::string m_answer;  // empty: cancel
    std::vector<std::string> m_folders;
    std::vector<std::string> m_titles;
    std::vector<std::string> m_messages;
};

// Enabled once a result exists; each export writes what tessiver-table prints for the pair with
// the same options, and its next dialog opens in the folder it wrote to, a cancelled one too.
TEST_F(ExportTest, WritesTheTableToolsBytesAndRemembersEachFolder) {
    EXPECT_FALSE(Enabled(ID_EXPORT_UNIFIED));
    EXPECT_FALSE(Enabled(ID_EXPORT_HTML));
    struct Case {
        CommandId option;  // toggled before the exports; 0 for none
        const char* args;  // the same for tessiver-table
    };
    for (const Case& c : {Case{0, ""}, Case{ID_IGNORE_ALL_WHITESPACE, "-w"},
                          Case{ID_REALIGN_LONG_BLOCKS, "--realign -w"}}) {
        if (c.option != 0) {
            ASSERT_TRUE(m_frame.OnCommand(c.option));
        }
        Compare("a\r\n\tb <i>\r\nc\nd \ne", "a\r\n\tB <i>\nc\nd\ne\n");
        EXPECT_TRUE(Enabled(ID_EXPORT_UNIFIED) && Enabled(ID_EXPORT_HTML));
        for (const auto& [id, kind] :
             {std::pair{ID_EXPORT_UNIFIED, "unified"}, std::pair{ID_EXPORT_HTML, "html"}}) {
            const std::string folder = m_dir.Path(kind);
            std::filesystem::create_directories(folder);
            Export(id, {});  // after the other kind's export, and after a cancel
            if (c.option != 0) {
                EXPECT_EQ(m_folders.back(), folder);
            }
            Export(id, folder + "/x." + kind);
            const std::string out = m_dir.Path("table.out");
            const std::string command = "'" TESSIVER_TABLE_PATH "' --" + std::string(kind) + " " +
                                        c.args + " '" + m_doc.m_sourcePath + "' '" +
                                        m_doc.m_targetPath + "' >'" + out + "'";
            const int status = std::system(command.c_str());
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << command;
            EXPECT_EQ(CScratchDir::Read(folder + "/x." + kind), CScratchDir::Read(out)) << command;
        }
    }
    EXPECT_EQ(m_titles.at(0), "Export unified diff");
    EXPECT_EQ(m_titles.at(2), "Export HTML report");
    EXPECT_TRUE(m_messages.empty());
}

// An export is for others to read too: a new file as the umask allows, a replaced one as it was.
// A file that cannot be written is reported and left alone.
TEST_F(ExportTest, PermissionsAreTheUsersAndAFailureIsReported) {
    Compare("a\n", "b\n");
    const mode_t mask = ::umask(027);
    const std::string fresh = m_dir.Path("fresh.diff");
    Export(ID_EXPORT_UNIFIED, fresh);
    const std::string kept = m_dir.Write("kept.html", "old");
    ::chmod(kept.c_str(), 0604);
    Export(ID_EXPORT_HTML, kept);
    ::umask(mask);
    struct stat status {};
    ASSERT_EQ(::stat(fresh.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    ASSERT_EQ(::stat(kept.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0604u);
    EXPECT_NE(CScratchDir::Read(kept), "old");
    EXPECT_TRUE(m_messages.empty());

    // A folder where the file should go: the new file cannot be renamed over it.
    const std::string folder = m_dir.Path("taken.diff");
    std::filesystem::create_directories(folder + "/inside");
    Export(ID_EXPORT_UNIFIED, folder);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find("taken.diff"), std::string::npos) << m_messages[0];
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/inside"));
    // Nothing of the attempt is left beside it.
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
        entries += entry.path().filename().string().starts_with("taken.diff") ? 1 : 0;
    }
    EXPECT_EQ(entries, 1u);
}

// A decoded file cannot be a diff, and no dialog asks for one; the report shows the decoded text.
TEST_F(ExportTest, ADecodedFileCannotBeADiff) {
    ASSERT_TRUE(m_frame.OnCommand(ID_DECODE_UNICODE));
    Compare(std::string("\xEF\xBB\xBF") + "a\n", "a\n");
    Export(ID_EXPORT_UNIFIED, m_dir.Path("x.diff"));
    EXPECT_TRUE(m_folders.empty());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find("byte-order mark"), std::string::npos) << m_messages[0];
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("x.diff")));
    Export(ID_EXPORT_HTML, m_dir.Path("x.html"));
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path("x.html")));
}

}  // namespace
