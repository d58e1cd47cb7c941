// Changes within a line: which characters of a changed row's two texts have no counterpart.
//
// The two texts of a changed row usually share most of their bytes, so what both start and end
// with is set aside first, in whole characters, at the cost of one comparison of the bytes. The
// middle that is left is compared word by word (a word is a run of letters, digits, underscores
// and non-ASCII characters; a run of blanks and any other character stand alone), and wherever
// words differ, character by character inside them, each pass as a shortest edit
// (CShortestEdit). So a one-character edit is one marked character however long the line, and
// changed words are not matched against stray letters of other words. For reading, an equal run
// shorter than kLeastGap characters between two changes is marked with them (a lone blank or
// sign between changed words, a letter inside them), and changed words that keep less than half
// of the shorter side once that is done are marked whole.
//
// Bounds: a middle longer than kMostMiddle bytes on either side, or one whose words need more
// than kMostEdits insertions and deletions, or one of kManyWords words or more on either side
// whose words in common cannot reach half of the shorter side, is marked whole; so is a run of
// changed words whose characters need more than kMostCharacterEdits. A row thus costs a pass over
// its bytes plus at most about 2 * kMostEdits + 1 comparisons per word and 2 * kMostCharacterEdits
// + 1 per character of a middle of bounded length, whatever the texts hold.
//
// A character is a well-formed UTF-8 sequence, or else a single byte, the way a pane shows it;
// spans never split one. Spans are found in the texts as read and moved onto the texts as shown
// (tabs expanded) by ExpandSpans, so a tab is one character, and a tab against four spaces
// differs as it does in the comparison.

#include "engine/InlineComparer.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/CompareResult.h"

namespace {

// The length of the character at text[i]: that of a well-formed UTF-8 sequence (no overlong
// forms, surrogates or values past U+10FFFF), or 1.
std::size_t CharacterLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0xC2 || lead > 0xF4) {
        return 1;
    }
    std::size_t length = 2;
    unsigned char lo = 0x80;  // the second byte's range, narrower after some leads
    unsigned char hi = 0xBF;
    if (lead >= 0xF0) {
        length = 4;
        lo = lead == 0xF0 ? 0x90 : 0x80;
        hi = lead == 0xF4 ? 0x8F : 0xBF;
    } else if (lead >= 0xE0) {
        length = 3;
        lo = lead == 0xE0 ? 0xA0 : 0x80;
        hi = lead == 0xED ? 0x9F : 0xBF;
    }
    if (text.size() - i < length) {
        return 1;
    }
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if (second < lo || second > hi) {
        return 1;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Whether a character starts at text[i] (or i is the end). Only continuation bytes can lie inside
// a character, and only inside one that starts with the nearest byte before them that is not one.
bool IsCharacterStart(std::string_view text, std::size_t i) {
    if (i == 0 || i >= text.size() || !IsContinuation(text[i])) {
        return true;
    }
    for (std::size_t k = i; k-- > 0 && i - k < 4;) {
        if (!IsContinuation(text[k])) {
            return k + CharacterLength(text, k) <= i;
        }
    }
    return true;
}

constexpr std::size_t kChunk = 256;  // compared with memcmp before byte by byte

std::size_t CommonPrefix(std::string_view a, std::string_view b) {
    const std::size_t most = std::min(a.size(), b.size());
    std::size_t n = 0;
    while (most - n >= kChunk && std::memcmp(a.data() + n, b.data() + n, kChunk) == 0) {
        n += kChunk;
    }
    while (n < most && a[n] == b[n]) {
        ++n;
    }
    return n;
}

// The length of what a and b end with in common, at most most bytes.
std::size_t CommonSuffix(std::string_view a, std::string_view b, std::size_t most) {
    std::size_t n = 0;
    while (most - n >= kChunk && std::memcmp(a.data() + a.size() - n - kChunk,
                                             b.data() + b.size() - n - kChunk, kChunk) == 0) {
        n += kChunk;
    }
    while (n < most && a[a.size() - n - 1] == b[b.size() - n - 1]) {
        ++n;
    }
    return n;
}

// How bytes group into words: a run of bytes of one class other than kOther is one word.
enum : std::uint8_t { kOther, kWord, kBlank };
constexpr auto kByteClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const bool bLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        classes[c] = c >= 0x80 || bLetter || (c >= '0' && c <= '9') || c == '_' ? kWord
                     : c == ' ' || c == '\t'                                    ? kBlank
                                                                                : kOther;
    }
    return classes;
}();

std::uint8_t ClassOf(char c) {
    return kByteClasses[static_cast<unsigned char>(c)];
}

// Whether text holds fewer than kLeastGap characters.
bool IsShort(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size() && characters < CInlineComparer::kLeastGap;
         i += CharacterLength(text, i)) {
        ++characters;
    }
    return characters < CInlineComparer::kLeastGap;
}

// Adds [begin, begin + length) to spans, joining it to the last one when they touch.
void Mark(std::vector<CByteSpan>& spans, std::size_t begin, std::size_t length) {
    if (length == 0) {
        return;
    }
    if (!spans.empty() && spans.back().end == begin) {
        spans.back().end = begin + length;
    } else {
        spans.push_back({begin, begin + length});
    }
}

}  // namespace

void CInlineComparer::Compare(std::string_view source, std::string_view target,
                              CInlineChanges& changes, std::size_t looked) {
    changes.Clear();
    std::size_t prefix = CommonPrefix(source.substr(0, looked), target.substr(0, looked));
    if (prefix == looked) {
        changes.bBeyond = true;
        return;
    }
    while (!IsCharacterStart(source, prefix) || !IsCharacterStart(target, prefix)) {
        --prefix;
    }
    std::size_t suffix =
        CommonSuffix(source, target, std::min(source.size(), target.size()) - prefix);
    while (!IsCharacterStart(source, source.size() - suffix) ||
           !IsCharacterStart(target, target.size() - suffix)) {
        --suffix;
    }
    const std::string_view sourceMiddle = source.substr(prefix, source.size() - prefix - suffix);
    const std::string_view targetMiddle = target.substr(prefix, target.size() - prefix - suffix);
    if (sourceMiddle.empty() || targetMiddle.empty() || sourceMiddle.size() > kMostMiddle ||
        targetMiddle.size() > kMostMiddle) {
        changes.bWhole = !sourceMiddle.empty() && !targetMiddle.empty();
        Mark(changes.source, prefix, sourceMiddle.size());
        Mark(changes.target, prefix, targetMiddle.size());
        return;
    }
    CompareWords(sourceMiddle, targetMiddle, prefix, changes);
}

void CInlineComparer::SplitWords(std::string_view text, std::vector<CUnit>& units) {
    const char* const p = text.data();
    const std::size_t size = text.size();
    // Where words start, found without a branch per byte: a byte starts one when its class
    // differs from the byte's before or is kOther. The slot past the last start is written over.
    if (m_wordStarts.size() < size + 1) {
        m_wordStarts.resize(size + 1);
    }
    std::uint32_t* const starts = m_wordStarts.data();
    std::size_t count = 0;
    std::uint8_t before = kOther;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t group = ClassOf(p[i]);
        starts[count] = static_cast<std::uint32_t>(i);
        count += static_cast<std::size_t>(group != before || group == kOther);
        before = group;
    }
    starts[count] = static_cast<std::uint32_t>(size);
    // A word's key is its first eight bytes, or all there are: only compared for equality, with
    // the length.
    units.resize(count);
    for (std::size_t w = 0; w < count; ++w) {
        const std::size_t i = starts[w];
        const std::size_t length = starts[w + 1] - i;
        std::uint64_t key = 0;
        if (size - i >= sizeof key) {
            std::memcpy(&key, p + i, sizeof key);
            key &= ~std::uint64_t{0} >> (8 * (sizeof key - std::min(length, sizeof key)));
        } else {
            std::memcpy(&key, p + i, length);
        }
        units[w] = {key, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(length)};
    }
}

// A character's key is its bytes, at most four, so keys are equal exactly when characters are.
void CInlineComparer::SplitCharacters(std::string_view text, std::vector<CUnit>& units) const {
    units.clear();
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = CharacterLength(text, i);
        std::uint64_t key = 0;
        for (std::size_t k = 0; k < length; ++k) {
            key = (key << 8) | static_cast<unsigned char>(text[i + k]);
        }
        units.push_back({key, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(length)});
        i += length;
    }
}

std::int32_t CInlineComparer::Where(const std::vector<CUnit>& units, std::int32_t i,
                                    std::size_t end) {
    const auto u = static_cast<std::size_t>(i);
    return static_cast<std::int32_t>(u < units.size() ? units[u].offset : end);
}

void CInlineComparer::CompareWords(std::string_view source, std::string_view target,
                                   std::size_t offset, CInlineChanges& changes) {
    SplitWords(source, m_sourceUnits);
    SplitWords(target, m_targetUnits);
    const CUnit* s = m_sourceUnits.data();
    const CUnit* t = m_targetUnits.data();
    const auto equal = [&](std::int32_t i, std::int32_t j) {
        return s[i].key == t[j].key && s[i].length == t[j].length &&
               (s[i].length <= sizeof s[i].key ||
                std::memcmp(source.data() + s[i].offset, target.data() + t[j].offset,
                            s[i].length) == 0);
    };
    // Middles that share less than half of the shorter one's bytes, even as words in any order,
    // read as replaced whole (as changed words do below) when either has many words, and the
    // search is not needed: it is at its costliest on lines with nothing in common, as rows out
    // of step are. A few words on both sides are always searched: they cost little, and their
    // letters may still match.
    const std::size_t words = std::max(m_sourceUnits.size(), m_targetUnits.size());
    if ((words >= kManyWords &&
         2 * CommonWordBytesAtMost() < std::min(source.size(), target.size())) ||
        !m_words.Find(static_cast<std::int32_t>(m_sourceUnits.size()),
                      static_cast<std::int32_t>(m_targetUnits.size()), kMostEdits, equal)) {
        changes.bWhole = true;
        Mark(changes.source, offset, source.size());
        Mark(changes.target, offset, target.size());
        return;
    }
    m_changes.clear();
    for (const CEditHunk& hunk : m_words.GetHunks()) {
        const CEditHunk bytes{Where(m_sourceUnits, hunk.a0, source.size()),
                              Where(m_sourceUnits, hunk.a1, source.size()),
                              Where(m_targetUnits, hunk.b0, target.size()),
                              Where(m_targetUnits, hunk.b1, target.size())};
        if (bytes.a0 == bytes.a1 || bytes.b0 == bytes.b1) {
            m_changes.push_back(bytes);
        } else {
            CompareCharacters(source, target, bytes);
        }
    }
    for (std::size_t h = 0; h < m_changes.size();) {
        CEditHunk run = m_changes[h];
        while (++h < m_changes.size() &&
               IsShort(source.substr(static_cast<std::size_t>(run.a1),
                                     static_cast<std::size_t>(m_changes[h].a0 - run.a1)))) {
            run.a1 = m_changes[h].a1;
            run.b1 = m_changes[h].b1;
        }
        Mark(changes.source, offset + static_cast<std::size_t>(run.a0),
             static_cast<std::size_t>(run.a1 - run.a0));
        Mark(changes.target, offset + static_cast<std::size_t>(run.b0),
             static_cast<std::size_t>(run.b1 - run.b0));
    }
}

std::size_t CInlineComparer::CommonBytesAtMost(std::string_view a, std::string_view b) {
    for (const char c : a) {
        ++m_byteCounts[static_cast<unsigned char>(c)];
    }
    std::size_t common = 0;
    for (const char c : b) {
        std::uint32_t& count = m_byteCounts[static_cast<unsigned char>(c)];
        if (count > 0) {
            --count;
            ++common;
        }
    }
    for (const char c : a) {
        m_byteCounts[static_cast<unsigned char>(c)] = 0;
    }
    return common;
}

std::size_t CInlineComparer::CommonWordBytesAtMost() {
    // Words fall into buckets by key and length; equal words share one. The bytes two sides
    // can match in a bucket are at most the fewer that either has there.
    const auto bucket = [](const CUnit& unit) {
        return static_cast<std::size_t>(((unit.key + unit.length) * 0x9E3779B97F4A7C15u) >> 58);
    };
    for (const CUnit& unit : m_sourceUnits) {
        m_wordBytes[bucket(unit)][0] += unit.length;
    }
    for (const CUnit& unit : m_targetUnits) {
        m_wordBytes[bucket(unit)][1] += unit.length;
    }
    std::size_t common = 0;
    for (const std::vector<CUnit>* units : {&m_sourceUnits, &m_targetUnits}) {
        for (const CUnit& unit : *units) {
            std::array<std::uint32_t, 2>& bytes = m_wordBytes[bucket(unit)];
            common += std::min(bytes[0], bytes[1]);
            bytes = {0, 0};
        }
    }
    return common;
}

void CInlineComparer::CompareCharacters(std::string_view source, std::string_view target,
                                        const CEditHunk& words) {
    const std::string_view sourceWords = source.substr(
        static_cast<std::size_t>(words.a0), static_cast<std::size_t>(words.a1 - words.a0));
    const std::string_view targetWords = target.substr(
        static_cast<std::size_t>(words.b0), static_cast<std::size_t>(words.b1 - words.b0));
    SplitCharacters(sourceWords, m_sourceCharacters);
    SplitCharacters(targetWords, m_targetCharacters);
    const auto n = static_cast<std::int32_t>(m_sourceCharacters.size());
    const auto m = static_cast<std::int32_t>(m_targetCharacters.size());
    // The bytes both sides hold, counted as if in any order, bound the characters they keep in
    // common: below half of the shorter side, the words are replaced whole (as below), and the
    // search, at its costliest on words with nothing in common, is not needed.
    if (2 * CommonBytesAtMost(sourceWords, targetWords) <
        static_cast<std::size_t>(std::min(n, m))) {
        m_changes.push_back(words);
        return;
    }
    const CUnit* s = m_sourceCharacters.data();
    const CUnit* t = m_targetCharacters.data();
    const auto equal = [&](std::int32_t i, std::int32_t j) { return s[i].key == t[j].key; };
    if (!m_characters.Find(n, m, kMostCharacterEdits, equal)) {
        m_changes.push_back(words);
        return;
    }
    // What stays unmarked once near changes are joined: the equal runs at either end, and
    // those of at least kLeastGap characters between changes.
    std::int32_t kept = 0;
    std::int32_t after = 0;  // the end of the last change
    for (const CEditHunk& hunk : m_characters.GetHunks()) {
        kept += after == 0 || hunk.a0 - after >= kLeastGap ? hunk.a0 - after : 0;
        after = hunk.a1;
        m_changes.push_back({words.a0 + Where(m_sourceCharacters, hunk.a0, sourceWords.size()),
                             words.a0 + Where(m_sourceCharacters, hunk.a1, sourceWords.size()),
                             words.b0 + Where(m_targetCharacters, hunk.b0, targetWords.size()),
                             words.b0 + Where(m_targetCharacters, hunk.b1, targetWords.size())});
    }
    kept += n - after;
    // Words that keep less than half of the shorter side have only stray letters in common:
    // they read as replaced whole.
    if (2 * kept < std::min(n, m)) {
        m_changes.resize(m_changes.size() - m_characters.GetHunks().size());
        m_changes.push_back(words);
    }
}

bool CInlineComparer::CompareRow(const CCompareResult& result, std::int32_t row,
                                 CInlineChanges& changes, std::size_t looked) {
    changes.Clear();
    const auto r = static_cast<std::size_t>(row);
    const std::string_view source = result.m_sourceText.GetRaw(r);
    const std::string_view target = result.m_targetText.GetRaw(r);
    if (result.m_kind[r] != kindChanged || source.empty() || target.empty()) {
        return false;
    }
    // The first `looked` bytes as read reach at least as far as the first `looked` as shown.
    Compare(source, target, changes, looked);
    ExpandSpans(source, changes.source);
    ExpandSpans(target, changes.target);
    return true;
}

void ExpandSpans(std::string_view text, std::vector<CByteSpan>& spans) {
    std::size_t pos = 0;  // tabs before pos are counted
    std::size_t tabs = 0;
    const auto expanded = [&](std::size_t offset) {
        while (pos < offset) {
            const void* tab = std::memchr(text.data() + pos, '\t', offset - pos);
            if (tab == nullptr) {
                pos = offset;
            } else {
                pos = static_cast<std::size_t>(static_cast<const char*>(tab) - text.data()) + 1;
                ++tabs;
            }
        }
        return offset + 3 * tabs;
    };
    for (CByteSpan& span : spans) {
        span.begin = expanded(span.begin);
        span.end = expanded(span.end);
    }
}
