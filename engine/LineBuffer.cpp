#include "engine/LineBuffer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/FileException.h"

namespace {

// Each read lands in its final place in the text and is split while it is still in the cache.
constexpr std::size_t kChunkSize = 256 * 1024;
// Line ends are found 64 bytes at a time, so the buffer has this much room past its data.
constexpr std::size_t kBlock = 64;
constexpr char kCtrlZ = 0x1A;

std::uint64_t Load64(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

std::uint64_t Load32(const char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// The 128-bit product of a and b, its halves folded into one: a full mix of both in one step.
std::uint64_t MultiplyFold(std::uint64_t a, std::uint64_t b) {
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

// Sixteen bytes per multiplication: the hash runs over every line of both files, so it must
// cost little more than reading them.
inline std::uint64_t HashBytes(const char* p, std::size_t n) {
    constexpr std::uint64_t k0 = 0xa0761d6478bd642full;
    constexpr std::uint64_t k1 = 0xe7037ed1a0b428dbull;
    constexpr std::uint64_t k2 = 0x8ebc6af09c88c6e3ull;
    std::uint64_t seed = k0 ^ (n * k1);
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    if (n <= 16) {
        if (n >= 8) {
            a = Load64(p);
            b = Load64(p + n - 8);
        } else if (n >= 4) {
            a = Load32(p);
            b = Load32(p + n - 4);
        } else if (n > 0) {
            a = (std::uint64_t{static_cast<unsigned char>(p[0])} << 16) |
                (std::uint64_t{static_cast<unsigned char>(p[n / 2])} << 8) |
                static_cast<unsigned char>(p[n - 1]);
        }
    } else {
        for (; n > 16; p += 16, n -= 16) {
            seed = MultiplyFold(Load64(p) ^ k1, Load64(p + 8) ^ seed);
        }
        // The last sixteen bytes, overlapping those already taken.
        a = Load64(p + n - 16);
        b = Load64(p + n - 8);
    }
    return MultiplyFold(a ^ k2, b ^ seed);
}

// Bit k is set when p[k] is an LF, for the 64 bytes from p.
inline std::uint64_t LineFeedMask(const char* p) {
#if defined(__SSE2__)
    const __m128i lineFeeds = _mm_set1_epi8('\n');
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        mask |= static_cast<std::uint64_t>(
                    static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeeds))))
                << (16 * i);
    }
    return mask;
#else
    std::uint64_t mask = 0;
    for (unsigned k = 0; k < kBlock; ++k) {
        mask |= static_cast<std::uint64_t>(p[k] == '\n') << k;
    }
    return mask;
#endif
}

[[noreturn]] void ThrowTooManyLines(const std::string& path, std::int64_t maxLines) {
    throw CFileException(path,
                         "more lines than can be numbered (" + std::to_string(maxLines) + ")");
}

}  // namespace

CLineBuffer::CLineBuffer() {
    m_startLow.push_back(0);
}

bool CLineBuffer::Load(const std::string& path, std::string* pOpenError, std::int64_t maxLines) {
    CInputFile file;
    if (!file.Open(path, pOpenError)) {
        return false;
    }
    Read(file, maxLines);
    return true;
}

void CLineBuffer::AddHighEntry(std::size_t entry, std::uint64_t next) {
    while ((next >> 32) > m_highEntry.size()) {
        m_highEntry.push_back(entry);
    }
}

void CLineBuffer::Read(CInputFile& file, std::int64_t maxLines, CReadBudget* pBudget) {
    struct CClose {
        CInputFile& file;
        ~CClose() { file.Close(); }
    } close{file};
    const std::uint64_t expected = file.GetSizeHint();
    if (expected > SIZE_MAX / 2) {
        throw std::bad_alloc();
    }
    // The text and four bytes a line for its start and four for its hash; taken a chunk at a
    // time, so that input that never ends stops once it outgrows the memory.
    std::uint64_t taken = expected;
    if (pBudget != nullptr) {
        pBudget->Take(expected);
    }
    // Sized once from the file's size: the last read, which finds the end, has its room too.
    // Files that grow while they are read, and pipes, grow the buffer as they go.
    const std::size_t room = kChunkSize + kBlock + 1;
    m_text.Resize(static_cast<std::size_t>(expected) + room);
    m_startLow.Reserve(static_cast<std::size_t>(expected / 16) + 1024);
    m_hash.Reserve(static_cast<std::size_t>(expected / 16) + 1024);

    std::size_t kept = 0;  // bytes placed: whole lines, then the start of the current one
    std::uint64_t lineBegin = 0;
    std::size_t lines = 0;
    const auto lineLimit = static_cast<std::uint64_t>(maxLines < 0 ? 0 : maxLines);
    // Ends the line at [lineBegin, lineEnd), whose LF stands at lineEnd: its start and hash go
    // into the arrays, which have room.
    const auto finish = [this, &file, lineLimit, maxLines](
                            char* base, std::uint32_t* starts, std::uint32_t* hashes,
                            std::uint64_t lineBegin, std::uint64_t lineEnd, std::size_t line) {
        if (line >= lineLimit) {
            ThrowTooManyLines(file.GetPath(), maxLines);
        }
        const std::uint64_t next = lineEnd + 1;
        if ((next >> 32) > m_highEntry.size()) {
            AddHighEntry(line + 1, next);
        }
        starts[line + 1] = static_cast<std::uint32_t>(next);
        std::uint32_t hash = 0;
        if (lineEnd > lineBegin) {
            const std::uint64_t h = HashBytes(base + lineBegin, lineEnd - lineBegin);
            hash = static_cast<std::uint32_t>(h ^ (h >> 32));
            hash += hash == 0;  // 0 is kept for blank lines
        }
        hashes[line] = hash;
        return next;
    };

    for (bool ended = false; !ended;) {
        if (m_text.GetSize() - kept < room) {
            m_text.Resize(std::max(kept + room, m_text.GetSize() + m_text.GetSize() / 2));
        }
        char* const base = m_text.Get();
        char* const in = base + kept;
        std::size_t got = 0;
        if (std::string reason; !file.Read(in, kChunkSize, got, &reason)) {
            throw CFileException(file.GetPath(), reason);
        }
        if (got == 0) {
            break;
        }
        char* end = in + got;
        if (void* stop = std::memchr(in, kCtrlZ, got)) {
            end = static_cast<char*>(stop);
            ended = true;
        }
        // At most one line a byte.
        m_startLow.Reserve(got);
        m_hash.Reserve(got);
        std::uint32_t* const starts = m_startLow.data();
        std::uint32_t* const hashes = m_hash.data();

        // Text mode drops each CR before an LF: the bytes after it move down by one. Until a
        // chunk holds such a CR nothing moves.
        std::size_t dropped = 0;
        char* unplaced = in;
        for (char* block = in; block < end; block += kBlock) {
            std::uint64_t mask = LineFeedMask(block);
            if (end - block < static_cast<std::ptrdiff_t>(kBlock)) {
                mask &= (std::uint64_t{1} << (end - block)) - 1;
            }
            for (; mask != 0; mask &= mask - 1) {
                char* const lineFeed = block + std::countr_zero(mask);
                if (dropped != 0) {
                    std::memmove(unplaced - dropped, unplaced,
                                 static_cast<std::size_t>(lineFeed - unplaced));
                }
                char* lineEnd = lineFeed - dropped;
                if (lineEnd > base + lineBegin && lineEnd[-1] == '\r') {
                    --lineEnd;
                    ++dropped;
                }
                *lineEnd = '\n';
                unplaced = lineFeed + 1;
                lineBegin = finish(base, starts, hashes, lineBegin,
                                   static_cast<std::uint64_t>(lineEnd - base), lines++);
            }
        }
        // The start of the unfinished line follows the lines before it.
        if (dropped != 0) {
            std::memmove(unplaced - dropped, unplaced, static_cast<std::size_t>(end - unplaced));
        }
        kept = static_cast<std::size_t>(end - dropped - base);
        m_startLow.Grow(lines + 1 - m_startLow.size());
        m_hash.Grow(lines - m_hash.size());
        const std::uint64_t holds = kept + 8 * std::uint64_t{lines};
        if (pBudget != nullptr && holds > taken) {
            pBudget->Take(holds - taken);
            taken = holds;
        }
    }
    if (kept > lineBegin) {
        // A last line without terminator still counts; it is stored with one like the others.
        m_startLow.Reserve(1);
        m_hash.Reserve(1);
        m_text.Get()[kept] = '\n';
        finish(m_text.Get(), m_startLow.data(), m_hash.data(), lineBegin, kept++, lines);
        m_startLow.Grow(1);
        m_hash.Grow(1);
    }
    m_size = kept;
    m_text.Resize(m_size);
    m_hash.Reserve(kHashPadding);
    std::fill_n(m_hash.data() + m_hash.size(), kHashPadding, 0u);
}

void CLineBuffer::Reserve(std::size_t bytes) {
    m_startLow.Reserve(1);
    m_highEntry.Reserve(1);
    const std::size_t next = m_size + bytes + 1;
    if (m_text.GetSize() < next) {
        m_text.Resize(std::max<std::size_t>(next, m_text.GetSize() + m_text.GetSize() / 2));
    }
}

void CLineBuffer::AppendLine(std::string_view text) {
    Reserve(text.size());
    const std::size_t next = m_size + text.size() + 1;
    AddHighEntry(m_startLow.size(), next);
    if (!text.empty()) {
        std::memcpy(m_text.Get() + m_size, text.data(), text.size());
    }
    m_text.Get()[next - 1] = '\n';
    m_startLow.push_back(static_cast<std::uint32_t>(next));
    m_size = next;
}

std::string& ExpandTabs(std::string& text) {
    const auto tabs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\t'));
    if (tabs == 0) {
        return text;
    }
    // Fill from the back so every byte moves once.
    std::size_t from = text.size();
    text.resize(text.size() + 3 * tabs);
    std::size_t to = text.size();
    while (from > 0) {
        const char c = text[--from];
        if (c == '\t') {
            to -= 4;
            std::fill_n(text.begin() + static_cast<std::ptrdiff_t>(to), 4, ' ');
        } else {
            text[--to] = c;
        }
    }
    return text;
}
