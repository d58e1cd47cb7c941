#include "framework/draw/TextDecoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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
