#pragma once

// How drawing shows the program's bytes: a text that is valid UTF-8 as UTF-8, any other as
// Latin-1, so that every byte shows as something; control characters as blanks.

#include <cstddef>
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

// Walks the characters of a text as they are shown: UTF-8 sequences while the text looks like
// UTF-8 (within the limit above), single bytes as Latin-1 otherwise and wherever a sequence is
// broken further on.
class CShownText {
public:
    CShownText(std::string_view text, std::size_t judgeLimit)
        : m_text(text), m_bUtf8(LooksLikeUtf8(text, judgeLimit)) {}
    bool AtEnd() const { return m_pos >= m_text.size(); }
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
