#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/ShortestEdit.h"

class CCompareResult;

// Bytes [begin, end) of a text.
struct CByteSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    friend bool operator==(const CByteSpan&, const CByteSpan&) = default;
};

// What differs between the two texts of a changed row: on each side, the spans of bytes that
// have no counterpart on the other, in order, none empty, none touching the next.
struct CInlineChanges {
    std::vector<CByteSpan> source;
    std::vector<CByteSpan> target;
    // A bound was passed: the part between the common start and end is marked whole.
    bool bWhole = false;
    // The texts agree as far as the caller looked (CInlineComparer::Compare): none of their
    // spans lie there, and the rest was not read.
    bool bBeyond = false;

    void Clear() {
        source.clear();
        target.clear();
        bWhole = false;
        bBeyond = false;
    }
};

// Finds the changes within a line. Keeps its working memory between calls, so that a painter
// asking for row after row allocates nothing once warm. One object serves one thread.
class CInlineComparer {
public:
    // The largest middle (the part of a text between what both texts start and end with) that
    // is searched; a longer one is marked whole.
    static constexpr std::size_t kMostMiddle = 64 * 1024;
    // The most insertions and deletions of words, and of characters within a run of changed
    // words, that a search follows; past it, what it covers is marked whole. Characters need few
    // where words share much: more, and they keep too little in common to show.
    static constexpr std::int32_t kMostEdits = 64;
    static constexpr std::int32_t kMostCharacterEdits = 16;
    // Equal runs shorter than this many characters between two changes are marked with them:
    // a lone blank, sign or letter left between changed words reads as noise.
    static constexpr std::int32_t kLeastGap = 3;
    // Middles of at least this many words (and blanks and signs) on either side that share less
    // than half of the shorter one, even as words in any order, are marked whole unsearched.
    static constexpr std::size_t kManyWords = 8;

    static constexpr std::size_t kAll = SIZE_MAX;  // look at the whole of both texts

    // The changes between two texts, as spans of their bytes. A character (a well-formed UTF-8
    // sequence, or else a single byte) is never split. When both texts start with the same
    // first `looked` bytes, that is all that is read: no spans, and bBeyond set.
    void Compare(std::string_view source, std::string_view target, CInlineChanges& changes,
                 std::size_t looked = kAll);

    // The changes within a row of result, as spans of its texts as shown (each tab four
    // spaces). Returns false, with no spans, unless the row is a changed row with text on both
    // sides. A pane passes as `looked` how much of a text it shows (what CTextColumn::GetShown
    // takes): a long line that differs only past it costs no more than what is shown.
    bool CompareRow(const CCompareResult& result, std::int32_t row, CInlineChanges& changes,
                    std::size_t looked = kAll);

private:
    // One element of a sequence being compared, where it starts and its length: a word, a run
    // of blanks or another character, its key its first eight bytes (first pass); or a
    // character, its key all its bytes (second pass).
    struct CUnit {
        std::uint64_t key;
        std::uint32_t offset;
        std::uint32_t length;
    };

    // Where unit i starts; end past the last unit.
    static std::int32_t Where(const std::vector<CUnit>& units, std::int32_t i, std::size_t end);
    void SplitWords(std::string_view text, std::vector<CUnit>& units);
    void SplitCharacters(std::string_view text, std::vector<CUnit>& units) const;
    // How many bytes of b can be matched with bytes of a, in any order: at least as many as the
    // characters the two have in common in order.
    std::size_t CommonBytesAtMost(std::string_view a, std::string_view b);
    // How many bytes of the words of m_targetUnits can be matched with equal words of
    // m_sourceUnits, in any order: at least as many as the two keep in common in order.
    std::size_t CommonWordBytesAtMost();
    void CompareWords(std::string_view source, std::string_view target, std::size_t offset,
                      CInlineChanges& changes);
    // Appends to m_changes the changed characters of the changed words (byte ranges of the
    // middles, as every hunk there).
    void CompareCharacters(std::string_view source, std::string_view target,
                           const CEditHunk& words);

    CShortestEdit m_words;
    CShortestEdit m_characters;
    std::vector<CUnit> m_sourceUnits;
    std::vector<CUnit> m_targetUnits;
    std::vector<std::uint32_t> m_wordStarts;  // SplitWords' scratch
    std::vector<CUnit> m_sourceCharacters;
    std::vector<CUnit> m_targetCharacters;
    // CommonWordBytesAtMost's buckets: the bytes of each side's words in each; zero between calls.
    std::array<std::array<std::uint32_t, 2>, 64> m_wordBytes{};
    std::vector<CEditHunk> m_changes;  // what differs in the middles, in bytes, in order
    std::array<std::uint32_t, 256> m_byteCounts{};  // zero between calls of CommonBytesAtMost
};

// Moves spans of a text as read onto the same text with each tab expanded to four spaces.
void ExpandSpans(std::string_view text, std::vector<CByteSpan>& spans);
