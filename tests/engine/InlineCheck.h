#pragma once

// What every answer of CInlineComparer::Compare must satisfy, checked plainly: the engine tests
// and the fuzz target hold it against this.

#include <string>
#include <string_view>
#include <vector>

#include "engine/InlineComparer.h"

namespace reference {

// The characters of a text as a pane shows them: each well-formed UTF-8 sequence, decoded and
// judged by its value, or else a single byte.
inline std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> characters;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t value = lead & (0x7F >> length);
        bool bValid = length > 1 && lead < 0xF8 && i + length <= text.size();
        for (std::size_t k = 1; bValid && k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            bValid = (c & 0xC0) == 0x80;
            value = (value << 6) | (c & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        bValid = bValid && value >= least[length] && value <= 0x10FFFF &&
                 (value < 0xD800 || value > 0xDFFF);
        characters.push_back(text.substr(i, bValid ? length : 1));
        i += characters.back().size();
    }
    return characters;
}

// The characters outside spans; error says so when spans are out of order, empty, past the
// text, touching, or split a character.
inline std::vector<std::string_view> Unmarked(std::string_view text,
                                              const std::vector<CByteSpan>& spans,
                                              std::string& error) {
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (spans[i].begin >= spans[i].end || spans[i].end > text.size() ||
            (i > 0 && spans[i - 1].end >= spans[i].begin)) {
            error = "spans out of order, empty, touching or past the text";
        }
    }
    std::vector<std::string_view> kept;
    std::size_t next = 0;  // the first span not wholly before the character
    for (const std::string_view c : Characters(text)) {
        const auto begin = static_cast<std::size_t>(c.data() - text.data());
        while (next < spans.size() && spans[next].end <= begin) {
            ++next;
        }
        if (next == spans.size() || spans[next].begin >= begin + c.size()) {
            kept.push_back(c);
        } else if (spans[next].begin > begin || spans[next].end < begin + c.size()) {
            error = "a span splits the character at " + std::to_string(begin);
        }
    }
    return kept;
}

// Empty when changes is a valid answer for the two texts: spans in order and apart, none
// splitting a character, leaving the same characters in the same order on both sides.
inline std::string CheckInlineChanges(std::string_view source, std::string_view target,
                                      const CInlineChanges& changes) {
    std::string error;
    const bool bSame =
        Unmarked(source, changes.source, error) == Unmarked(target, changes.target, error);
    return !error.empty() ? error : bSame ? "" : "the unmarked characters differ";
}

}  // namespace reference
