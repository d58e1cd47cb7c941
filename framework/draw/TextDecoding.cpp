#include "framework/draw/TextDecoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp, bool bAllowCut) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len = 0;
    unsigned char lo = 0x80;  // the range of the second byte, narrowed where the lead byte
    unsigned char hi = 0xBF;  // alone would allow overlong forms, surrogates or > U+10FFFF
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F;
        lo = b0 == 0xE0 ? 0xA0 : 0x80;
        hi = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07;
        lo = b0 == 0xF0 ? 0x90 : 0x80;
        hi = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if (i + k >= s.size()) {
            return bAllowCut ? s.size() - i : 0;
        }
        const auto b = static_cast<unsigned char>(s[i + k]);
        if (k == 1 ? (b < lo || b > hi) : ((b & 0xC0) != 0x80)) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    return len;
}

bool LooksLikeUtf8(std::string_view s, std::size_t limit) {
    const std::string_view head = s.substr(0, std::min(s.size(), limit));
    char32_t cp = 0;
    for (std::size_t i = 0; i < head.size();) {
        // Plain ASCII, the usual case, eight bytes at a time.
        std::uint64_t word = 0;
        if (i + sizeof word <= head.size()) {
            std::memcpy(&word, head.data() + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += sizeof word;
                continue;
            }
        }
        const std::size_t len = DecodeUtf8(head, i, cp, head.size() < s.size());
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}
