#include "engine/TextSearch.h"

#include <algorithm>
#include <cstring>

#include "engine/CompareResult.h"

namespace {

unsigned char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c | 0x20) : c;
}

bool IsAsciiLetter(unsigned char c) {
    return FoldAscii(c) >= 'a' && FoldAscii(c) <= 'z';
}

// Finds the query's text in one line at a time. The first byte of the text is found by memchr
// or, when it is a letter to be matched in either case, eight bytes at a time: a byte b is that
// letter in either case exactly when (b | 0x20) equals its lower case. The rest is compared
// only where the first byte matched.
class CLineMatcher {
public:
    CLineMatcher(std::string_view text, bool bMatchCase)
        : m_text(text),
          m_bFold(!bMatchCase && IsAsciiLetter(static_cast<unsigned char>(text[0]))),
          m_bFoldRest(!bMatchCase),
          m_first(m_bFold ? FoldAscii(static_cast<unsigned char>(text[0]))
                          : static_cast<unsigned char>(text[0])) {}

    // Where the text first starts in line, or npos.
    std::size_t Find(std::string_view line) const {
        if (line.size() < m_text.size()) {
            return std::string_view::npos;
        }
        const char* const begin = line.data();
        // The last place the text can start.
        const char* const last = begin + (line.size() - m_text.size());
        for (const char* p = begin; p <= last; ++p) {
            p = m_bFold ? FindFolded(p, last + 1) : FindExact(p, last + 1);
            if (p == nullptr) {
                break;
            }
            if (RestMatches(p)) {
                return static_cast<std::size_t>(p - begin);
            }
        }
        return std::string_view::npos;
    }

private:
    const char* FindExact(const char* p, const char* end) const {
        return static_cast<const char*>(std::memchr(p, m_first, static_cast<std::size_t>(end - p)));
    }

    const char* FindFolded(const char* p, const char* end) const {
        constexpr std::uint64_t kOnes = 0x0101010101010101u;
        constexpr std::uint64_t kHighs = 0x8080808080808080u;
        const std::uint64_t pattern = kOnes * m_first;
        for (; end - p >= 8; p += 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            // A zero byte of x marks a match; the classic test sees the first one exactly.
            const std::uint64_t x = (word | (kOnes * 0x20)) ^ pattern;
            if (((x - kOnes) & ~x & kHighs) != 0) {
                break;
            }
        }
        for (; p < end; ++p) {
            if ((static_cast<unsigned char>(*p) | 0x20) == m_first) {
                return p;
            }
        }
        return nullptr;
    }

    bool RestMatches(const char* p) const {
        if (!m_bFoldRest) {
            return std::memcmp(p + 1, m_text.data() + 1, m_text.size() - 1) == 0;
        }
        for (std::size_t i = 1; i < m_text.size(); ++i) {
            if (FoldAscii(static_cast<unsigned char>(p[i])) !=
                FoldAscii(static_cast<unsigned char>(m_text[i]))) {
                return false;
            }
        }
        return true;
    }

    std::string_view m_text;
    bool m_bFold;      // the first byte is a letter, matched in either case
    bool m_bFoldRest;  // the other bytes are compared without case
    unsigned char m_first;
};

// The first match in row, the source's line before the target's.
std::optional<CTextMatch> MatchInRow(const CCompareResult& result, const CLineMatcher& matcher,
                                     SearchSide side, std::size_t textSize, std::int32_t row) {
    const auto r = static_cast<std::size_t>(row);
    if (side != SearchSide::target) {
        const std::size_t at = matcher.Find(result.m_sourceText.GetRaw(r));
        if (at != std::string_view::npos) {
            return CTextMatch{row, true, at, at + textSize};
        }
    }
    if (side != SearchSide::source) {
        const std::size_t at = matcher.Find(result.m_targetText.GetRaw(r));
        if (at != std::string_view::npos) {
            return CTextMatch{row, false, at, at + textSize};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<CTextMatch> FindText(const CCompareResult& result, const CTextQuery& query,
                                   std::int32_t from, bool bForward) {
    const std::int32_t n = result.GetRowCount();
    if (query.text.empty() || n == 0) {
        return std::nullopt;
    }
    const CLineMatcher matcher(query.text, query.bMatchCase);
    const std::int32_t start = std::clamp(from, 0, n - 1);
    const std::size_t size = query.text.size();
    // Each step after start, then start itself; in either direction each row is read once.
    for (std::int32_t step = 1; step <= n; ++step) {
        std::int32_t row = bForward ? start + step : start - step;
        row = row >= n ? row - n : row < 0 ? row + n : row;
        if (auto match = MatchInRow(result, matcher, query.side, size, row)) {
            return match;
        }
    }
    return std::nullopt;
}

std::size_t ShownOffset(std::string_view raw, std::size_t offset) {
    const std::size_t bytes = std::min(offset, raw.size());
    return offset +
           3 * static_cast<std::size_t>(std::count(raw.begin(), raw.begin() + bytes, '\t'));
}

std::int32_t RowOfLine(const CCompareResult& result, bool bSource, std::int64_t line) {
    const std::vector<std::int32_t>& lines = bSource ? result.m_sourceLine : result.m_targetLine;
    std::int32_t found = -1;
    // Line numbers rise down the table on the rows that have a line on the side: the row holding
    // the line, or else the last row before the numbers pass it, or else the first row with one.
    for (std::size_t row = 0; row < lines.size(); ++row) {
        const std::int32_t number = lines[row];
        if (number == 0) {
            continue;
        }
        if (number > line) {
            return found >= 0 ? found : static_cast<std::int32_t>(row);
        }
        found = static_cast<std::int32_t>(row);
        if (number == line) {
            break;
        }
    }
    return found;
}
