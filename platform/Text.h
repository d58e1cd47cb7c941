#pragma once

// The program's texts are UTF-8 bytes; the system's calls on Windows take UTF-16 (file names,
// window texts, the registry, the command line). The conversions are the same on every platform.

#include <cstddef>
#include <string>
#include <string_view>

// Decodes one UTF-8 sequence at s[i]. Returns its length, or 0 when the bytes there are not a
// well-formed sequence (overlong forms, surrogates and values past U+10FFFF included). A
// sequence cut short by the end of s counts as well-formed when bAllowCut is set.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp, bool bAllowCut = false);

// Appends c as one UTF-16 unit, or two (a surrogate pair) past U+FFFF. Inline: drawing calls it
// for every character it shows.
inline void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    const char32_t v = c - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
}

// Each byte that does not start a well-formed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// A surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
