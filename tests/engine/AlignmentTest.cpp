#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/LineComparer.h"
#include "tests/common/ScratchDir.h"
#include "tests/engine/Reference.h"

namespace {

using Lines = std::vector<std::string>;

std::string Join(const Lines& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\n";
    }
    return bytes;
}

// Rows written as "source/target kind", kind one of C E S T.
std::vector<std::string> Describe(const CCompareResult& result) {
    std::vector<std::string> rows;
    for (std::int32_t i = 0; i < result.GetRowCount(); ++i) {
        const auto r = static_cast<std::size_t>(i);
        std::ostringstream row;
        row << result.m_sourceLine[r] << "/" << result.m_targetLine[r] << " "
            << "CEST"[result.m_kind[r]];
        rows.push_back(row.str());
    }
    return rows;
}

Lines Repeat(const std::string& prefix, int count) {
    Lines lines;
    for (int i = 1; i <= count; ++i) {
        lines.push_back(prefix + std::to_string(i));
    }
    return lines;
}

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::vector<std::string> Rows(std::vector<std::string> head, const std::string& kind,
                              int firstSource, int firstTarget, int count,
                              std::initializer_list<std::string> tail = {}) {
    std::vector<std::string> rows = std::move(head);
    for (int i = 0; i < count; ++i) {
        const int s = firstSource == 0 ? 0 : firstSource + i;
        const int t = firstTarget == 0 ? 0 : firstTarget + i;
        rows.push_back(std::to_string(s) + "/" + std::to_string(t) + " " + kind);
    }
    rows.insert(rows.end(), tail);
    return rows;
}

struct AlignCase {
    const char* name;
    Lines source;
    Lines target;
    std::vector<std::string> rows;
    std::int32_t differences;
    CCompareOptions options = {};
    bool bRealign = false;
};

void PrintTo(const AlignCase& c, std::ostream* os) {
    *os << c.name;
}

std::string CaseName(const testing::TestParamInfo<AlignCase>& info) {
    return info.param.name;
}

std::vector<AlignCase> Realigning(std::vector<AlignCase> cases) {
    for (AlignCase& c : cases) {
        c.bRealign = true;
    }
    return cases;
}

class Alignment : public testing::TestWithParam<AlignCase> {};

// Compares the files as the program does, reading both at the same time, and again reading one
// after the other: the tables must be the same.
std::unique_ptr<CCompareResult> CompareBothWays(const std::string& source,
                                                const std::string& target,
                                                const CCompareOptions& options = {}) {
    CLineComparer comparer;
    comparer.SetFiles(source, target);
    comparer.SetOptions(options);
    comparer.SetConcurrentRead(false);
    const std::unique_ptr<CCompareResult> sequential = comparer.Compare();
    comparer.SetConcurrentRead(true);
    std::unique_ptr<CCompareResult> concurrent = comparer.Compare();
    EXPECT_EQ(concurrent == nullptr, sequential == nullptr);
    if (concurrent && sequential) {
        EXPECT_EQ(reference::RowsOf(*concurrent), reference::RowsOf(*sequential));
        EXPECT_EQ(concurrent->m_nDifferences, sequential->m_nDifferences);
    }
    return concurrent;
}

// The realigning mode: the same rows wherever the windows find pairs, and in step again after a
// block the windows cannot see across.
std::unique_ptr<CCompareResult> CompareRealigning(const CScratchDir& files, const Lines& source,
                                                  const Lines& target,
                                                  const CCompareOptions& options = {}) {
    CLineComparer comparer;
    comparer.SetFiles(files.Write("source", Join(source)), files.Write("target", Join(target)));
    comparer.SetRealign(true);
    comparer.SetOptions(options);
    return comparer.Compare();
}

// The options change which lines are equal and which are blank; the rows still come from the
// same pass, their texts as read. Realigning, the comparison steps over a long block and keeps
// in step.
TEST_P(Alignment, GivesTheRowsOfItsPass) {
    const AlignCase& c = GetParam();
    const CScratchDir files;
    const std::unique_ptr<CCompareResult> result =
        c.bRealign ? CompareRealigning(files, c.source, c.target, c.options)
                   : CompareBothWays(files.Write("source", Join(c.source)),
                                     files.Write("target", Join(c.target)), c.options);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Describe(*result), c.rows);
    EXPECT_EQ(result->m_nDifferences, c.differences);
    EXPECT_EQ(reference::CheckInvariants(*result, c.source, c.target, c.options), "");
}

const Lines kTwentyOthers = Repeat("o", 20);

INSTANTIATE_TEST_SUITE_P(
    LineComparer, Alignment,
    testing::Values(
        AlignCase{"SurplusSourceLineBeforeMatch",
                  {"a", "p", "q", "r"},
                  {"a", "x", "r", "e"},
                  {"1/1 E", "2/2 C", "3/0 S", "4/3 E", "0/4 T"},
                  3},
        AlignCase{"DirectLookAheadBeatsLaterSourceLine",
                  {"x", "y"},
                  {"y", "x"},
                  {"0/1 T", "1/2 E", "2/0 S"},
                  2},
        AlignCase{"BlankLinesAreNeverMatched",
                  {"a", "", "b"},
                  {"a", "", "b"},
                  {"1/1 E", "2/2 C", "3/3 E"},
                  0},
        AlignCase{"NoSourceLines", {}, {"a", ""}, {"0/1 T", "0/2 T"}, 1},
        AlignCase{"NoTargetLines", {"a", "b", "c"}, {}, {"1/0 S", "2/0 S", "3/0 S"}, 3},
        AlignCase{"IdenticalWithLongBlankRun", Concat({{"a"}, Lines(25, ""), {"b"}}),
                  Concat({{"a"}, Lines(25, ""), {"b"}}),
                  Rows({"1/1 E"}, "C", 2, 2, 25, {"27/27 E"}), 0},
        AlignCase{"MatchAtEndOfDirectWindow",
                  {"a"},
                  Concat({Repeat("o", 19), {"a"}}),
                  Rows({}, "T", 0, 1, 19, {"1/20 E"}),
                  19},
        AlignCase{"MatchJustBeyondDirectWindow",
                  {"a"},
                  Concat({kTwentyOthers, {"a"}}),
                  Rows({"1/1 C"}, "T", 0, 2, 20),
                  21},
        // In the next four the window bound decides between pairing the lines before a later
        // match and leaving them to the direct look-ahead of the following steps.
        AlignCase{"SecondSearchAtEndOfTargetWindow",
                  {"z", "w", "a"},
                  Concat({Repeat("x", 9), {"a", "w"}}),
                  Rows({"1/1 C", "2/2 C"}, "T", 0, 3, 7, {"3/10 E", "0/11 T"}),
                  10},
        AlignCase{"SecondSearchJustBeyondTargetWindow",
                  {"z", "w", "a"},
                  Concat({Repeat("x", 10), {"a", "w"}}),
                  Rows({"1/1 C"}, "T", 0, 2, 10, {"2/12 E", "3/0 S"}),
                  12},
        AlignCase{"SecondSearchAtEndOfSourceWindow", Concat({{"z"}, Repeat("q", 19), {"a"}}),
                  Concat({{"y", "a"}, Repeat("p", 9), {"q1"}}),
                  Rows(Rows({"1/1 C"}, "S", 2, 0, 19, {"21/2 E"}), "T", 0, 3, 10), 30},
        AlignCase{"SecondSearchJustBeyondSourceWindow", Concat({{"z"}, Repeat("q", 20), {"a"}}),
                  Concat({{"y", "a"}, Repeat("p", 9), {"q1"}}),
                  Rows(Rows({"1/1 C"}, "T", 0, 2, 10, {"2/12 E"}), "S", 3, 0, 20), 31},
        AlignCase{"NearestSourceLineBeatsNearerTargetLine",
                  {"z", "b", "a"},
                  {"a", "b"},
                  {"1/1 C", "2/2 E", "3/0 S"},
                  2},
        AlignCase{"NearestTargetLineWins", {"a"}, {"a", "a"}, {"1/1 E", "0/2 T"}, 1},
        AlignCase{"BlankSourceLineLeftAlone", {"", "x"}, {"x"}, {"1/0 S", "2/1 E"}, 0},
        AlignCase{"LastSourceLinePairedAsChanged", {"x"}, {"y", "z"}, {"1/1 C", "0/2 T"}, 2},
        AlignCase{
            "TabIsNotFourSpaces", {"a\tb", "\tc"}, {"a    b", "    c"}, {"1/1 C", "2/2 C"}, 2},
        AlignCase{"CaseAndTrailingSpaceMatter", {"A", "a "}, {"a", "a"}, {"1/1 C", "2/2 C"}, 2},
        // Both expand to the same spaces; only the places of the tabs tell them apart.
        AlignCase{"ManyLeadingTabsMatchExactly",
                  {std::string(70000, '\t') + "x", std::string(69999, '\t') + "    x"},
                  {std::string(69999, '\t') + "    x", std::string(70000, '\t') + "x"},
                  {"0/1 T", "1/2 E", "2/0 S"},
                  2},
        AlignCase{"TabsInTheMiddleMatchExactly",
                  {"a\t    b", "a    \tb", "\t\tc\td"},
                  {"a    \tb", "\t\tc\td"},
                  {"1/0 S", "2/1 E", "3/2 E"},
                  1}),
    CaseName);

// Random files built to hit every branch: a small vocabulary so that lines repeat and match at
// every distance, blank lines, tabs against spaces, CR LF ends, edits of every size.
std::string RandomLine(std::mt19937& random) {
    static const char* const kVocabulary[] = {"a",    "b",    "c",      "d",   "",    "", "\t",
                                              "    ", "a\tb", "a    b", "\ta", "x\r", "}"};
    const std::size_t n = sizeof kVocabulary / sizeof kVocabulary[0];
    return kVocabulary[random() % n];
}

std::string RandomFileBytes(const Lines& lines, std::mt19937& random) {
    std::string bytes;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        bytes += lines[i];
        const bool last = i + 1 == lines.size();
        if (!(last && !lines[i].empty() && random() % 4 == 0)) {
            bytes += random() % 3 == 0 ? "\r\n" : "\n";
        }
    }
    return bytes;
}

// Files of distinct lines between shared ones, the gaps on each side often just inside or just
// past a window's edge, so that pairs turn up at exactly the distances the windows decide on;
// some shared lines repeat or are blank.
void GapsAtWindowEdges(std::mt19937& random, Lines& source, Lines& target) {
    static const unsigned kEdges[] = {0, 1, 8, 9, 10, 11, 19, 20, 21, 22, 30, 31, 32, 33};
    const auto gap = [&random] {
        return random() % 2 == 0 ? kEdges[random() % std::size(kEdges)] : random() % 36;
    };
    for (unsigned segments = random() % 4 + 1; segments > 0; --segments) {
        for (unsigned n = gap(); n > 0; --n) {
            source.push_back(std::to_string(source.size()) + "s");
        }
        for (unsigned n = gap(); n > 0; --n) {
            target.push_back(std::to_string(target.size()) + "t");
        }
        const unsigned shared = random() % 8;
        const std::string line = shared == 0 ? "" : std::to_string(shared % 3) + "m";
        source.push_back(line);
        target.push_back(line);
    }
}

// The target an edited source: lines changed, blocks inserted and deleted, some of them longer
// than the windows.
void EditedFiles(std::mt19937& random, Lines& source, Lines& target) {
    source.resize(random() % 80);
    for (std::string& line : source) {
        line = RandomLine(random);
    }
    for (std::size_t i = 0; i < source.size();) {
        const unsigned edit = random() % 20;
        if (edit == 0) {
            i += random() % 25 + 1;
        } else if (edit == 1) {
            for (unsigned n = random() % 25 + 1; n > 0; --n) {
                target.push_back(RandomLine(random));
            }
        } else if (edit == 2) {
            target.push_back(RandomLine(random));
            ++i;
        } else {
            target.push_back(source[i++]);
        }
    }
}

constexpr CCompareOptions kChanges{CCompareOptions::whitespaceChanges};
constexpr CCompareOptions kCase{.bIgnoreCase = true};
constexpr CCompareOptions kBlank{.bIgnoreBlankLines = true};
constexpr CCompareOptions kBlankAndAllSpace{CCompareOptions::whitespaceAll, false, true};

// Thirty lines of code, and the same with 25 blank lines in their middle: the blank lines take
// up the windows of the default pass.
const Lines kCode = Concat({Repeat("int head = ", 15), Repeat("int tail = ", 15)});
const Lines kCodeWithBlankRun =
    Concat({Repeat("int head = ", 15), Lines(25, ""), Repeat("int tail = ", 15)});

INSTANTIATE_TEST_SUITE_P(
    Options, Alignment,
    testing::Values(
        AlignCase{"ChangesInWhiteSpaceAmount",
                  {"a  b", "\tx = 1;", "y \t", "p\t\tq"},
                  {"a b", " x  =\t1;", "y", "p q"},
                  Rows({}, "E", 1, 1, 4),
                  0,
                  kChanges},
        // Only ASCII letters fold: an accented capital stays itself.
        AlignCase{"AsciiCase",
                  {"Hello World", "X", "\xC3\x89t\xC3\xA9"},
                  {"hELLO wORLD", "x", "\xC3\xA9t\xC3\xA9"},
                  {"1/1 E", "2/2 E", "3/3 C"},
                  1,
                  kCase},
        // A line of spaces and tabs is blank under a white-space option: never matched, and no
        // difference alone or opposite another blank line.
        AlignCase{"WhiteSpaceOnlyLinesAreBlank",
                  {"a", "   ", "b", "\t", "c"},
                  {"a", "", "b", "c"},
                  {"1/1 E", "2/2 C", "3/3 E", "4/0 S", "5/4 E"},
                  0,
                  kChanges},
        AlignCase{"BlankRunTakesNoPartInPairing", kCode, kCodeWithBlankRun,
                  Rows(Rows(Rows({}, "E", 1, 1, 15), "T", 0, 16, 25), "E", 16, 41, 15), 0, kBlank},
        AlignCase{"BlankLinesBeforeTheSameLineStandOpposite",
                  {"a", "", "", "b", "c"},
                  {"a", "", "b", "", "c", ""},
                  {"1/1 E", "2/2 C", "3/0 S", "4/3 E", "0/4 T", "5/5 E", "0/6 T"},
                  0,
                  kBlank},
        // A blank line waits for the next line of its own file, whatever the other file does.
        AlignCase{"BlankLineBeforeALineOfTheOtherFileOnly",
                  {"a", "", "b"},
                  {"a", "x", "b"},
                  {"1/1 E", "2/0 S", "0/2 T", "3/3 E"},
                  1,
                  kBlank},
        AlignCase{"WhiteSpaceLinesTakeNoPartUnderBothOptions",
                  {"f(a, b);", "", "g();"},
                  Concat({{"f(a,b);"}, Lines(30, " \t "), {"g ( ) ;"}}),
                  Rows({"1/1 E", "2/2 C"}, "T", 0, 3, 29, {"3/32 E"}),
                  0,
                  kBlankAndAllSpace}),
    CaseName);

// Lines made of a few letters in either case, spaces and tabs, some of them long enough for the
// hash to take several windows of their text: many lines are equal only under some options, and
// many are blank only under some.
std::string RandomOptionLine(std::mt19937& random) {
    static const char* const kPieces[] = {"a", "A", "b", "B", " ", "\t", "  ", "x"};
    std::string line;
    const unsigned pieces = random() % 9 == 0 ? 150 + random() % 200 : random() % 5;
    for (unsigned i = 0; i < pieces; ++i) {
        line += kPieces[random() % std::size(kPieces)];
    }
    return line;
}

const Lines kHead = Repeat("h", 5);
const Lines kTail = Repeat("z", 5);
const Lines kBlock = Repeat("x", 30);
const Lines kOtherBlock = Repeat("y", 30);
const Lines kMiddle = Repeat("m", 40);
// Two lines of the tail inside the block, beyond the windows: too short a run to meet on.
const Lines kBlockWithCoincidence = Concat({Repeat("x", 24), {"z1", "z2"}, Repeat("w", 14)});
// Lines that a blank line interrupts on both sides still meet.
const Lines kBlankTail = {"z1", "", "z2", "", "", "z3", "z4"};
// A run of exactly three equal lines, then a changed line.
const Lines kThreeThenQ = {"z1", "z2", "z3", "q", "w1", "w2", "w3", "w4", "w5"};
const Lines kThreeThenR = {"z1", "z2", "z3", "r", "w1", "w2", "w3", "w4", "w5"};
// "c" occurs 15 times in the two files: a common line. Three of them in a row inside the
// inserted block are no place to meet; the tail, where a line that is not common follows them,
// is.
const Lines kCommonHead = {"h1", "c", "h2", "c", "h3", "c"};
const Lines kCommonTail = {"c", "c", "c", "t1", "t2", "t3"};
const Lines kBlockWithCommonRun = Concat({Repeat("y", 10), {"c", "c", "c"}, Repeat("v", 27)});

INSTANTIATE_TEST_SUITE_P(
    Realign, Alignment,
    testing::ValuesIn(Realigning(
        {AlignCase{"InsertedBlock", Concat({kHead, kTail}), Concat({kHead, kBlock, kTail}),
                   Rows(Rows(Rows({}, "E", 1, 1, 5), "T", 0, 6, 30), "E", 6, 36, 5), 30},
         AlignCase{"DeletedBlock", Concat({kHead, kBlock, kTail}), Concat({kHead, kTail}),
                   Rows(Rows(Rows({}, "E", 1, 1, 5), "S", 6, 0, 30), "E", 36, 6, 5), 30},
         AlignCase{"ChangedBlock", Concat({kHead, kBlock, kTail}),
                   Concat({kHead, kOtherBlock, kTail}),
                   Rows(Rows(Rows({}, "E", 1, 1, 5), "C", 6, 6, 30), "E", 36, 36, 5), 30},
         // The block moves past a longer stretch, which stays in step.
         AlignCase{"MovedBlock", Concat({kHead, kBlock, kMiddle, kTail}),
                   Concat({kHead, kMiddle, kBlock, kTail}),
                   Rows(Rows(Rows(Rows(Rows({}, "E", 1, 1, 5), "S", 6, 0, 30), "E", 36, 6, 40), "T",
                             0, 46, 30),
                        "E", 76, 76, 5),
                   60},
         AlignCase{"ShortCoincidenceIsNoMeeting", Concat({kHead, kTail}),
                   Concat({kHead, kBlockWithCoincidence, kTail}),
                   Rows(Rows(Rows({}, "E", 1, 1, 5), "T", 0, 6, 40), "E", 6, 46, 5), 40},
         AlignCase{"BlankLinesAreNeverMatched", Concat({kHead, kBlankTail}),
                   Concat({kHead, kBlock, kBlankTail}),
                   Rows(Rows({}, "E", 1, 1, 5), "T", 0, 6, 30,
                        {"6/36 E", "7/37 C", "8/38 E", "9/39 C", "10/40 C", "11/41 E", "12/42 E"}),
                   30},
         AlignCase{"RunOfExactlyThreeMeets", Concat({kHead, kThreeThenQ}),
                   Concat({kHead, kBlock, kThreeThenR}),
                   Rows(Rows(Rows(Rows({}, "E", 1, 1, 5), "T", 0, 6, 30), "E", 6, 36, 3), "C", 9,
                        39, 1, {"10/40 E", "11/41 E", "12/42 E", "13/43 E", "14/44 E"}),
                   31},
         // The windows pair the first "}" with the target's, five lines on; nothing equal
         // follows, so the block is passed over as deleted instead.
         AlignCase{"PairOfCommonLinesInsideTheWindowsIsPassedOver",
                   {"h1", "h2", "x1", "x2", "x3", "}", "z1", "}", "z2", "z3"},
                   {"h1", "h2", "z1", "}", "z2", "z3"},
                   Rows(Rows({"1/1 E", "2/2 E"}, "S", 3, 0, 4), "E", 7, 3, 4),
                   4},
         AlignCase{"RunOfThreeCommonLinesIsNoMeeting", Concat({kCommonHead, kCommonTail}),
                   Concat({kCommonHead, kBlockWithCommonRun, kCommonTail}),
                   Rows(Rows(Rows({}, "E", 1, 1, 6), "T", 0, 7, 40), "E", 7, 47, 6), 40},
         AlignCase{"IdenticalFilesOfRepeatedLines", Concat({Lines(30, "r"), Lines(30, ""), {"r"}}),
                   Concat({Lines(30, "r"), Lines(30, ""), {"r"}}),
                   Rows(Rows(Rows({}, "E", 1, 1, 30), "C", 31, 31, 30), "E", 61, 61, 1), 0},
         // Under a white-space option lines of spaces and tabs are blank: never matched, and
         // they do not break a run of equal lines.
         AlignCase{"WhiteSpaceLinesAreBlankUnderChanges",
                   Concat({kHead, kBlankTail}),
                   Concat({kHead, kBlock, {"z1 ", "  ", "z2", "\t", "", "z3", "z4"}}),
                   Rows(Rows({}, "E", 1, 1, 5), "T", 0, 6, 30,
                        {"6/36 E", "7/37 C", "8/38 E", "9/39 C", "10/40 C", "11/41 E", "12/42 E"}),
                   30,
                   {CCompareOptions::whitespaceChanges}}})),
    CaseName);

// The length of a longest common subsequence of non-blank lines: the most equal rows any
// alignment can have.
std::size_t CommonLines(const Lines& a, const Lines& b) {
    std::vector<std::size_t> row(b.size() + 1, 0);
    for (const std::string& line : a) {
        std::size_t diagonal = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            const std::size_t above = row[j + 1];
            row[j + 1] = !line.empty() && line == b[j] ? diagonal + 1 : std::max(above, row[j]);
            diagonal = above;
        }
    }
    return row.back();
}

std::size_t EqualRows(const CCompareResult& result) {
    const std::vector<std::int32_t> kinds = result.m_kind;
    return static_cast<std::size_t>(std::count(kinds.begin(), kinds.end(), kindEqual));
}

// Random files of mostly distinct lines, a few from a small vocabulary and some blank, edited
// by blocks of up to 300 lines. Every table keeps the invariants and at least the equal rows of
// the default pass; where the edits stand apart and the lines are distinct, the realigned rows
// keep every line the files have in common.
TEST(RealignmentRandom, KeepsTheInvariantsAndEveryCommonLineOfSeparateEdits) {
    const CScratchDir files;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const bool distinct = seed % 2 == 0;
        int next = 0;
        const auto line = [&] {
            const unsigned roll = random() % 10;
            if (!distinct && roll < 3) {
                return std::string(roll == 0 ? "" : roll == 1 ? "}" : "{");
            }
            return std::to_string(next++);
        };
        Lines source;
        Lines target;
        while (source.size() < 600) {
            for (unsigned n = random() % 40 + 10; n > 0; --n) {
                source.push_back(line());
                target.push_back(source.back());
            }
            const unsigned kind = random() % 3;
            for (unsigned n = random() % (random() % 4 == 0 ? 300 : 40) + 1; n > 0; --n) {
                if (kind != 1) {
                    source.push_back(line());
                }
                if (kind != 0) {
                    target.push_back(line());
                }
            }
        }
        const std::unique_ptr<CCompareResult> result = CompareRealigning(files, source, target);
        ASSERT_NE(result, nullptr);
        ASSERT_EQ(reference::CheckInvariants(*result, source, target), "");
        const std::size_t equal = EqualRows(*result);
        if (distinct) {
            EXPECT_EQ(equal, CommonLines(source, target));
        }
        EXPECT_GE(equal, EqualRows(*CompareBothWays(files.Path("source"), files.Path("target"))));
    }
}

// Every combination of the options (half the files under none), in both modes: the default pass
// gives the reference's rows, and both keep the invariants under the options. Every 25th pair is
// long enough to be read in several chunks: its lines are widened alike on both sides, so that
// they match as before.
TEST(AlignmentRandom, FilesMatchTheReferenceUnderEveryOption) {
    const CScratchDir files;
    for (unsigned seed = 1; seed <= 1200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const CCompareOptions options =
            seed / 3 % 2 == 0 ? CCompareOptions{}
                              : CCompareOptions{static_cast<std::uint8_t>(seed / 6 % 3),
                                                seed / 18 % 2 != 0, seed / 36 % 2 != 0};
        Lines source;
        Lines target;
        if (seed % 3 == 0) {
            source.resize(random() % 60);
            for (std::string& line : source) {
                line = RandomOptionLine(random);
            }
            for (const std::string& line : source) {
                const unsigned edit = random() % 8;
                if (edit == 0) {
                    target.push_back(RandomOptionLine(random));
                } else if (edit != 1) {
                    target.push_back(line);
                }
                for (unsigned n = edit == 2 ? random() % 25 : 0; n > 0; --n) {
                    target.push_back(random() % 2 ? "" : RandomOptionLine(random));
                }
            }
        } else {
            (seed % 3 == 1 ? GapsAtWindowEdges : EditedFiles)(random, source, target);
        }
        if (seed % 25 == 0) {
            const std::string wide(600'000 / (source.size() + 1), 'w');
            for (Lines* lines : {&source, &target}) {
                for (std::string& line : *lines) {
                    line = line.empty() ? line : wide + line;
                }
            }
        }
        const std::string sourceBytes = RandomFileBytes(source, random);
        const std::string targetBytes = RandomFileBytes(target, random);
        const Lines sourceLines = reference::ReadLines(sourceBytes);
        const Lines targetLines = reference::ReadLines(targetBytes);
        const std::unique_ptr<CCompareResult> result =
            CompareBothWays(files.Write("s", sourceBytes), files.Write("t", targetBytes), options);
        if (sourceLines.empty() && targetLines.empty()) {
            EXPECT_EQ(result, nullptr);
            continue;
        }
        ASSERT_NE(result, nullptr);
        ASSERT_EQ(reference::CheckInvariants(*result, sourceLines, targetLines, options), "");
        ASSERT_EQ(reference::RowsOf(*result), reference::Align(sourceLines, targetLines, options));

        CLineComparer realigning;
        realigning.SetFiles(files.Path("s"), files.Path("t"));
        realigning.SetRealign(true);
        realigning.SetOptions(options);
        const std::unique_ptr<CCompareResult> realigned = realigning.Compare();
        ASSERT_NE(realigned, nullptr);
        ASSERT_EQ(reference::CheckInvariants(*realigned, sourceLines, targetLines, options), "");
        EXPECT_GE(EqualRows(*realigned), EqualRows(*result));
    }
}

}  // namespace
