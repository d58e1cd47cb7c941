#pragma once

#include <cstdint>
#include <cstring>

// The pieces the line hashes are built of, shared by the reader's hash of lines as read and the
// normaliser's hash of lines as the options see them.
namespace hashmix {

constexpr std::uint64_t k0 = 0xa0761d6478bd642full;
constexpr std::uint64_t k1 = 0xe7037ed1a0b428dbull;
constexpr std::uint64_t k2 = 0x8ebc6af09c88c6e3ull;

inline std::uint64_t Load64(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline std::uint64_t Load32(const char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// The 128-bit product of a and b, its halves folded into one: a full mix of both in one step.
inline std::uint64_t MultiplyFold(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
    __extension__ using Wide = unsigned __int128;
    const Wide product = static_cast<Wide>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
#else
    const std::uint64_t aLow = a & 0xFFFFFFFFu;
    const std::uint64_t aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xFFFFFFFFu;
    const std::uint64_t bHigh = b >> 32;
    const std::uint64_t low = aLow * bLow;
    const std::uint64_t middle1 = aHigh * bLow;
    const std::uint64_t middle2 = aLow * bHigh;
    const std::uint64_t high = aHigh * bHigh;
    const std::uint64_t carry =
        ((low >> 32) + (middle1 & 0xFFFFFFFFu) + (middle2 & 0xFFFFFFFFu)) >> 32;
    const std::uint64_t productLow = low + (middle1 << 32) + (middle2 << 32);
    const std::uint64_t productHigh = high + (middle1 >> 32) + (middle2 >> 32) + carry;
    return productLow ^ productHigh;
#endif
}

// The 32 bits kept of a 64-bit hash; 0 stays free for lines that are blank.
inline std::uint32_t Fold32(std::uint64_t h) {
    auto hash = static_cast<std::uint32_t>(h ^ (h >> 32));
    return hash + (hash == 0);
}

}  // namespace hashmix
