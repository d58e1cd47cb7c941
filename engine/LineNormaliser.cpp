// The normalised text of a line is hashed without being stored: sixteen bytes of the line at a
// time are folded to lower case, the white space the options leave out is marked, and the rest
// is gathered into a window of 256 bytes, which is hashed sixteen bytes per multiplication as it
// fills. Gathering takes one byte shuffle per eight bytes where the processor has it (SSSE3,
// asked once), else a byte at a time. A line costs a few operations per sixteen bytes whatever
// it holds, and equal normalised texts give equal hashes whichever way they were gathered.

#include "engine/LineNormaliser.h"

#include <array>
#include <bit>
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

// The normalised bytes of a line, hashed as they come: every whole block of sixteen but the
// last, then the last one (1 to 16 bytes, padded with zeros) with the length. A window is hashed
// only once two more bytes follow it, so the last byte can still be taken back.
class CHashWindow {
public:
    static constexpr std::size_t kWindow = 256;

    // Where the next bytes go; there is room for sixteen.
    char* End() { return m_bytes + m_nUsed; }
    void Grow(std::size_t n) {
        m_nUsed += n;
        if (m_nUsed >= kWindow + 2) {
            for (std::size_t i = 0; i < kWindow; i += 16) {
                Mix(m_bytes + i);
            }
            m_nHashed += kWindow;
            m_nUsed -= kWindow;
            std::memcpy(m_bytes, m_bytes + kWindow, 32);
        }
    }
    // Takes back the last byte gathered.
    void DropLast() { --m_nUsed; }
    std::uint32_t Finish() {
        const std::uint64_t total = m_nHashed + m_nUsed;
        if (total == 0) {
            return 0;
        }
        std::memset(m_bytes + m_nUsed, 0, 16);
        std::size_t i = 0;
        for (; m_nUsed - i > 16; i += 16) {
            Mix(m_bytes + i);
        }
        using namespace hashmix;
        return Fold32(MultiplyFold(Load64(m_bytes + i) ^ k2,
                                   Load64(m_bytes + i + 8) ^ m_seed ^ (total * k1)));
    }

private:
    void Mix(const char* p) {
        using namespace hashmix;
        m_seed = MultiplyFold(Load64(p) ^ k1, Load64(p + 8) ^ m_seed);
    }

    alignas(16) char m_bytes[kWindow + 48];
    std::size_t m_nUsed = 0;
    std::uint64_t m_nHashed = 0;
    std::uint64_t m_seed = hashmix::k0;
};

#if defined(__SSE2__)

// For each mask of eight bytes to keep, the order that gathers them at the front.
constexpr auto kGatherOrder = [] {
    std::array<std::array<unsigned char, 8>, 256> orders{};
    for (unsigned keep = 0; keep < 256; ++keep) {
        unsigned k = 0;
        for (unsigned b = 0; b < 8; ++b) {
            if ((keep >> b) & 1) {
                orders[keep][k++] = static_cast<unsigned char>(b);
            }
        }
        for (; k < 8; ++k) {
            orders[keep][k] = 0x80;  // zero
        }
    }
    return orders;
}();

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
    CHashWindow window;
    const bool bChanges = m_whitespace == CCompareOptions::whitespaceChanges;
#if defined(__SSE2__)
    const __m128i spaces = _mm_set1_epi8(' ');
    const __m128i tabs = _mm_set1_epi8('\t');
    unsigned lastWasSpace = 0;  // the byte before the block was space or tab
    for (std::size_t i = 0; i < n; i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (m_bFoldCase) {
            // 'A' to 'Z' land on -128 to -103 as signed bytes.
            const __m128i shifted = _mm_add_epi8(bytes, _mm_set1_epi8(0x80 - 'A'));
            const __m128i upper = _mm_cmpgt_epi8(_mm_set1_epi8(-128 + 26), shifted);
            bytes = _mm_or_si128(bytes, _mm_and_si128(upper, _mm_set1_epi8(0x20)));
        }
        unsigned drop = 0;  // bit k: byte k is left out
        if (m_whitespace != CCompareOptions::whitespaceExact) {
            const __m128i blank =
                _mm_or_si128(_mm_cmpeq_epi8(bytes, spaces), _mm_cmpeq_epi8(bytes, tabs));
            const auto space = static_cast<unsigned>(_mm_movemask_epi8(blank));
            if (bChanges) {
                // A run keeps its first byte, as a space.
                drop = space & ((space << 1) | lastWasSpace);
                lastWasSpace = space >> 15;
                bytes = _mm_or_si128(_mm_andnot_si128(blank, bytes), _mm_and_si128(blank, spaces));
            } else {
                drop = space;
            }
        }
        if (n - i < 16) {
            drop |= 0xFFFFu << (n - i);
        }
        drop &= 0xFFFF;
        char* const out = window.End();
        if (drop == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
            window.Grow(16);
        } else if (m_bShuffle) {
            const unsigned keepLow = ~drop & 0xFF;
            const unsigned keepHigh = (~drop >> 8) & 0xFF;
            const auto low = static_cast<std::size_t>(std::popcount(keepLow));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out),
                             Shuffle(bytes, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(
                                                kGatherOrder[keepLow].data()))));
            _mm_storel_epi64(
                reinterpret_cast<__m128i*>(out + low),
                Shuffle(_mm_srli_si128(bytes, 8), _mm_loadl_epi64(reinterpret_cast<const __m128i*>(
                                                      kGatherOrder[keepHigh].data()))));
            window.Grow(low + static_cast<std::size_t>(std::popcount(keepHigh)));
        } else {
            alignas(16) char block[16];
            _mm_store_si128(reinterpret_cast<__m128i*>(block), bytes);
            std::size_t kept = 0;
            for (unsigned k = 0; k < 16; ++k) {
                out[kept] = block[k];
                kept += (drop >> k & 1) ^ 1;
            }
            window.Grow(kept);
        }
    }
#else
    bool bLastWasSpace = false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = m_bFoldCase ? FoldCase(p[i]) : p[i];
        bool bKeep = true;
        if (m_whitespace != CCompareOptions::whitespaceExact && IsSpaceOrTab(c)) {
            bKeep = bChanges && !bLastWasSpace;
            bLastWasSpace = true;
            c = ' ';
        } else {
            bLastWasSpace = false;
        }
        if (bKeep) {
            *window.End() = c;
            window.Grow(1);
        }
    }
#endif
    if (bChanges && n > 0 && IsSpaceOrTab(p[n - 1])) {
        window.DropLast();
    }
    return window.Finish();
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
