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

// How common a byte is in text and code, from 0 (rare) up, by a rough ranking: blanks, then the
// lower-case letters in the order of their use in English, capitals less often, then digits and
// the usual signs of code; anything else is taken for rare. The search looks for the text's
// least common byte first, so that it stops to compare the rest as seldom as it can.
int Commonness(unsigned char c) {
    constexpr std::string_view kLetters = "zqjxkvbpygfwmucldrhsnioate";  // rarest first
    if (c == ' ' || c == '\t') {
        return 60;
    }
    const std::size_t letter = kLetters.find(static_cast<char>(FoldAscii(c)));
    if (letter != std::string_view::npos) {
        return 10 + static_cast<int>(letter) - (c >= 'A' && c <= 'Z' ? 8 : 0);
    }
    return c >= '0' && c <= '9' ? 12
           : std::string_view("_().;,=-\">*{}").find(static_cast<char>(c)) != std::string_view::npos
               ? 15
               : 0;
}

// Finds the query's text in one line at a time. The text's least common byte is found first: by
// memchr or, for a letter of either case (a little dearer to look for), eight bytes at a time,
// since a byte b is that letter in either case exactly when (b | 0x20) equals its lower case.
// The whole text is compared only where that byte matched.
class CLineMatcher {
public:
    CLineMatcher(std::string_view text, bool bMatchCase) : m_text(text), m_bFoldRest(!bMatchCase) {
        int best = 1000;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            const int rank = Commonness(c) + (!bMatchCase && IsAsciiLetter(c) ? 3 : 0);
            if (rank < best) {
                best = rank;
                m_anchor = i;
            }
        }
        const auto c = static_cast<unsigned char>(text[m_anchor]);
        m_bFold = !bMatchCase && IsAsciiLetter(c);
        m_first = m_bFold ? FoldAscii(c) : c;
    }

    // Where the text first starts in line, or npos.
    std::size_t Find(std::string_view line) const {
        if (line.size() < m_text.size()) {
            return std::string_view::npos;
        }
        const char* const begin = line.data();
        // Where the anchor byte can be: past the last place, the text would not fit.
        const char* const end = begin + (line.size() - m_text.size()) + m_anchor + 1;
        for (const char* p = begin + m_anchor; p < end; ++p) {
            p = m_bFold ? FindFolded(p, end) : FindExact(p, end);
            if (p == nullptr) {
                break;
            }
            if (Matches(p - m_anchor)) {
                return static_cast<std::size_t>(p - m_anchor - begin);
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

    bool Matches(const char* p) const {
        if (!m_bFoldRest) {
            return std::memcmp(p, m_text.data(), m_text.size()) == 0;
        }
        for (std::size_t i = 0; i < m_text.size(); ++i) {
            if (FoldAscii(static_cast<unsigned char>(p[i])) !=
                FoldAscii(static_cast<unsigned char>(m_text[i]))) {
                return false;
            }
        }
        return true;
    }

    std::string_view m_text;
    bool m_bFoldRest;          // letters are compared without case
    std::size_t m_anchor = 0;  // the byte of the text looked for first
    bool m_bFold = false;      // it is a letter, looked for in either case
    unsigned char m_first = 0;
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

std::optional<CTextMatch> FindInTable(const CCompareResult& result, const CTextQuery& query,
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
    const CLineColumn& lines = bSource ? result.m_sourceLine : result.m_targetLine;
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
