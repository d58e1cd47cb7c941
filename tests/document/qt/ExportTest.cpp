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

#include "framework/core/Resources.h"
#include "framework/qt/ModalDialog.h"
#include "framework/registry/RegistryStore.h"
#include "framework/window/MessageBox.h"
#include "resources/Resource.h"
#include "tests/document/DocFixture.h"

namespace {

class ExportTest : public DocTest {
protected:
    void SetUp() override {
        SetRegistryStorePath(m_dir.Path("Tessiver.reg"));
        m_previousDialog = SetModalDialogHook([this](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            m_folders.push_back(QDir(files->directory()).absolutePath().toStdString());
            m_titles.push_back(files->windowTitle().toStdString());
            if (m_answer.empty()) {
                return int(QDialog::Rejected);
            }
            files->selectFile(QString::fromStdString(m_answer));
            return int(QDialog::Accepted);
        });
        m_previousBox = SetMessageBoxHook([this](const std::string& text, UINT) {
            m_messages.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override {
        SetModalDialogHook(std::move(m_previousDialog));
        SetMessageBoxHook(std::move(m_previousBox));
        SetRegistryStorePath({});
    }

    void Compare(const std::string& source, const std::string& target) {
        m_doc.SetPaths(m_dir.Write("s.txt", source), m_dir.Write("t.txt", target));
        ASSERT_TRUE(m_frame.OnCommand(ID_COMPARE));
    }
    void Export(CommandId id, std::string answer) {
        m_answer = std::move(answer);
        ASSERT_TRUE(m_frame.OnCommand(id));
    }
    // What tessiver-table prints for the document's pair with args.
    std::string Table(const std::string& args) const {
        const std::string out = m_dir.Path("table.out");
        const std::string command = "'" TESSIVER_TABLE_PATH "' " + args + " '" +
                                    m_doc.m_sourcePath + "' '" + m_doc.m_targetPath + "' >'" + out +
                                    "'";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << command;
        return CScratchDir::Read(out);
    }

    ModalDialogHook m_previousDialog;
    MessageBoxHook m_previousBox;
    std::string m_answer;  // empty: cancel
    std::vector<std::string> m_folders;
    std::vector<std::string> m_titles;
    std::vector<std::string> m_messages;
};

TEST_F(ExportTest, EnabledWhileAResultExists) {
    EXPECT_FALSE(Enabled(ID_EXPORT_UNIFIED));
    EXPECT_FALSE(Enabled(ID_EXPORT_HTML));
    Compare("a\n", "b\n");
    EXPECT_TRUE(Enabled(ID_EXPORT_UNIFIED));
    EXPECT_TRUE(Enabled(ID_EXPORT_HTML));
}

TEST_F(ExportTest, WritesTheTableToolsBytes) {
    const std::string source = "a\r\n\tb <i>\r\nc\nd \ne";
    const std::string target = "a\r\n\tB <i>\nc\nd\ne\n";
    struct Case {
        CommandId option;  // toggled before the exports; 0 for none
        const char* args;  // the same for tessiver-table
    };
    for (const Case& c : {Case{0, ""}, Case{ID_IGNORE_ALL_WHITESPACE, "-w"},
                          Case{ID_REALIGN_LONG_BLOCKS, "--realign -w"}}) {
        if (c.option != 0) {
            ASSERT_TRUE(m_frame.OnCommand(c.option));
        }
        Compare(source, target);
        const std::string diff = m_dir.Path("out/x.diff");
        const std::string page = m_dir.Path("out/x.html");
        std::filesystem::create_directories(m_dir.Path("out"));
        Export(ID_EXPORT_UNIFIED, diff);
        Export(ID_EXPORT_HTML, page);
        EXPECT_EQ(CScratchDir::Read(diff), Table(std::string("--unified ") + c.args)) << c.args;
        EXPECT_EQ(CScratchDir::Read(page), Table(std::string("--html ") + c.args)) << c.args;
    }
    EXPECT_EQ(m_titles.at(0), "Export unified diff");
    EXPECT_EQ(m_titles.at(1), "Export HTML report");
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ExportTest, EachKindRemembersItsOwnFolder) {
    Compare("a\n", "b\n");
    const std::string diffs = m_dir.Path("diffs");
    const std::string pages = m_dir.Path("pages");
    std::filesystem::create_directories(diffs);
    std::filesystem::create_directories(pages);
    Export(ID_EXPORT_UNIFIED, diffs + "/one.diff");
    Export(ID_EXPORT_HTML, pages + "/one.html");
    Export(ID_EXPORT_UNIFIED, {});
    Export(ID_EXPORT_HTML, {});
    ASSERT_EQ(m_folders.size(), 4u);
    EXPECT_EQ(m_folders[2], diffs);
    EXPECT_EQ(m_folders[3], pages);
    // A cancelled dialog writes nothing and keeps the folder.
    Export(ID_EXPORT_UNIFIED, {});
    EXPECT_EQ(m_folders[4], diffs);
}

// An export is for others to read too: a new file as the umask allows, a replaced one as it was.
TEST_F(ExportTest, PermissionsAreThoseOfTheUsersFiles) {
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
}

TEST_F(ExportTest, AFileThatCannotBeWrittenIsReportedAndLeftAlone) {
    Compare("a\n", "b\n");
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

TEST_F(ExportTest, ADecodedFileCannotBeADiffAndNoDialogAsksForOne) {
    ASSERT_TRUE(m_frame.OnCommand(ID_DECODE_UNICODE));
    Compare(
        "\xEF\xBB\xBF"
        "a\n",
        "a\n");
    Export(ID_EXPORT_UNIFIED, m_dir.Path("x.diff"));
    EXPECT_TRUE(m_folders.empty());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find("byte-order mark"), std::string::npos) << m_messages[0];
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("x.diff")));
    // The report shows the decoded text as the window does.
    Export(ID_EXPORT_HTML, m_dir.Path("x.html"));
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path("x.html")));
}

}  // namespace
