#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
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

std::vector<std::string> LinesOf(const CLineBuffer& buffer) {
    std::vector<std::string> lines;
    for (std::int32_t i = 0; i < buffer.GetLineCount(); ++i) {
        lines.emplace_back(buffer.GetLine(i));
    }
    return lines;
}

std::vector<std::string> Load(const std::string& bytes) {
    const CScratchDir files;
    CLineBuffer buffer;
    EXPECT_TRUE(buffer.Load(files.Write("file", bytes)));
    return LinesOf(buffer);
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;  // as stored
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadRules : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadRules, StoresTheLinesOfTextMode) {
    EXPECT_EQ(Load(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Reader, ReadRules,
    testing::Values(ReadCase{"EmptyFileHasNoLines", "", {}},
                    ReadCase{"OneLineFeedIsOneBlankLine", "\n", {""}},
                    ReadCase{"FinalLineWithoutTerminatorCounts", "a\nb", {"a", "b"}},
                    ReadCase{"FinalLineFeedAddsNoBlankLine", "a\nb\n", {"a", "b"}},
                    ReadCase{"CrLfReadsAsLf", "a\r\nb\r\n", {"a", "b"}},
                    ReadCase{"LoneCrStaysInTheLine", "a\rb\n", {"a\rb"}},
                    ReadCase{"OnlyTheCrBeforeLfGoes", "a\r\r\n", {"a\r"}},
                    ReadCase{"CrAtEndOfFileStays", "a\r", {"a\r"}},
                    ReadCase{"CtrlZEndsTheFile",
                             "a\nb\x1A"
                             "c\nd\n",
                             {"a", "b"}},
                    ReadCase{"CtrlZFirstLeavesNoLines",
                             "\x1A"
                             "a\n",
                             {}},
                    ReadCase{"CtrlZAfterLineFeed", "a\n\x1A", {"a"}},
                    ReadCase{"BlankLinesCount", "\n\n\n", {"", "", ""}},
                    ReadCase{"TabsStayAsRead", "\ta\t\tb\t\n", {"\ta\t\tb\t"}},
                    ReadCase{"SpacesStaySpaces", "  x \n", {"  x "}},
                    ReadCase{"NulAndHighBytesUntouched",
                             std::string("a\0b\xff\xfe\n", 6),
                             {std::string("a\0b\xff\xfe", 5)}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// Files larger than the reader's 256 KiB chunks, with the interesting bytes on the seams.
TEST(Reader, ChunkSeamsChangeNothing) {
    constexpr std::size_t kChunk = 256 * 1024;
    struct Seam {
        const char* name;
        std::string bytes;
    };
    std::vector<Seam> seams;
    seams.push_back({"CrLfAcross", std::string(kChunk - 1, 'x') + "\r\ny\r\n"});
    seams.push_back({"LeadingTabsAcross", std::string(kChunk - 3, 'x') + "\n\t\t\tz\tq\n"});
    seams.push_back({"CtrlZInSecondChunk", std::string(kChunk + 10, 'y') + "\x1A" + "rest\n"});
    // The end of the file, not only of the chunk it falls in.
    seams.push_back({"CtrlZBeforeMoreChunks", "a\n\x1A" + std::string(kChunk, 'c') + "\n" +
                                                  std::string(kChunk, 'd') + "\n"});
    seams.push_back({"LongLines", std::string(3 * kChunk, 'a') + "\n" + std::string(kChunk, '\t')});
    std::string mixed;
    for (std::size_t i = 0; mixed.size() < 24 * kChunk; ++i) {
        mixed += std::string(i % 7, '\t') + std::string(i % 13, 'm') + (i % 5 ? "\r\n" : "\n");
    }
    // Large enough for the buffer to be mapped with huge pages and shrunk at the end.
    seams.push_back({"ManyShortLines", mixed});
    for (const Seam& seam : seams) {
        SCOPED_TRACE(seam.name);
        EXPECT_EQ(Load(seam.bytes), reference::ReadLines(seam.bytes));
    }
}

// Random files, a third of them a few read chunks long: line ends of both kinds, lone CRs, tabs,
// high bytes, and in some a Ctrl-Z, which ends the file wherever it falls.
TEST(Reader, RandomFilesReadAsTheReference) {
    constexpr std::size_t kChunk = 256 * 1024;
    static const char* const kPieces[] = {"a",    "bc", "\t",       " ",   "\n",
                                          "\r\n", "\r", "\xC3\xA9", "\xFF"};
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::size_t size = round % 3 == 0 ? random() % (3 * kChunk) : random() % 300;
        std::string bytes;
        while (bytes.size() < size) {
            bytes += kPieces[random() % std::size(kPieces)];
        }
        if (!bytes.empty() && random() % 3 == 0) {
            bytes[random() % bytes.size()] = '\x1A';
        }
        ASSERT_EQ(Load(bytes), reference::ReadLines(bytes));
    }
}

// The lines, each with the terminator it was read with, give back the file's bytes up to a
// Ctrl-Z, with and without comparison options; a Ctrl-Z is noted as cutting the file.
TEST(Reader, LinesWithTheirEndsGiveBackTheFile) {
    constexpr std::size_t kChunk = 256 * 1024;
    std::vector<std::string> files = {"",
                                      "\n",
                                      "a",
                                      "a\r",
                                      "a\r\r\n\r\n",
                                      "a\r\nb\nc",
                                      "a\nb\r\n\x1A",
                                      "\x1A"
                                      "a\r\n",
                                      " \t\r\n\t\n\r",
                                      std::string(kChunk - 1, 'x') + "\r\ny\r\n",
                                      std::string(kChunk, 'x') + "\r\ny"};
    static const char* const kPieces[] = {"a", "\t", " ", "\n", "\r\n", "\r", "\xFF"};
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
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

std::vector<std::int32_t> Kinds(const CCompareResult& result) {
    return result.m_kind;
}

TEST(Compare, SourceThatIsADirectoryCannotBeOpened) {
    const CScratchDir files;
    EXPECT_EQ(Compare(files.Path(""), files.Write("t", "a\n")), nullptr);
}

TEST(Compare, UnopenableTargetCountsAsEmpty) {
    const CScratchDir files;
    const std::string source = files.Write("s", "a\n\nb\n");
    for (const std::string& target : {files.Path("missing"), files.Path("")}) {
        SCOPED_TRACE(target);
        const auto result = Compare(source, target);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(Kinds(*result), std::vector<std::int32_t>(3, kindSourceOnly));
        EXPECT_EQ(result->m_sourceLine, (std::vector<std::int32_t>{1, 2, 3}));
        EXPECT_EQ(result->m_targetLine, (std::vector<std::int32_t>{0, 0, 0}));
        EXPECT_EQ(result->m_targetText[1], "");
        EXPECT_EQ(result->m_nDifferences, 2);  // the blank line is no difference
    }
}

TEST(Compare, EmptyFiles) {
    const CScratchDir files;
    const std::string empty = files.Write("empty", "");
    const std::string lines = files.Write("lines", "x\ny\n");
    EXPECT_EQ(Compare(empty, empty), nullptr);
    EXPECT_EQ(Compare(empty, files.Path("missing")), nullptr);
    const auto targetOnly = Compare(empty, lines);
    ASSERT_NE(targetOnly, nullptr);
    EXPECT_EQ(Kinds(*targetOnly), std::vector<std::int32_t>(2, kindTargetOnly));
    EXPECT_EQ(targetOnly->m_targetText[1], "y");
}

// The files are read at the same time: the good one is large enough to be still in reading
// when the other fails. When both fail, the source's error is the one reported.

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

TEST(Compare, CrLfAndLfFilesCompareEqual) {
    const CScratchDir files;
    const auto result = Compare(files.Write("dos", "one\r\ntwo\r\n\tthree\r\n"),
                                files.Write("unix", "one\ntwo\n\tthree"));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Kinds(*result), std::vector<std::int32_t>(3, kindEqual));
    EXPECT_EQ(result->m_nDifferences, 0);
}

TEST(Compare, AgainGivesTheSameTable) {
    const CScratchDir files;
    CLineComparer comparer;
    comparer.SetFiles(files.Write("s", "a\nb\n\tc\nd\n"), files.Write("t", "a\nx\n\tc\n"));
    const auto first = comparer.Compare();
    const auto second = comparer.Compare();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(reference::RowsOf(*first), reference::RowsOf(*second));
    EXPECT_EQ(first->m_nDifferences, second->m_nDifferences);
}

}  // namespace
