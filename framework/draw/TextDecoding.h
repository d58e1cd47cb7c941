#pragma once

// How drawing shows the program's bytes: a text that is valid UTF-8 as UTF-8, any other as
// Latin-1, so that every byte shows as something; control characters as blanks; which
// characters take a cell.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Text.h"

// Whether the first `limit` bytes of s are UTF-8. Texts longer than the limit are judged on the
// part that can reach the window: deciding on the whole of a 100 MB line at every paint would
// cost what the line costs, not what is visible.
bool LooksLikeUtf8(std::string_view s, std::size_t limit);

// Control characters keep their cell but show as a blank: a NUL or an escape must neither end
// the text early nor reach the font engine.
inline char32_t Printable(char32_t c) {
    return (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) ? U' ' : c;
}

// Where a character stands in a row of cells. Most take a cell of their own. Combining marks
// (general categories Mn and Me, and all of the blocks kept for them) take none: they are drawn
// on the character before them. Invisible format characters (zero-width space and joiners,
// direction marks and embeddings, word joiners, variation selectors, the byte order mark, tags)
// take none and show nothing.
enum class CellPlace { ownCell, onPrevious, nowhere };
CellPlace CellPlaceOf(char32_t c);

// Walks the characters of a text as they are shown: UTF-8 sequences while the text looks like
// UTF-8 (within the limit above), single bytes as Latin-1 otherwise and wherever a sequence is
// broken further on.
class CShownText {
public:
    CShownText(std::string_view text, std::size_t judgeLimit)
        : m_text(text), m_bUtf8(LooksLikeUtf8(text, judgeLimit)) {}
    bool AtEnd() const { return m_pos >= m_text.size(); }
    // Where the next character starts, in bytes.
    std::size_t Offset() const { return m_pos; }
    char32_t Next() {
        char32_t c = static_cast<unsigned char>(m_text[m_pos]);
        std::size_t len = 1;
        if (m_bUtf8 && c >= 0x80) {
            len = DecodeUtf8(m_text, m_pos, c);
            if (len == 0) {
                c = static_cast<unsigned char>(m_text[m_pos]);
                len = 1;
            }
        }
        m_pos += len;
        return Printable(c);
    }

private:
    std::string_view m_text;
    bool m_bUtf8;
    std::size_t m_pos = 0;
};

// Walks a text cell by cell as it is shown: each character that takes a cell, with the marks
// drawn on it; invisible characters left out; a mark with nothing before it on a blank cell of
// its own. Unicode's stream-safe texts never hold more than 30 characters in a row that take no
// cell: a longer run ends what is shown, so that the walk costs what its cells cost.
class CShownCells {
public:
    static constexpr std::size_t kMostWithoutCell = 32;

    CShownCells(std::string_view text, std::size_t judgeLimit) : m_chars(text, judgeLimit) {
        Fetch();
    }
    bool AtEnd() const { return m_bEnd; }
    // The next cell's character; its marks, in order, go into marks (emptied first).
    char32_t Next(std::u32string& marks) {
        marks.clear();
        m_cellBegin = m_nextBegin;
        char32_t cell = m_next;
        if (m_place == CellPlace::onPrevious) {
            marks.push_back(cell);
            cell = U' ';
        }
        Fetch();
        while (!m_bEnd && m_place == CellPlace::onPrevious) {
            marks.push_back(m_next);
            Fetch();
        }
        return cell;
    }
    // The bytes of the text that the cell Next gave last stands for: its character, its marks
    // and the invisible characters after them.
    std::size_t CellBegin() const { return m_cellBegin; }
    std::size_t CellEnd() const { return m_nextBegin; }

private:
    // Moves on to the next character that shows.
    void Fetch() {
        while (!m_chars.AtEnd()) {
            m_nextBegin = m_chars.Offset();
            m_next = m_chars.Next();
            m_place = CellPlaceOf(m_next);
            m_nWithoutCell = m_place == CellPlace::ownCell ? 0 : m_nWithoutCell + 1;
            if (m_nWithoutCell > kMostWithoutCell) {
                break;
            }
            if (m_place != CellPlace::nowhere) {
                return;
            }
        }
        m_nextBegin = m_chars.Offset();
        m_bEnd = true;
    }

    CShownText m_chars;
    char32_t m_next = 0;
    CellPlace m_place = CellPlace::ownCell;
    std::size_t m_nWithoutCell = 0;
    std::size_t m_nextBegin = 0;  // where the character in m_next starts
    std::size_t m_cellBegin = 0;
    bool m_bEnd = false;
};
