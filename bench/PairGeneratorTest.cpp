#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "bench/PairGenerator.h"

namespace {

class CStringSink : public CByteSink {
public:
    void Write(std::string_view bytes) override { m_text += bytes; }
    std::string m_text;
};

struct CGenerated {
    std::string source;
    std::string target;
    CPairCounts counts;
};

CGenerated Generate(const CPairRecipe& recipe) {
    CStringSink source;
    CStringSink target;
    CGenerated generated;
    generated.counts = CPairGenerator::Generate(recipe, source, target);
    generated.source = std::move(source.m_text);
    generated.target = std::move(target.m_text);
    return generated;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every shape, small enough for a unit test.
const CPairRecipe kSmallPairs[] = {
    {"realistic", PairShape::realistic, 20'000, 11, false, ""},
    {"longLine", PairShape::longLine, 3'000'000, 12, false, ""},
    {"blankLines", PairShape::blankLines, 5'000, 0, false, ""},
    {"disjoint", PairShape::disjoint, 20'000, 13, false, ""},
    {"repeated", PairShape::repeated, 5'000, 0, false, ""},
    {"repeatedShifted", PairShape::repeatedShifted, 5'000, 0, false, ""},
    {"cycle", PairShape::cycle, 5'000, 14, false, ""},
};

class PairShapeTest : public testing::TestWithParam<CPairRecipe> {};

TEST_P(PairShapeTest, SameBytesEveryTimeEndingInALineFeed) {
    const CGenerated first = Generate(GetParam());
    const CGenerated second = Generate(GetParam());
    EXPECT_EQ(first.source, second.source);
    EXPECT_EQ(first.target, second.target);
    ASSERT_FALSE(first.source.empty());
    ASSERT_FALSE(first.target.empty());
    EXPECT_EQ(first.source.back(), '\n');
    EXPECT_EQ(first.target.back(), '\n');
    EXPECT_EQ(std::count(first.source.begin(), first.source.end(), '\n'), first.counts.sourceLines);
    EXPECT_EQ(std::count(first.target.begin(), first.target.end(), '\n'), first.counts.targetLines);
}

// The reader gives CR, NUL and 0x1A meanings of their own; the pairs measure plain text.
TEST_P(PairShapeTest, HoldsNoBytesTheReaderTreatsSpecially) {
    const CGenerated pair = Generate(GetParam());
    for (const std::string* pText : {&pair.source, &pair.target}) {
        EXPECT_EQ(pText->find_first_of(std::string("\r\x1a\0", 3)), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, PairShapeTest, testing::ValuesIn(kSmallPairs),
                         [](const testing::TestParamInfo<CPairRecipe>& info) {
                             return std::string(info.param.name);
                         });

TEST(RealisticPair, LooksLikeSourceText) {
    const CGenerated pair = Generate(kSmallPairs[0]);
    const std::vector<std::string> lines = SplitLines(pair.source);
    ASSERT_EQ(lines.size(), 20'000u);
    std::size_t tabbed = 0;
    std::size_t blank = 0;
    std::size_t comments = 0;
    std::set<std::string> distinct;
    for (const std::string& line : lines) {
        tabbed += line.starts_with('\t');
        blank += line.empty();
        comments += line.find("//") != std::string::npos;
        distinct.insert(line);
    }
    const double n = static_cast<double>(lines.size());
    EXPECT_NEAR(static_cast<double>(pair.source.size()) / n, 37.0, 3.0);
    EXPECT_NEAR(tabbed / n, 0.85, 0.1);
    EXPECT_NEAR(blank / n, 0.09, 0.04);
    EXPECT_NEAR(comments / n, 0.13, 0.05);
    EXPECT_GT(distinct.size(), lines.size() / 2);  // varied, not a few lines over and over
}

TEST(RealisticPair, TargetIsAnEditedCopy) {
    const CPairRecipe recipe{"realistic", PairShape::realistic, 200'000, 21, false, ""};
    const CGenerated pair = Generate(recipe);
    const CPairCounts& counts = pair.counts;
    EXPECT_EQ(counts.sourceLines, recipe.size);
    EXPECT_EQ(counts.targetLines, counts.sourceLines - counts.deleted + counts.inserted);
    EXPECT_NEAR(static_cast<double>(counts.changed) / recipe.size, 0.01, 0.002);
    // Blocks of 1 to 30 lines starting once in 2,000 lines: about 0.8% of lines each way.
    EXPECT_NEAR(static_cast<double>(counts.inserted) / recipe.size, 0.00775, 0.003);
    EXPECT_NEAR(static_cast<double>(counts.deleted) / recipe.size, 0.00775, 0.003);

    // A line present on one side only must have been edited: the multiset difference of the
    // two sides is bounded by the edits, and changed lines do show up in it.
    std::map<std::string, long> balance;
    for (const std::string& line : SplitLines(pair.source)) {
        ++balance[line];
    }
    for (const std::string& line : SplitLines(pair.target)) {
        --balance[line];
    }
    long sourceOnly = 0;
    long targetOnly = 0;
    for (const auto& [line, count] : balance) {
        (count > 0 ? sourceOnly : targetOnly) += std::abs(count);
    }
    EXPECT_LE(sourceOnly, counts.changed + counts.deleted);
    EXPECT_LE(targetOnly, counts.changed + counts.inserted);
    EXPECT_GE(targetOnly, counts.changed / 2);
}

// Moved blocks leave their place and come back later: no line is lost or added by a move.
TEST(RealisticPair, MovedBlocksComeBackWhole) {
    CPairRecipe recipe{"moves", PairShape::realistic, 200'000, 21, false, ""};
    recipe.moves = true;
    const CGenerated moved = Generate(recipe);
    EXPECT_NEAR(static_cast<double>(moved.counts.moved) / recipe.size, 32.5 / 5000, 0.003);
    EXPECT_EQ(moved.counts.targetLines,
              moved.counts.sourceLines - moved.counts.deleted + moved.counts.inserted);
}

TEST(RealisticPair, SeedsGiveDifferentTexts) {
    CPairRecipe other = kSmallPairs[0];
    other.seed += 1;
    EXPECT_NE(Generate(kSmallPairs[0]).source, Generate(other).source);
}

TEST(HostilePairs, LongLineIsOneLineAFewBytesApart) {
    const CPairRecipe& recipe = kSmallPairs[1];
    const CGenerated pair = Generate(recipe);
    ASSERT_EQ(pair.source.size(), static_cast<std::size_t>(recipe.size) + 1);
    ASSERT_EQ(pair.target.size(), pair.source.size());
    EXPECT_EQ(pair.counts.sourceLines, 1);
    EXPECT_EQ(pair.counts.targetLines, 1);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < pair.source.size(); ++i) {
        differing += pair.source[i] != pair.target[i];
    }
    EXPECT_EQ(differing, 3u);
    EXPECT_NE(pair.source.find('\t'), std::string::npos);  // tab expansion has work to do
}

TEST(HostilePairs, BlankLinesAreOnlyLineFeeds) {
    const CGenerated pair = Generate(kSmallPairs[2]);
    EXPECT_EQ(pair.source, std::string(5'000, '\n'));
    EXPECT_EQ(pair.target, pair.source);
}

TEST(HostilePairs, DisjointSidesShareNoLineAndHaveNoBlankLine) {
    const CGenerated pair = Generate(kSmallPairs[3]);
    const std::vector<std::string> source = SplitLines(pair.source);
    const std::vector<std::string> target = SplitLines(pair.target);
    EXPECT_EQ(source.size(), 20'000u);
    EXPECT_EQ(target.size(), 20'000u);
    const std::set<std::string> sourceSet(source.begin(), source.end());
    for (const std::string& line : target) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(sourceSet.count(line), 0u) << line;
    }
    EXPECT_EQ(sourceSet.count(""), 0u);
}

TEST(HostilePairs, RepeatedLinesAndTheirShift) {
    const CGenerated same = Generate(kSmallPairs[4]);
    const std::vector<std::string> lines = SplitLines(same.source);
    ASSERT_EQ(lines.size(), 5'000u);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), 1u);
    EXPECT_EQ(same.target, same.source);

    const CGenerated shifted = Generate(kSmallPairs[5]);
    EXPECT_EQ(shifted.source, same.source);
    const std::vector<std::string> target = SplitLines(shifted.target);
    ASSERT_EQ(target.size(), 5'003u);
    EXPECT_NE(target[2], lines[0]);
    EXPECT_EQ(shifted.target.substr(shifted.target.size() - same.source.size()), same.source);
}

TEST(HostilePairs, CycleOfFiveTextsBehindNewLines) {
    const CGenerated pair = Generate(kSmallPairs[6]);
    const std::vector<std::string> source = SplitLines(pair.source);
    const std::vector<std::string> target = SplitLines(pair.target);
    ASSERT_EQ(source.size(), 5'000u);
    ASSERT_EQ(target.size(), 6'000u);
    const std::set<std::string> five(source.begin(), source.end());
    EXPECT_EQ(five.size(), 5u);
    for (std::size_t i = 0; i < source.size(); ++i) {
        ASSERT_EQ(source[i], source[i % 5]);
    }
    EXPECT_EQ(pair.target.substr(pair.target.size() - pair.source.size()), pair.source);
    for (std::size_t i = 0; i < 1'000; ++i) {
        ASSERT_EQ(five.count(target[i]), 0u) << target[i];
    }
}

// Pairs of this machine's source files: the same bytes every time, plain text, an edited copy.
TEST(SourcePair, SameBytesEveryTimeAndAnEditedCopy) {
    const CPairRecipe* pRecipe = CPairGenerator::FindPair("code-cxx-30k-seed5");
    ASSERT_NE(pRecipe, nullptr);
    const CGenerated pair = Generate(*pRecipe);
    EXPECT_EQ(Generate(*pRecipe).target, pair.target);
    EXPECT_EQ(pair.counts.sourceLines, 30'000);
    EXPECT_EQ(std::count(pair.target.begin(), pair.target.end(), '\n'), pair.counts.targetLines);
    EXPECT_EQ(pair.counts.targetLines,
              pair.counts.sourceLines - pair.counts.deleted + pair.counts.inserted);
    for (const std::string* pText : {&pair.source, &pair.target}) {
        EXPECT_EQ(pText->find_first_of(std::string("\r\x1a\0", 3)), std::string::npos);
    }
    EXPECT_NEAR(static_cast<double>(pair.counts.changed) / 30'000, 0.007, 0.003);
    EXPECT_GT(pair.counts.moved, 0);
    CPairRecipe reseeded = *pRecipe;
    reseeded.seed += 1;
    EXPECT_NE(Generate(reseeded).source, pair.source);
}

TEST(SourcePair, NamesGiveMixSizeAndSeed) {
    const CPairRecipe* pRecipe = CPairGenerator::FindPair("code-script-2m-seed9");
    ASSERT_NE(pRecipe, nullptr);
    EXPECT_EQ(pRecipe->shape, PairShape::sourceFiles);
    EXPECT_EQ(pRecipe->mix, SourceMix::script);
    EXPECT_EQ(pRecipe->size, 2'000'000);
    EXPECT_EQ(pRecipe->seed, 9u);
    EXPECT_EQ(CPairGenerator::FindPair("code-cxx-500k")->size, 500'000);
    for (const char* bad :
         {"code-cxx", "code-lisp-1m", "code-cxx-1x", "code-cxx-1m-seed", "code-cxx-0k"}) {
        EXPECT_EQ(CPairGenerator::FindPair(bad), nullptr) << bad;
    }
}

class PrepareTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("tessiver-pairs-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path m_dir;
    const CPairRecipe m_spec{"small", PairShape::realistic, 3'000, 5, false, ""};
};

TEST_F(PrepareTest, WritesThePairOnceAndReusesIt) {
    const CPairGenerator generator(m_dir);
    const CPairFiles first = generator.Prepare(m_spec);
    EXPECT_TRUE(first.generated);
    const CGenerated expected = Generate(m_spec);
    EXPECT_EQ(ReadFile(first.source), expected.source);
    EXPECT_EQ(ReadFile(first.target), expected.target);
    EXPECT_EQ(first.sourceBytes, expected.source.size());
    EXPECT_EQ(first.targetBytes, expected.target.size());

    const CPairFiles again = generator.Prepare(m_spec);
    EXPECT_FALSE(again.generated);
    EXPECT_EQ(again.source, first.source);
    EXPECT_EQ(again.sourceBytes, first.sourceBytes);
    EXPECT_EQ(again.targetBytes, first.targetBytes);
}

TEST_F(PrepareTest, RegeneratesAFileOfTheWrongSizeOrAnotherSpec) {
    const CPairGenerator generator(m_dir);
    const CPairFiles first = generator.Prepare(m_spec);
    std::filesystem::resize_file(first.target, first.targetBytes / 2);
    const CPairFiles mended = generator.Prepare(m_spec);
    EXPECT_TRUE(mended.generated);
    EXPECT_EQ(ReadFile(mended.target), Generate(m_spec).target);

    CPairRecipe reseeded = m_spec;
    reseeded.seed += 1;
    EXPECT_TRUE(generator.Prepare(reseeded).generated);
    EXPECT_EQ(ReadFile(first.source), Generate(reseeded).source);
}

TEST(SelectPairs, DefaultLeavesOutTheLargeOnesAndNamesKeepTheirOrder) {
    std::set<std::string> names;
    for (const CPairRecipe& recipe : CPairGenerator::GetPairs()) {
        EXPECT_TRUE(names.insert(recipe.name).second) << "two pairs named " << recipe.name;
    }
    const auto defaults = CPairGenerator::SelectPairs({}, false);
    const auto all = CPairGenerator::SelectPairs({}, true);
    EXPECT_EQ(all.size(), CPairGenerator::GetPairs().size());
    EXPECT_LT(defaults.size(), all.size());
    for (const CPairRecipe* pSpec : defaults) {
        EXPECT_FALSE(pSpec->large) << pSpec->name;
    }

    const auto named = CPairGenerator::SelectPairs({"disjoint-1m", "realistic-10m"}, false);
    ASSERT_EQ(named.size(), 2u);
    EXPECT_STREQ(named[0]->name, "disjoint-1m");
    EXPECT_STREQ(named[1]->name, "realistic-10m");
    EXPECT_THROW(CPairGenerator::SelectPairs({"no-such-pair"}, false), std::invalid_argument);
}

}  // namespace
