#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "engine/InlineComparer.h"
#include "tests/engine/InlineCheck.h"

void PrintTo(const CByteSpan& span, std::ostream* out) {
    *out << span.begin << "-" << span.end;
}

namespace {

using Spans = std::vector<CByteSpan>;

CInlineChanges Changes(std::string_view source, std::string_view target) {
    CInlineComparer comparer;
    CInlineChanges changes;
    comparer.Compare(source, target, changes);
    EXPECT_EQ(reference::CheckInlineChanges(source, target, changes), "");
    return changes;
}

TEST(InlineComparer, MarksExactlyWhatDiffers) {
    struct Case {
        const char* name;
        std::string source, target;
        Spans sourceSpans, targetSpans;
    };
    const Case cases[] = {
        {"substitution", "the cat sat", "the cot sat", {{5, 6}}, {{5, 6}}},
        {"insertion", "color", "colour", {}, {{4, 5}}},
        {"deletion", "int x = 1;", "x = 1;", {{0, 4}}, {}},
        {"two words", "f(x, y);", "g(x, z);", {{0, 1}, {5, 6}}, {{0, 1}, {5, 6}}},
        {"changed word", "the quick fox", "the slow fox", {{4, 9}}, {{4, 8}}},
        {"short equal run in changed words", "fox", "dog", {{0, 3}}, {{0, 3}}},
        {"changed words a blank apart", "cat dog", "cut dig", {{1, 2}, {5, 6}}, {{1, 2}, {5, 6}}},
        {"changes a sign apart", "x = a.b;", "x = c.d;", {{4, 7}}, {{4, 7}}},
        {"stray letters in common", "return 0;", "len = strlen;", {{0, 8}}, {{0, 12}}},
        {"edits apart in one word", "a1bcd2e", "aXbcdYe", {{1, 2}, {5, 6}}, {{1, 2}, {5, 6}}},
        {"nothing in common", "abc", "xyz", {{0, 3}}, {{0, 3}}},
        {"equal texts", "same", "same", {}, {}},
        {"empty against text", "", "abc", {}, {{0, 3}}},
        {"two-byte character", "na\xC3\xAFve", "naive", {{2, 4}}, {{2, 3}}},
        {"same lead byte", "caf\xC3\xA9", "caf\xC3\xA8", {{3, 5}}, {{3, 5}}},
        {"same last bytes", "\xC3\xA9t\xC3\xA9", "\xC2\xA9t\xC3\xA9", {{0, 2}}, {{0, 2}}},
        {"four-byte character", "a\xF0\x9F\x98\x80!", "a\xF0\x9F\x98\x81!", {{1, 5}}, {{1, 5}}},
        {"invalid bytes", "a\xFF\xFE", "a\xFF\xFD", {{2, 3}}, {{2, 3}}},
        {"lone lead byte against a sequence", "\xC3x", "\xC3\xA9", {{0, 2}}, {{0, 2}}},
        {"surrogate is three bytes", "\xED\xA0\x80", "\xED\xA0\x81", {{2, 3}}, {{2, 3}}},
    };
    for (const Case& c : cases) {
        const CInlineChanges changes = Changes(c.source, c.target);
        EXPECT_EQ(changes.source, c.sourceSpans) << c.name;
        EXPECT_EQ(changes.target, c.targetSpans) << c.name;
        EXPECT_FALSE(changes.bWhole) << c.name;
    }
}

TEST(InlineComparer, LongLinesAndTheBounds) {
    std::string line;
    while (line.size() < 2'000'000) {
        line +=
            "    const std::string_view text = column[i];  // row " + std::to_string(line.size());
    }
    // One change in 2 MB: that character.
    const std::size_t middle = line.size() / 2;
    std::string target = line;
    target.replace(middle, 1, "\xC3\xA9");
    CInlineChanges changes = Changes(line, target);
    EXPECT_EQ(changes.source, (Spans{{middle, middle + 1}}));
    EXPECT_EQ(changes.target, (Spans{{middle, middle + 2}}));
    // Looking no further than the common start, as a pane that shows no more does: no spans.
    CInlineComparer comparer;
    comparer.Compare(line, target, changes, middle);
    EXPECT_TRUE(changes.bBeyond && changes.source.empty() && changes.target.empty());
    comparer.Compare(line, target, changes, middle + 1);
    EXPECT_EQ(changes.source, (Spans{{middle, middle + 1}}));
    EXPECT_FALSE(changes.bBeyond);

    // Changed letters spread over most of the middle's bound: each found, however far apart.
    target = line;
    Spans expected;
    for (std::size_t at = 1000; at < 61'000; at += 3000) {
        at = target.find_first_of("acegikmoqsuwy", at);
        target[at] = 'x';
        expected.push_back({at, at + 1});
    }
    changes = Changes(line, target);
    EXPECT_EQ(changes.source, expected);
    EXPECT_EQ(changes.target, expected);

    // Past the middle's bound: the middle whole, said so.
    target[expected.front().begin + CInlineComparer::kMostMiddle] = '#';
    changes = Changes(line, target);
    const Spans whole{
        {expected.front().begin, expected.front().end + CInlineComparer::kMostMiddle}};
    EXPECT_EQ(changes.source, whole);
    EXPECT_EQ(changes.target, whole);
    EXPECT_TRUE(changes.bWhole);

    // More word edits than the bound: the same.
    std::string words;
    for (int i = 0; i <= CInlineComparer::kMostEdits / 2; ++i) {
        words += "ab ";
    }
    std::string others = words;
    std::replace(others.begin(), others.end(), 'b', 'c');
    changes = Changes(words, others);
    EXPECT_EQ(changes.source, (Spans{{1, words.size() - 1}}));
    EXPECT_TRUE(changes.bWhole);

    // A changed word whose characters need one edit more than the bound: the word whole,
    // although it has a common part; one edit fewer, and the common part stays unmarked.
    const std::string quarter(CInlineComparer::kMostCharacterEdits / 4, 'q');
    const std::string common(2 * quarter.size() + 8, 'c');
    const std::string source = quarter + common + quarter + " tail";
    target = std::string(quarter.size(), 's') + common + std::string(quarter.size() + 1, 't');
    changes = Changes(source, target + " tail");
    EXPECT_EQ(changes.source, (Spans{{0, source.size() - 5}}));
    EXPECT_FALSE(changes.bWhole);
    target.pop_back();
    EXPECT_EQ(Changes(source, target + " tail").source.size(), 2u);
}

// The length of a longest common subsequence, by the textbook table.
template <class Sequence>
std::size_t LongestCommon(const Sequence& a, const Sequence& b) {
    std::vector<std::vector<std::size_t>> table(a.size() + 1,
                                                std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = a.size(); i-- > 0;) {
        for (std::size_t j = b.size(); j-- > 0;) {
            table[i][j] =
                a[i] == b[j] ? table[i + 1][j + 1] + 1 : std::max(table[i + 1][j], table[i][j + 1]);
        }
    }
    return table[0][0];
}

TEST(ShortestEdit, IsShortestAgainstTheTable) {
    std::mt19937 random(7);
    CShortestEdit edit;
    for (int round = 0; round < 2000; ++round) {
        std::string a(random() % 12, 'a');
        std::string b(random() % 12, 'a');
        for (std::string* s : {&a, &b}) {
            std::generate(s->begin(), s->end(),
                          [&] { return static_cast<char>('a' + random() % 3); });
        }
        const auto shortest =
            static_cast<std::int32_t>(a.size() + b.size() - 2 * LongestCommon(a, b));
        const auto n = static_cast<std::int32_t>(a.size());
        const auto m = static_cast<std::int32_t>(b.size());
        const auto equal = [&](std::int32_t i, std::int32_t j) { return a[i] == b[j]; };
        ASSERT_FALSE(shortest > 0 && edit.Find(n, m, shortest - 1, equal));
        ASSERT_TRUE(edit.Find(n, m, shortest, equal));
        // Taking out the hunks, which stand apart, leaves the same on both sides.
        std::int32_t after = n + 1;
        for (auto hunk = edit.GetHunks().rbegin(); hunk != edit.GetHunks().rend(); ++hunk) {
            ASSERT_TRUE((hunk->a1 > hunk->a0 || hunk->b1 > hunk->b0) && hunk->a1 < after);
            after = hunk->a0;
            a.erase(a.begin() + hunk->a0, a.begin() + hunk->a1);
            b.erase(b.begin() + hunk->b0, b.begin() + hunk->b1);
        }
        ASSERT_EQ(a, b);
        ASSERT_EQ(n + m - 2 * static_cast<std::int32_t>(a.size()), shortest);
    }
}

}  // namespace
