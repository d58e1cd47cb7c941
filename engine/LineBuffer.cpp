#include "engine/LineBuffer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/FileException.h"
#include "engine/HashMix.h"
#include "engine/TextDecoder.h"

namespace {

// Each read lands in its final place in the text and is split while it is still in the cache.
constexpr std::size_t kChunkSize = 256 * 1024;
// Line ends are found 64 bytes at a time, so the buffer has this much room past its data.
constexpr std::size_t kBlock = 64;
constexpr char kCtrlZ = 0x1A;

using namespace hashmix;

// Sixteen bytes per multiplication: the hash runs over every line of both files, so it must
// cost little more than reading them.
inline std::uint64_t HashBytes(const char* p, std::size_t n) {
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

// Where the bytes read from one file are counted, if anywhere.
struct CReadReport {
    CCompareMonitor* pMonitor;
    bool bSource;
};

// Up to n bytes of file into out; 0 at its end. A read error throws, and so does a monitor asked
// to stop.
std::size_t ReadChunk(CInputFile& file, char* out, std::size_t n, const CReadReport& report) {
    std::size_t got = 0;
    if (std::string reason; !file.Read(out, n, got, &reason)) {
        throw CFileException(file.GetPath(), reason);
    }
    if (report.pMonitor != nullptr) {
        report.pMonitor->Read(report.bSource, got);
    }
    return got;
}

// The file's bytes as they stand, a chunk at a time.
struct CRawChunks {
    CInputFile& file;
    CReadReport report;

    const std::string& GetPath() const { return file.GetPath(); }
    std::size_t GetMostPerChunk() const { return kChunkSize; }
    std::uint64_t GetTextSize(std::uint64_t fileBytes) const { return fileBytes; }
    std::size_t Next(char* out) { return ReadChunk(file, out, kChunkSize, report); }
};

// The text a file's byte-order mark names, a chunk at a time: UTF-8 without its mark, UTF-16
// turned into UTF-8; without a mark the bytes as they stand.
class CDecodingChunks {
public:
    CDecodingChunks(CInputFile& file, bool bDecode, const CReadReport& report)
        : m_file(file), m_report(report) {
        if (!bDecode) {
            return;
        }
        // A pipe may give fewer bytes at a time than a mark takes.
        char head[3];
        std::size_t got = 0;
        for (std::size_t n = 1; got < sizeof head && n != 0; got += n) {
            n = ReadChunk(file, head + got, sizeof head - got, report);
        }
        std::size_t mark = 0;
        m_encoding = FindByteOrderMark(std::string_view(head, got), &mark);
        m_head.assign(head + mark, got - mark);
        if (m_encoding == TextEncoding::utf16le || m_encoding == TextEncoding::utf16be) {
            m_decoder.emplace(m_encoding == TextEncoding::utf16be);
            m_raw.Resize(kChunkSize);
        }
    }

    const std::string& GetPath() const { return m_file.GetPath(); }
    TextEncoding GetEncoding() const { return m_encoding; }
    std::size_t GetMostPerChunk() const {
        return m_decoder ? CUtf16Decoder::MaxOutput(kChunkSize) : kChunkSize;
    }
    // Room for the decoded text: UTF-16 takes up to half as much again in UTF-8.
    std::uint64_t GetTextSize(std::uint64_t fileBytes) const {
        return m_decoder ? fileBytes + fileBytes / 2 : fileBytes;
    }
    // Writes the next chunk to out, which has room for GetMostPerChunk bytes; 0 at the end.
    std::size_t Next(char* out) {
        if (!m_head.empty()) {
            const std::string head = std::move(m_head);
            m_head.clear();
            if (!m_decoder) {
                std::memcpy(out, head.data(), head.size());
                return head.size();
            }
            if (const std::size_t n = m_decoder->Decode(head.data(), head.size(), out); n > 0) {
                return n;
            }
        }
        if (!m_decoder) {
            return ReadChunk(m_file, out, kChunkSize, m_report);
        }
        for (;;) {
            const std::size_t got = ReadChunk(m_file, m_raw.Get(), kChunkSize, m_report);
            if (got == 0) {
                return m_decoder->Finish(out);
            }
            if (const std::size_t n = m_decoder->Decode(m_raw.Get(), got, out); n > 0) {
                return n;
            }
        }
    }

private:
    CInputFile& m_file;
    CReadReport m_report;
    TextEncoding m_encoding = TextEncoding::bytes;
    std::string m_head;  // the first bytes, read to find the mark, not yet handed on
    std::optional<CUtf16Decoder> m_decoder;
    // UTF-16 as read, before it is decoded; in whole pages, as the text is: reading into a buffer
    // that is not aligned like the system's copy of the file took three times as long.
    CPageBuffer m_raw;
};

// The default match index: every line, hashed as read.
struct CPlainMatch {
    static constexpr bool kMayLeaveOut = false;

    std::uint32_t Hash(const char* p, std::size_t n) const { return Fold32(HashBytes(p, n)); }
};

// The match index under the options: lines hashed as the normaliser sees them, and blank ones
// left out under bIgnoreBlankLines.
struct COptionMatch {
    static constexpr bool kMayLeaveOut = true;

    const CLineNormaliser* pNormaliser;  // null when lines compare by their bytes
    bool bLeaveOutBlank;

    std::uint32_t Hash(const char* p, std::size_t n) const {
        return pNormaliser != nullptr ? pNormaliser->Hash(p, n) : Fold32(HashBytes(p, n));
    }
};

}  // namespace

CLineBuffer::CLineBuffer() {
    m_startLow.push_back(0);
}

void CLineBuffer::SetOptions(const CCompareOptions& options) {
    m_options = options;
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

bool CLineBuffer::IsEqualByOptions(std::int32_t i, const CLineBuffer& other, std::int32_t j) const {
    const std::string_view line = GetLine(GetMatchLine(i));
    const std::string_view otherLine = other.GetLine(other.GetMatchLine(j));
    return line == otherLine || (m_normaliser && m_normaliser->Equal(line, otherLine));
}

void CLineBuffer::MarkCrLf(std::size_t line) {
    if (line >= m_crLfBits) {
        // Whole words at a time, growing by half again; new words are zero.
        const std::size_t words = std::max(line / 64 + 1, m_crLf.size() + m_crLf.size() / 2);
        m_crLf.Reserve(words - m_crLf.size());
        m_crLf.Grow(words - m_crLf.size());
        m_crLfBits = 64 * words;
    }
    m_crLf.data()[line >> 6] |= std::uint64_t{1} << (line & 63);
}

void CLineBuffer::Read(CInputFile& file, std::int64_t maxLines, CReadBudget* pBudget,
                       CCompareMonitor* pMonitor, bool bSource) {
    struct CClose {
        CInputFile& file;
        ~CClose() { file.Close(); }
    } close{file};
    const std::uint64_t expected = file.GetSizeHint();
    // The options' pass is chosen once for the file; without options the lines are read and
    // hashed as they always were.
    if (!m_options.IsAnyOn()) {
        CRawChunks chunks{file, {pMonitor, bSource}};
        ReadLines(chunks, CPlainMatch{}, expected, maxLines, pBudget);
        return;
    }
    if (m_options.IsNormalising()) {
        m_normaliser.emplace(m_options);
    }
    m_bPlainIndex = !m_normaliser && !m_options.bIgnoreBlankLines;
    CDecodingChunks chunks(file, m_options.bDecodeUnicode, {pMonitor, bSource});
    m_encoding = chunks.GetEncoding();
    ReadLines(chunks,
              COptionMatch{m_normaliser ? &*m_normaliser : nullptr, m_options.bIgnoreBlankLines},
              expected, maxLines, pBudget);
}

template <class Chunks, class Match>
void CLineBuffer::ReadLines(Chunks& chunks, const Match& match, std::uint64_t expected,
                            std::int64_t maxLines, CReadBudget* pBudget) {
    if (expected > SIZE_MAX / 2) {
        throw std::bad_alloc();
    }
    const bool bLeaveOut = [&] {
        if constexpr (Match::kMayLeaveOut) {
            return match.bLeaveOutBlank;
        }
        return false;
    }();
    // Under a normaliser which lines are blank is known only from their hashes, which go once
    // the rows are decided: a bit a line keeps it for the table.
    const bool bBlankLines = [&] {
        if constexpr (Match::kMayLeaveOut) {
            return match.pNormaliser != nullptr;
        }
        return false;
    }();
    // The text and four bytes a line for its start and four for its hash (and four for its line
    // when blank lines are left out of the index); taken a chunk at a time, so that input that
    // never ends stops once it outgrows the memory.
    std::uint64_t taken = expected;
    if (pBudget != nullptr) {
        pBudget->Take(expected);
    }
    // Sized once from the file's size: the last read, which finds the end, has its room too.
    // Files that grow while they are read, and pipes, grow the buffer as they go.
    const std::size_t room = chunks.GetMostPerChunk() + kBlock + 1;
    m_text.Resize(static_cast<std::size_t>(chunks.GetTextSize(expected)) + room);
    m_startLow.Reserve(static_cast<std::size_t>(expected / 16) + 1024);
    m_hash.Reserve(static_cast<std::size_t>(expected / 16) + 1024);

    std::size_t kept = 0;  // bytes placed: whole lines, then the start of the current one
    std::uint64_t lineBegin = 0;
    std::size_t lines = 0;
    std::size_t matched = 0;  // lines in the match index, when it leaves some out
    const auto lineLimit = static_cast<std::uint64_t>(maxLines < 0 ? 0 : maxLines);
    // Ends the line at [lineBegin, lineEnd), whose LF stands at lineEnd: its start and hash go
    // into the arrays, which have room.
    const auto finish = [&](char* base, std::uint32_t* starts, std::uint32_t* hashes,
                            std::uint64_t lineBegin, std::uint64_t lineEnd, std::size_t line) {
        if (line >= lineLimit) {
            ThrowTooManyLines(chunks.GetPath(), maxLines);
        }
        const std::uint64_t next = lineEnd + 1;
        if ((next >> 32) > m_highEntry.size()) {
            AddHighEntry(line + 1, next);
        }
        starts[line + 1] = static_cast<std::uint32_t>(next);
        std::uint32_t hash = 0;  // 0 is kept for blank lines
        if (lineEnd > lineBegin) {
            hash = match.Hash(base + lineBegin, lineEnd - lineBegin);
        }
        if constexpr (Match::kMayLeaveOut) {
            if (hash == 0 && match.pNormaliser != nullptr) {
                m_blankLines.data()[line >> 6] |= std::uint64_t{1} << (line & 63);
            }
            if (bLeaveOut) {
                if (hash != 0) {
                    m_matchLine.data()[matched] = static_cast<std::int32_t>(line);
                    hashes[matched++] = hash;
                }
                return next;
            }
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
        const std::size_t got = chunks.Next(in);
        if (got == 0) {
            break;
        }
        char* end = in + got;
        if (void* stop = std::memchr(in, kCtrlZ, got)) {
            end = static_cast<char*>(stop);
            ended = true;
            m_bCut = true;
        }
        // At most one line a byte.
        m_startLow.Reserve(got);
        m_hash.Reserve(got);
        if (bLeaveOut) {
            m_matchLine.Reserve(got);
        }
        if (bBlankLines) {
            m_blankLines.Reserve(got / 64 + 2);
        }
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
                    MarkCrLf(lines);
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
        std::uint64_t holds = kept + 8 * std::uint64_t{lines};
        if (bBlankLines) {
            m_blankLines.Grow((lines + 63) / 64 - m_blankLines.size());
            holds += lines / 8;
        }
        if (bLeaveOut) {
            m_hash.Grow(matched - m_hash.size());
            m_matchLine.Grow(matched - m_matchLine.size());
            holds += 4 * std::uint64_t{matched};
        } else {
            m_hash.Grow(lines - m_hash.size());
        }
        if (pBudget != nullptr && holds > taken) {
            pBudget->Take(holds - taken);
            taken = holds;
        }
    }
    if (kept > lineBegin) {
        // A last line without terminator still counts; it is stored with one like the others.
        m_startLow.Reserve(1);
        m_hash.Reserve(1);
        if (bLeaveOut) {
            m_matchLine.Reserve(1);
        }
        if (bBlankLines) {
            m_blankLines.Reserve(2);
        }
        m_text.Get()[kept] = '\n';
        m_bLastUnterminated = true;
        finish(m_text.Get(), m_startLow.data(), m_hash.data(), lineBegin, kept++, lines);
        m_startLow.Grow(1);
        if (bBlankLines) {
            m_blankLines.Grow((lines + 64) / 64 - m_blankLines.size());
        }
        if (bLeaveOut) {
            m_hash.Grow(matched - m_hash.size());
            m_matchLine.Grow(matched - m_matchLine.size());
        } else {
            m_hash.Grow(1);
        }
    }
    m_size = kept;
    m_text.Resize(m_size);
    m_startLow.Trim();
    m_matchLine.Trim();
    m_blankLines.Trim();
    m_hash.Reserve(kHashPadding);
    m_hash.Trim(kHashPadding);
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
