// Files dropped on the window, as the document takes them: which side each becomes, the source
// remembered as File > Open Source remembers it, a comparison as F5 makes it, and one message box
// for a drop that cannot be taken, which then changes nothing. The dropped files are only read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/window/MessageBox.h"
#include "platform/File.h"
#include "tests/document/DocFixture.h"

namespace {

class DropFilesTest : public SettingsDocTest {
protected:
    void SetUp() override {
        SettingsDocTest::SetUp();
        WriteRememberedSource("");
        m_previous = SetMessageBoxHook([this](const std::string& text, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_a = m_dir.Write("a.txt", "one\ntwo\nthree\n");
        m_b = m_dir.Write("b.txt", "one\nTWO\nthree\n");
        m_c = m_dir.Write("c.txt", "one\ntwo\nthree\nfour\n");
        for (const std::string& path : {m_a, m_b, m_c}) {
            m_before.push_back({path, CScratchDir::Read(path), GetFileStamp(path)});
        }
    }
    void TearDown() override {
        SetMessageBoxHook(std::move(m_previous));
        WriteRememberedSource("");
        SettingsDocTest::TearDown();
    }

    static std::string RememberedSource() {
        std::string text;
        Options().ReadText("Source Path", text);
        return text;
    }
    static void WriteRememberedSource(const std::string& path) {
        Options().WriteText("Source Path", path);
    }
    static std::vector<CDroppedItem> Files(std::initializer_list<std::string> paths) {
        std::vector<CDroppedItem> items;
        for (const std::string& path : paths) {
            items.push_back({path, true});
        }
        return items;
    }
    int Differences() const { return m_doc.m_pResult ? m_doc.m_pResult->m_nDifferences : -1; }
    // Every dropped file is still where it was, with the bytes, size, time and identity it had.
    void ExpectFilesUnchanged() const {
        for (const auto& file : m_before) {
            SCOPED_TRACE(file.path);
            EXPECT_EQ(CScratchDir::Read(file.path), file.bytes);
            EXPECT_EQ(GetFileStamp(file.path), file.stamp);
        }
    }

    struct Before {
        std::string path;
        std::string bytes;
        CFileStamp stamp;
    };
    std::string m_a;
    std::string m_b;
    std::string m_c;
    std::vector<Before> m_before;
    std::vector<std::string> m_boxes;
    MessageBoxHook m_previous;
};

// Two files become the source and the target in the order the drop lists them, wherever they
// land. One file on a pane takes that pane's side (only the source is remembered); elsewhere on
// the window it fills the first side not chosen yet, and with both chosen replaces the target,
// so that the source stays what the new file is compared against. Once both are known they are
// compared.
TEST_F(DropFilesTest, EachDropTakesTheSidesItsPlaceAndCountSay) {
    const struct {
        const char* name;
        bool bEmptyFirst;
        std::vector<CDroppedItem> files;
        DropSide side;
        std::string source;
        std::string target;
        std::string remembered;
        int differences;  // -1: not compared
    } steps[] = {
        {"two elsewhere", true, Files({m_b, m_a}), DropSide::window, m_b, m_a, m_b, 1},
        {"two on the source pane", false, Files({m_a, m_c}), DropSide::source, m_a, m_c, m_a, 1},
        {"two on the target pane", false, Files({m_c, m_b}), DropSide::target, m_c, m_b, m_c, 2},
        {"elsewhere, none chosen", true, Files({m_a}), DropSide::window, m_a, "", m_a, -1},
        {"target pane", true, Files({m_b}), DropSide::target, "", m_b, m_a, -1},
        {"elsewhere, target chosen", false, Files({m_c}), DropSide::window, m_c, m_b, m_c, 2},
        {"elsewhere, both chosen", false, Files({m_a}), DropSide::window, m_c, m_a, m_c, 1},
        {"source pane", false, Files({m_b}), DropSide::source, m_b, m_a, m_b, 1},
        {"target pane, both chosen", false, Files({m_c}), DropSide::target, m_b, m_c, m_b, 2},
    };
    for (const auto& c : steps) {
        SCOPED_TRACE(c.name);
        if (c.bEmptyFirst) {
            m_doc.SetPaths("", "");
            m_doc.m_pResult.reset();
        }
        EXPECT_TRUE(m_doc.DropFiles(c.files, c.side));
        EXPECT_EQ(m_doc.m_sourcePath, c.source);
        EXPECT_EQ(m_doc.m_targetPath, c.target);
        EXPECT_EQ(RememberedSource(), c.remembered);
        EXPECT_EQ(Differences(), c.differences);
    }
    EXPECT_TRUE(m_boxes.empty());
    ExpectFilesUnchanged();
}

// What cannot be taken is refused whole, with one message box that says why; the document, the
// remembered source and the files stay as they were.
TEST_F(DropFilesTest, WhatCannotBeTakenIsRefusedWithOneMessageAndChangesNothing) {
    const std::string folder = m_dir.Path("folder");
    std::filesystem::create_directories(PathFromUtf8(folder));
    const std::string missing = m_dir.Path("missing.txt");
    const std::string kThree =
        "3 things were dropped. Drop two files to compare them, or one file on a pane to take it "
        "for that side; nothing was changed.";
    const std::string kFolder =
        " is a folder. Tessiver compares files: drop one or two files; nothing was changed.";
    const std::string kNoFile =
        " is not a file on this computer. Drop one or two files to compare them; nothing was "
        "changed.";
    const struct {
        const char* name;
        std::vector<CDroppedItem> items;
        DropSide side;
        std::string message;
    } cases[] = {
        {"three files", Files({m_a, m_b, m_c}), DropSide::window, kThree},
        {"three files on a pane", Files({m_a, m_b, m_c}), DropSide::source, kThree},
        {"a folder", Files({folder}), DropSide::source, folder + kFolder},
        {"a file and a folder", Files({m_a, folder}), DropSide::window, folder + kFolder},
        {"a web address",
         {{"https://example.com/a.txt", false}},
         DropSide::target,
         "https://example.com/a.txt" + kNoFile},
        {"a file and a text",
         {{m_a, true}, {"some words", false}},
         DropSide::window,
         "some words" + kNoFile},
        {"nothing named", {{"", false}}, DropSide::window, "What was dropped" + kNoFile},
        {"a file gone meanwhile", Files({missing, m_a}), DropSide::window,
         missing + " cannot be found. Nothing was changed."},
    };
    m_doc.SetPaths(m_a, m_b);
    m_frame.OnCommand(ID_COMPARE);
    WriteRememberedSource(m_c);
    const CCompareResult* compared = m_doc.m_pResult.get();
    const int updates = m_view.m_nUpdates;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes.clear();
        EXPECT_FALSE(m_doc.DropFiles(c.items, c.side));
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0], c.message);
        EXPECT_EQ(m_doc.m_sourcePath, m_a);
        EXPECT_EQ(m_doc.m_targetPath, m_b);
        EXPECT_EQ(m_doc.m_pResult.get(), compared);
        EXPECT_EQ(m_view.m_nUpdates, updates);
        EXPECT_EQ(RememberedSource(), m_c);
    }
    EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(folder)));
    ExpectFilesUnchanged();
}

}  // namespace
