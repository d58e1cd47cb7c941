// The normalised text of a line is hashed without being stored: sixteen bytes of the line at a
// time are folded to lower case and the white space the options leave out is marked; the rest
// is gathered, in a register, into blocks of sixteen normalised bytes, and each block is mixed
// with its place as soon as it is full. The gathering takes a few byte shuffles a block where the
// processor has them (SSSE3, asked once), else goes a byte at a time; no step waits on the
// multiplication of the block before, and none branches on how full the block is. Equal
// normalised texts give equal hashes whichever way they were gathered.

#include "engine/LineNormaliser.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/HashMix.h"

namespace {

bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The hash of a normalised text: each whole block of sixteen bytes is mixed with its place and
// the results are added up, so that no block waits for the one before; the rest and the length
// go in at the end.
class CBlockHash {
public:
    // Adds the block of sixteen bytes low, high when full is all ones; nothing when it is 0.
    void Add(std::uint64_t low, std::uint64_t high, std::uint64_t full) {
        using namespace hashmix;
        m_sum += MultiplyFold(low ^ k1, high ^ m_place) & full;
        m_place += k2 & full;
        m_nBlocks += full & 1;
    }
    // The hash, with the rest (0 to 15 bytes) in low and high, zero beyond it.
    std::uint32_t Finish(std::uint64_t low, std::uint64_t high, unsigned rest) const {
        using namespace hashmix;
        const std::uint64_t total = 16 * m_nBlocks + rest;
        if (total == 0) {
            return 0;
        }
        return Fold32(MultiplyFold(low ^ k2, high ^ m_sum ^ (total * k1)));
    }

private:
    std::uint64_t m_sum = 0;
    std::uint64_t m_place = hashmix::k0;  // the next block's place
    std::uint64_t m_nBlocks = 0;
};

// The same hash, given the normalised text a byte at a time.
class CByteHash {
public:
    void Append(char c) {
        m_bytes[m_nUsed++] = c;
        if (m_nUsed == 16) {
            m_hash.Add(hashmix::Load64(m_bytes), hashmix::Load64(m_bytes + 8), ~std::uint64_t{0});
            m_nUsed = 0;
        }
    }
    std::uint32_t Finish() {
        std::memset(m_bytes + m_nUsed, 0, 16 - m_nUsed);
        return m_hash.Finish(hashmix::Load64(m_bytes), hashmix::Load64(m_bytes + 8), m_nUsed);
    }

private:
    char m_bytes[16];
    unsigned m_nUsed = 0;
    CBlockHash m_hash;
};

#if defined(__SSE2__)

// Byte orders for pshufb: byte b of the result is byte order[b] of the source, 0x80 a zero.
using CByteOrder = std::array<unsigned char, 16>;

// For each mask of eight bytes to keep, the order that gathers them at the front, and how many
// there are (a table: without the processor's own count, counting bits is a call).
struct CGather {
    CByteOrder order;
    std::uint32_t count;
};
constexpr auto kGather = [] {
    std::array<CGather, 256> gathers{};
    for (unsigned keep = 0; keep < 256; ++keep) {
        unsigned k = 0;
        for (unsigned b = 0; b < 8; ++b) {
            if ((keep >> b) & 1) {
                gathers[keep].order[k++] = static_cast<unsigned char>(b);
            }
        }
        gathers[keep].count = k;
        for (; k < 16; ++k) {
            gathers[keep].order[k] = 0x80;
        }
    }
    return gathers;
}();

// kShiftIn[u] moves bytes 0, 1, ... of a block to u, u + 1, ... (those that stay inside it);
// kSpill[u] moves those that do not, from 16 - u on, to the front.
constexpr auto kShiftIn = [] {
    std::array<CByteOrder, 17> orders{};
    for (unsigned u = 0; u <= 16; ++u) {
        for (unsigned b = 0; b < 16; ++b) {
            orders[u][b] = b >= u ? static_cast<unsigned char>(b - u) : 0x80;
        }
    }
    return orders;
}();
constexpr auto kSpill = [] {
    std::array<CByteOrder, 16> orders{};
    for (unsigned u = 0; u < 16; ++u) {
        for (unsigned b = 0; b < 16; ++b) {
            orders[u][b] = b < u ? static_cast<unsigned char>(b + 16 - u) : 0x80;
        }
    }
    return orders;
}();

__m128i Load(const CByteOrder& order) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(order.data()));
}

std::uint64_t Low(__m128i bytes) {
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(bytes));
}

std::uint64_t High(__m128i bytes) {
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_srli_si128(bytes, 8)));
}

// pshufb, an SSSE3 instruction, written out so that the rest of the program needs no more than
// SSE2: it runs only where the processor was found to have it.
__m128i Shuffle(__m128i bytes, __m128i order) {
    __asm__("pshufb %1, %0" : "+x"(bytes) : "x"(order));
    return bytes;
}

bool HasShuffle() {
#if defined(__GNUC__)
    static const bool bHas = __builtin_cpu_supports("ssse3");
    return bHas;
#else
    return false;
#endif
}

// Sixteen bytes of a line at p, folded as the options ask; drop receives the bits of those the
// options leave out (lastWasSpace carries runs of white space from block to block).
template <std::uint8_t kWhitespace, bool kFoldCase>
__m128i NormaliseBlock(const char* p, unsigned& drop, unsigned& lastWasSpace) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if constexpr (kFoldCase) {
        // 'A' to 'Z' land on -128 to -103 as signed bytes.
        const __m128i shifted = _mm_add_epi8(bytes, _mm_set1_epi8(0x80 - 'A'));
        const __m128i upper = _mm_cmpgt_epi8(_mm_set1_epi8(-128 + 26), shifted);
        bytes = _mm_or_si128(bytes, _mm_and_si128(upper, _mm_set1_epi8(0x20)));
    }
    drop = 0;
    if constexpr (kWhitespace != CCompareOptions::whitespaceExact) {
        const __m128i spaces = _mm_set1_epi8(' ');
        const __m128i blank =
            _mm_or_si128(_mm_cmpeq_epi8(bytes, spaces), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')));
        const auto space = static_cast<unsigned>(_mm_movemask_epi8(blank));
        if constexpr (kWhitespace == CCompareOptions::whitespaceChanges) {
            // A run keeps its first byte, as a space.
            drop = space & ((space << 1) | lastWasSpace);
            lastWasSpace = space >> 15;
            bytes = _mm_or_si128(_mm_andnot_si128(blank, bytes), _mm_and_si128(blank, spaces));
        } else {
            drop = space;
        }
    }
    return bytes;
}

// The hash of the normalised line at p, gathered a block at a time.
template <std::uint8_t kWhitespace, bool kFoldCase>
std::uint32_t HashGathered(const char* p, std::size_t n) {
    CBlockHash hash;
    __m128i pending = _mm_setzero_si128();  // gathered, not yet hashed: used bytes, then 0
    unsigned used = 0;
    unsigned lastWasSpace = 0;  // the byte before the block was space or tab
    for (std::size_t i = 0; i < n; i += 16) {
        unsigned drop = 0;  // bit k: byte k is left out
        const __m128i bytes = NormaliseBlock<kWhitespace, kFoldCase>(p + i, drop, lastWasSpace);
        if (n - i < 16) {
            drop |= 0xFFFFu << (n - i);
        }
        const CGather& low = kGather[~drop & 0xFF];
        const CGather& high = kGather[(~drop >> 8) & 0xFF];
        // The kept bytes at the front, zero after them.
        const __m128i gathered =
            _mm_or_si128(Shuffle(bytes, Load(low.order)),
                         Shuffle(Shuffle(_mm_srli_si128(bytes, 8), Load(high.order)),
                                 Load(kShiftIn[low.count])));
        const unsigned filled = used + low.count + high.count;
        pending = _mm_or_si128(pending, Shuffle(gathered, Load(kShiftIn[used])));
        const std::uint64_t full = 0 - static_cast<std::uint64_t>(filled >= 16);
        hash.Add(Low(pending), High(pending), full);
        // Once a block is full, what did not fit in it stays pending.
        const __m128i spilt = _mm_set1_epi64x(static_cast<long long>(full));
        pending = _mm_or_si128(_mm_and_si128(spilt, Shuffle(gathered, Load(kSpill[used]))),
                               _mm_andnot_si128(spilt, pending));
        used = filled & 15;
    }
    return hash.Finish(Low(pending), High(pending), used);
}

#endif

}  // namespace

CLineNormaliser::CLineNormaliser(const CCompareOptions& options, bool bUseShuffle)
    : m_whitespace(options.whitespace), m_bFoldCase(options.bIgnoreCase), m_bShuffle(false) {
#if defined(__SSE2__)
    m_bShuffle = bUseShuffle && HasShuffle();
#else
    (void)bUseShuffle;
#endif
}

std::uint32_t CLineNormaliser::Hash(const char* p, std::size_t n) const {
    const bool bChanges = m_whitespace == CCompareOptions::whitespaceChanges;
    if (bChanges) {
        // White space at the end is not part of the line.
        while (n > 0 && IsSpaceOrTab(p[n - 1])) {
            --n;
        }
    }
#if defined(__SSE2__)
    if (m_bShuffle) {
        switch (m_whitespace * 2 + (m_bFoldCase ? 1 : 0)) {
            case CCompareOptions::whitespaceExact * 2 + 1:
                return HashGathered<CCompareOptions::whitespaceExact, true>(p, n);
            case CCompareOptions::whitespaceChanges * 2:
                return HashGathered<CCompareOptions::whitespaceChanges, false>(p, n);
            case CCompareOptions::whitespaceChanges * 2 + 1:
                return HashGathered<CCompareOptions::whitespaceChanges, true>(p, n);
            case CCompareOptions::whitespaceAll * 2:
                return HashGathered<CCompareOptions::whitespaceAll, false>(p, n);
            case CCompareOptions::whitespaceAll * 2 + 1:
                return HashGathered<CCompareOptions::whitespaceAll, true>(p, n);
            default:
                break;
        }
    }
#endif
    CByteHash hash;
    bool bLastWasSpace = false;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = m_bFoldCase ? FoldCase(p[i]) : p[i];
        if (m_whitespace == CCompareOptions::whitespaceExact || !IsSpaceOrTab(c)) {
            hash.Append(c);
            bLastWasSpace = false;
        } else {
            if (bChanges && !bLastWasSpace) {
                hash.Append(' ');
            }
            bLastWasSpace = true;
        }
    }
    return hash.Finish();
}

namespace {

// Walks the normalised text of a line a byte at a time.
class CNormalisedBytes {
public:
    CNormalisedBytes(std::string_view line, std::uint8_t whitespace, bool bFoldCase)
        : m_p(line.data()),
          m_end(line.data() + line.size()),
          m_whitespace(whitespace),
          m_bFoldCase(bFoldCase) {}

    // The next byte, or -1 at the end.
    int Next() {
        if (m_whitespace != CCompareOptions::whitespaceExact) {
            const char* const run = m_p;
            while (m_p != m_end && IsSpaceOrTab(*m_p)) {
                ++m_p;
            }
            if (m_p != run && m_p != m_end && m_whitespace == CCompareOptions::whitespaceChanges) {
                return ' ';
            }
        }
        if (m_p == m_end) {
            return -1;
        }
        const char c = *m_p++;
        return static_cast<unsigned char>(m_bFoldCase ? FoldCase(c) : c);
    }

private:
    const char* m_p;
    const char* m_end;
    std::uint8_t m_whitespace;
    bool m_bFoldCase;
};

}  // namespace

bool CLineNormaliser::Equal(std::string_view a, std::string_view b) const {
    if (m_whitespace != CCompareOptions::whitespaceExact && !m_bFoldCase) {
        // Most lines that differ only in white space differ in their indentation alone.
        std::size_t i = 0;
        std::size_t j = 0;
        while (i < a.size() && IsSpaceOrTab(a[i])) {
            ++i;
        }
        while (j < b.size() && IsSpaceOrTab(b[j])) {
            ++j;
        }
        if (a.substr(i) == b.substr(j) && (m_whitespace == CCompareOptions::whitespaceAll ||
                                           (i == 0) == (j == 0) || i == a.size())) {
            return true;
        }
    }
    CNormalisedBytes left(a, m_whitespace, m_bFoldCase);
    CNormalisedBytes right(b, m_whitespace, m_bFoldCase);
    for (;;) {
        const int c = left.Next();
        if (c != right.Next()) {
            return false;
        }
        if (c < 0) {
            return true;
        }
    }
}

bool CLineNormaliser::IsBlank(std::string_view line) const {
    return CNormalisedBytes(line, m_whitespace, m_bFoldCase).Next() < 0;
}
