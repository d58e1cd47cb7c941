#include <gtest/gtest.h>

#include <new>
#include <random>
#include <string>
#include <vector>

#include "engine/FileException.h"
#include "engine/LineBuffer.h"
#include "engine/LineComparer.h"
#include "tests/common/ScratchDir.h"
#include "tests/engine/Reference.h"

namespace {

constexpr std::size_t kChunk = 256 * 1024;  // the reader's chunk

std::vector<std::string> LinesOf(const CLineBuffer& buffer) {
    std::vector<std::string> lines;
    for (std::int32_t i = 0; i < buffer.GetLineCount(); ++i) {
        lines.emplace_back(buffer.GetLine(i));
    }
    return lines;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;  // as stored
};

const ReadCase kReadCases[] = {
    {"empty file has no lines", "", {}},
    {"one line feed is one blank line", "\n", {""}},
    {"final line without terminator counts", "a\nb", {"a", "b"}},
    {"final line feed adds no blank line", "a\nb\n", {"a", "b"}},
    {"CR LF reads as LF", "a\r\nb\r\n", {"a", "b"}},
    {"lone CR stays in the line", "a\rb\n", {"a\rb"}},
    {"only the CR before LF goes", "a\r\r\n\r\n", {"a\r", ""}},
    {"CR at end of file stays", "a\r", {"a\r"}},
    {"Ctrl-Z ends the file",
     "a\nb\x1A"
     "c\nd\n",
     {"a", "b"}},
    {"Ctrl-Z first leaves no lines",
     "\x1A"
     "a\r\n",
     {}},
    {"Ctrl-Z after a line end", "a\nb\r\n\x1A", {"a", "b"}},
    {"blank lines count", "\n\n\n", {"", "", ""}},
    {"tabs and spaces stay as read", " \t\r\n\ta\t\tb\t\n  x \r", {" \t", "\ta\t\tb\t", "  x \r"}},
    {"NUL and high bytes untouched",
     std::string("a\0b\xff\xfe\n", 6),
     {std::string("a\0b\xff\xfe", 5)}},
};

TEST(Reader, StoresTheLinesOfTextMode) {
    const CScratchDir files;
    for (const ReadCase& c : kReadCases) {
        CLineBuffer buffer;
        ASSERT_TRUE(buffer.Load(files.Write("file", c.bytes))) << c.name;
        EXPECT_EQ(LinesOf(buffer), c.lines) << c.name;
    }
}

// The files above, files larger than the chunks with the interesting bytes on the seams, and
// random ones, a quarter of them a few chunks long: the lines are the reference's, and with the
// terminator each was read with they give back the bytes up to a Ctrl-Z, with and without
// comparison options; a Ctrl-Z is noted as cutting the file.
TEST(Reader, LinesWithTheirEndsGiveBackTheFile) {
    std::vector<std::string> files;
    for (const ReadCase& c : kReadCases) {
        files.push_back(c.bytes);
    }
    files.push_back(std::string(kChunk - 1, 'x') + "\r\ny\r\n");
    files.push_back(std::string(kChunk - 3, 'x') + "\n\t\t\tz\tq\n");
    files.push_back(std::string(kChunk + 10, 'y') + "\x1A" + "rest\n");
    // The end of the file, not only of the chunk it falls in.
    files.push_back("a\n\x1A" + std::string(kChunk, 'c') + "\n" + std::string(kChunk, 'd') + "\n");
    files.push_back(std::string(3 * kChunk, 'a') + "\n" + std::string(kChunk, '\t'));
    // Large enough for the buffer to be mapped with huge pages and shrunk at the end.
    std::string mixed;
    for (std::size_t i = 0; mixed.size() < 24 * kChunk; ++i) {
        mixed += std::string(i % 7, '\t') + std::string(i % 13, 'm') + (i % 5 ? "\r\n" : "\n");
    }
    files.push_back(mixed);
    static const char* const kPieces[] = {"a",    "bc", "\t",       " ",   "\n",
                                          "\r\n", "\r", "\xC3\xA9", "\xFF"};
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const std::size_t size = round % 4 == 0 ? random() % (3 * kChunk) : random() % 300;
        std::string bytes;
        while (bytes.size() < size) {
            bytes += kPieces[random() % std::size(kPieces)];
        }
        if (!bytes.empty() && random() % 3 == 0) {
            bytes[random() % bytes.size()] = '\x1A';
        }
        files.push_back(bytes);
    }
    CCompareOptions spaces;
    spaces.whitespace = CCompareOptions::whitespaceAll;
    spaces.bIgnoreBlankLines = true;
    const CScratchDir folder;
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::string& bytes = files[f];
        const std::string path = folder.Write("file", bytes);
        for (const CCompareOptions& options : {CCompareOptions{}, spaces}) {
            SCOPED_TRACE("file " + std::to_string(f) + (options.IsAnyOn() ? ", options" : ""));
            CLineBuffer buffer;
            buffer.SetOptions(options);
            ASSERT_TRUE(buffer.Load(path));
            ASSERT_EQ(LinesOf(buffer), reference::ReadLines(bytes));
            std::string rebuilt;
            for (std::int32_t i = 0; i < buffer.GetLineCount(); ++i) {
                rebuilt += buffer.GetLine(i);
                const LineEnd end = buffer.GetLineEnd(i);
                rebuilt += end == LineEnd::crLf ? "\r\n" : end == LineEnd::lf ? "\n" : "";
                EXPECT_TRUE(end != LineEnd::none || i + 1 == buffer.GetLineCount());
            }
            const std::size_t cut = bytes.find('\x1A');
            ASSERT_TRUE(rebuilt == bytes.substr(0, cut));
            EXPECT_EQ(buffer.WasCut(), cut != std::string::npos);
        }
    }
}

TEST(Reader, MoreLinesThanCanBeNumberedIsAReadError) {
    const CScratchDir files;
    const std::string path = files.Write("four", "a\nb\nc\nd");
    CLineBuffer fits;
    EXPECT_TRUE(fits.Load(path, nullptr, 4));
    EXPECT_EQ(fits.GetLineCount(), 4);
    CLineBuffer tooMany;
    try {
        tooMany.Load(path, nullptr, 3);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.GetPath(), path);
        EXPECT_NE(e.GetReason().find("3"), std::string::npos) << e.GetReason();
    }
}

std::unique_ptr<CCompareResult> Compare(const std::string& source, const std::string& target) {
    CLineComparer comparer;
    comparer.SetFiles(source, target);
    return comparer.Compare();
}

// A source that cannot be opened, or two empty files, give no table; a target that cannot be
// opened counts as empty; CR LF and LF lines are equal.
TEST(Compare, FilesThatCannotBeOpenedOrAreEmpty) {
    const CScratchDir files;
    const std::string source = files.Write("s", "a\n\nb\n");
    const std::string empty = files.Write("empty", "");
    const std::string dos = files.Write("dos", "one\r\ntwo\r\n\tthree\r\n");
    EXPECT_EQ(Compare(files.Path(""), source), nullptr);
    EXPECT_EQ(Compare(empty, empty), nullptr);
    EXPECT_EQ(Compare(empty, files.Path("missing")), nullptr);
    const std::vector<std::int32_t> sourceOnly(3, kindSourceOnly);
    struct Case {
        std::string source, target;
        std::vector<std::int32_t> kinds;
        std::int32_t differences;  // a blank line is no difference
    };
    for (const Case& c : {Case{source, files.Path("missing"), sourceOnly, 2},
                          Case{source, files.Path(""), sourceOnly, 2},
                          Case{empty, source, std::vector<std::int32_t>(3, kindTargetOnly), 2},
                          Case{dos, files.Write("unix", "one\ntwo\n\tthree"),
                               std::vector<std::int32_t>(3, kindEqual), 0}}) {
        SCOPED_TRACE(c.source + " " + c.target);
        const auto result = Compare(c.source, c.target);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->m_kind, c.kinds);
        EXPECT_EQ(result->m_nDifferences, c.differences);
    }
    const auto targetMissing = Compare(source, files.Path("missing"));
    ASSERT_NE(targetMissing, nullptr);
    EXPECT_EQ(targetMissing->m_sourceLine, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(targetMissing->m_targetLine, (std::vector<std::int32_t>{0, 0, 0}));
}

// Files that do not fit the memory are refused as running out of it: a known size before it is
// read, both files together, and line tables as they grow (a blank line costs more than its byte).
// The comparer is whole again afterwards.
TEST(Compare, FilesLargerThanTheMemoryRunOutOfIt) {
    const CScratchDir files;
    std::string most;  // 6,000 lines, 0.65 of the memory with their tables
    while (most.size() < 600'000) {
        most += std::string(99, 'x') + "\n";
    }
    const std::string small = files.Write("small", "a\n");
    const std::string large = files.Write("large", most + most);
    const std::string blank = files.Write("blank", std::string(200'000, '\n'));
    const std::string mostly = files.Write("most", most);
    struct Case {
        const char* name;
        std::string source, target;
        bool fits;
    };
    for (const Case& c :
         {Case{"small", small, small, true}, Case{"one of most", mostly, small, true},
          Case{"large source", large, small, false}, Case{"large target", small, large, false},
          Case{"each fits, not both", mostly, mostly, false},
          Case{"more lines than bytes", blank, small, false}}) {
        for (const bool concurrent : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (concurrent ? ", concurrent" : ""));
            CLineComparer comparer;
            comparer.SetMemoryLimit(1'000'000);
            comparer.SetConcurrentRead(concurrent);
            comparer.SetFiles(c.source, c.target);
            if (c.fits) {
                EXPECT_NE(comparer.Compare(), nullptr);
            } else {
                EXPECT_THROW((void)comparer.Compare(), std::bad_alloc);
            }
            comparer.SetFiles(small, small);
            EXPECT_NE(comparer.Compare(), nullptr);
        }
    }
}

}  // namespace
