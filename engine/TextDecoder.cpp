#include "engine/TextDecoder.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

char* PutReplacement(char* out) {
    std::memcpy(out, "\xEF\xBF\xBD", 3);
    return out + 3;
}

}  // namespace

TextEncoding FindByteOrderMark(std::string_view head, std::size_t* pLength) {
    if (head.starts_with("\xEF\xBB\xBF")) {
        *pLength = 3;
        return TextEncoding::utf8;
    }
    if (head.starts_with("\xFF\xFE")) {
        *pLength = 2;
        return TextEncoding::utf16le;
    }
    if (head.starts_with("\xFE\xFF")) {
        *pLength = 2;
        return TextEncoding::utf16be;
    }
    *pLength = 0;
    return TextEncoding::bytes;
}

char* CUtf16Decoder::Put(std::uint32_t unit, char* out) {
    if (m_highSurrogate != 0) {
        const std::uint32_t high = m_highSurrogate;
        m_highSurrogate = 0;
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            const std::uint32_t c = 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00);
            out[0] = static_cast<char>(0xF0 | (c >> 18));
            out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[3] = static_cast<char>(0x80 | (c & 0x3F));
            return out + 4;
        }
        out = PutReplacement(out);
    }
    if (unit < 0x80) {
        *out++ = static_cast<char>(unit);
    } else if (unit < 0x800) {
        out[0] = static_cast<char>(0xC0 | (unit >> 6));
        out[1] = static_cast<char>(0x80 | (unit & 0x3F));
        out += 2;
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
        m_highSurrogate = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        out = PutReplacement(out);
    } else {
        out[0] = static_cast<char>(0xE0 | (unit >> 12));
        out[1] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (unit & 0x3F));
        out += 3;
    }
    return out;
}

std::size_t CUtf16Decoder::Decode(const char* in, std::size_t n, char* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(in);
    const unsigned char* const end = p + n;
    char* o = out;
    const int high = m_bBigEndian ? 0 : 1;  // which byte of a unit holds its high bits
    if (m_nHeldByte >= 0 && p < end) {
        const unsigned char unit[2] = {static_cast<unsigned char>(m_nHeldByte), *p++};
        m_nHeldByte = -1;
        o = Put(static_cast<std::uint32_t>(unit[high] << 8 | unit[1 - high]), o);
    }
    while (end - p >= 2) {
        // Most text is ASCII: eight units at a time while they are, each one byte of UTF-8.
        if (m_highSurrogate == 0) {
#if defined(__SSE2__)
            const __m128i notAscii =
                _mm_set1_epi16(static_cast<short>(m_bBigEndian ? 0x80FF : 0xFF80));
            for (; end - p >= 16; p += 16, o += 8) {
                __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, notAscii),
                                                      _mm_setzero_si128())) != 0xFFFF) {
                    break;
                }
                if (m_bBigEndian) {
                    units = _mm_srli_epi16(units, 8);
                }
                _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(units, units));
            }
#else
            for (; end - p >= 8; p += 8, o += 4) {
                std::uint64_t units;
                std::memcpy(&units, p, 8);
                const int shift = m_bBigEndian ? 8 : 0;
                if ((units & (m_bBigEndian ? 0x80FF80FF80FF80FFull : 0xFF80FF80FF80FF80ull)) != 0) {
                    break;
                }
                for (int k = 0; k < 4; ++k) {
                    o[k] = static_cast<char>(units >> (16 * k + shift));
                }
            }
#endif
            if (end - p < 2) {
                break;
            }
        }
        o = Put(static_cast<std::uint32_t>(p[high] << 8 | p[1 - high]), o);
        p += 2;
    }
    if (p < end) {
        m_nHeldByte = *p;
    }
    return static_cast<std::size_t>(o - out);
}

std::size_t CUtf16Decoder::Finish(char* out) {
    char* o = out;
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        o = PutReplacement(o);
    }
    if (m_nHeldByte >= 0) {
        m_nHeldByte = -1;
        o = PutReplacement(o);
    }
    return static_cast<std::size_t>(o - out);
}
