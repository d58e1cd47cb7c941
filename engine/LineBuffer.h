#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "engine/CompareOptions.h"
#include "engine/CompareProgress.h"
#include "engine/LineNormaliser.h"
#include "platform/File.h"
#include "platform/Memory.h"

// Replaces every tab in text with exactly four spaces, in place; returns text.
std::string& ExpandTabs(std::string& text);

// An array of plain values in a CPageBuffer: it grows without copying where the platform allows,
// and space reserved but never written costs no memory.
template <class T>
class CPagedArray {
public:
    T* data() { return reinterpret_cast<T*>(m_pages.Get()); }
    const T* data() const { return reinterpret_cast<const T*>(m_pages.Get()); }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const T& operator[](std::size_t i) const { return data()[i]; }
    const T& back() const { return data()[m_size - 1]; }

    // Room for n more values, so that the next n writes need no check. Throws std::bad_alloc.
    void Reserve(std::size_t n) {
        if (m_size + n > m_pages.GetSize() / sizeof(T)) {
            const std::size_t grown = m_pages.GetSize() + m_pages.GetSize() / 2;
            const std::size_t needed = (m_size + n) * sizeof(T);
            m_pages.Resize(((needed > grown ? needed : grown) + 4095) / 4096 * 4096);
        }
    }
    void push_back(T value) {
        Reserve(1);
        data()[m_size++] = value;
    }
    // After Reserve(n): the caller has written values at data()[size()] onward.
    void Grow(std::size_t n) { m_size += n; }
    void Clear() {
        m_pages.Resize(0);
        m_size = 0;
    }
    // Gives back the room past the first n more values (whole pages): an array reserved for
    // an estimate, and backed by huge pages, can hold megabytes past its end.
    void Trim(std::size_t n = 0) {
        m_pages.Resize(((m_size + n) * sizeof(T) + 4095) / 4096 * 4096);
    }

private:
    CPageBuffer m_pages;
    std::size_t m_size = 0;
};

// The memory that the files of one comparison may take while they are read, shared by their
// readers: each takes its file's size before reading it, and then what its text and line tables
// hold beyond that as they grow. Running past it is running out of memory.
class CReadBudget {
public:
    explicit CReadBudget(std::uint64_t bytes) : m_limit(bytes) {}

    // Counts bytes as taken; throws std::bad_alloc, taking nothing, when they do not fit.
    void Take(std::uint64_t bytes) {
        std::uint64_t taken = m_taken.load(std::memory_order_relaxed);
        do {
            if (bytes > m_limit - taken) {
                throw std::bad_alloc();
            }
        } while (!m_taken.compare_exchange_weak(taken, taken + bytes, std::memory_order_relaxed));
    }

private:
    const std::uint64_t m_limit;
    std::atomic<std::uint64_t> m_taken{0};
};

// How a line ended in its file.
enum class LineEnd : std::uint8_t {
    lf,    // an LF alone
    crLf,  // a CR and an LF
    none,  // nothing: the file's last line, without terminator
};

// One file's lines, read in text mode into a single buffer: every line is followed by exactly
// one LF, a CR directly before an LF is gone, and nothing from the first Ctrl-Z on is kept; which
// lines ended in CR LF, whether the last one had no terminator and whether a Ctrl-Z cut the file
// are noted, so that the file's bytes can be told from the lines (GetLineEnd, WasCut). Tabs
// stay as they are (the table expands them when it shows a line), so two lines are equal exactly
// when their stored bytes are. The result table shows lines straight from this buffer, so a
// line is never copied after it has been read.
//
// For the alignment the lines also carry a match index: a 32-bit hash a line, 0 exactly for blank
// lines. With comparison options on (SetOptions), a file with a byte-order mark may be decoded
// before its lines are split, the hashes and IsEqual see the lines as the options do, and blank
// lines may be left out of the index; the lines themselves are always kept as read.
class CLineBuffer {
public:
    // Line numbers in the table are 32-bit, so a file may hold at most this many lines.
    static constexpr std::int64_t kMaxLines = INT32_MAX;

    CLineBuffer();
    CLineBuffer(const CLineBuffer&) = delete;
    CLineBuffer& operator=(const CLineBuffer&) = delete;

    // How the next Read decodes the file and how its lines compare; all off by default.
    void SetOptions(const CCompareOptions& options);
    // What Read found the file to be, by its byte-order mark.
    TextEncoding GetEncoding() const { return m_encoding; }

    // Reads the file at path. Returns false, with no lines, when it cannot be opened or names a
    // directory; pOpenError (optional) then receives the system's reason. Throws as Read does.
    bool Load(const std::string& path, std::string* pOpenError = nullptr,
              std::int64_t maxLines = kMaxLines);
    // Reads an open file to its end into this new buffer, and closes it. Throws CFileException when
    // it cannot be read to its end or holds more than maxLines lines, std::bad_alloc when memory
    // runs out or the file outgrows pBudget (when given), CCompareCancelled when pMonitor (when
    // given; it counts each block read as the source's or the target's) is asked to stop; the
    // file is closed either way.
    void Read(CInputFile& file, std::int64_t maxLines = kMaxLines, CReadBudget* pBudget = nullptr,
              CCompareMonitor* pMonitor = nullptr, bool bSource = true);

    // Appends one line given as text (tabs kept, any bytes allowed); for tables built row by row.
    // Throws std::bad_alloc and then leaves the buffer as it was; never after Reserve for at
    // least as many bytes. No hash is kept for it.
    void AppendLine(std::string_view text);
    void Reserve(std::size_t bytes);

    std::int32_t GetLineCount() const { return static_cast<std::int32_t>(m_startLow.size() - 1); }
    // Line i (from 0) as stored, without its terminator; tabs not expanded.
    std::string_view GetLine(std::int32_t i) const {
        const std::uint64_t begin = GetStart(i);
        return {m_text.Get() + begin, static_cast<std::size_t>(GetStart(i + 1) - 1 - begin)};
    }
    // How line i ended in the file.
    LineEnd GetLineEnd(std::int32_t i) const {
        const auto line = static_cast<std::size_t>(i);
        if (line < m_crLfBits && ((m_crLf[line >> 6] >> (line & 63)) & 1) != 0) {
            return LineEnd::crLf;
        }
        return i + 1 == GetLineCount() && m_bLastUnterminated ? LineEnd::none : LineEnd::lf;
    }
    // Whether a Ctrl-Z ended the text before the end of the file: the bytes from it on are not
    // among the lines.
    bool WasCut() const { return m_bCut; }
    bool IsEmptyLine(std::int32_t i) const {
        if (m_highEntry.empty()) {
            return m_startLow[i + 1] - m_startLow[i] == 1;
        }
        return GetStart(i + 1) - GetStart(i) == 1;
    }

    // Whether nothing of line i is left for the comparison: it is empty, or under a white-space
    // option holds only spaces and tabs.
    bool IsBlank(std::int32_t i) const {
        if (!m_normaliser) {
            return IsEmptyLine(i);
        }
        const auto line = static_cast<std::size_t>(i);
        return ((m_blankLines[line >> 6] >> (line & 63)) & 1) != 0;
    }

    // The match index lives only until DropMatchIndex. It holds every line, or under
    // bIgnoreBlankLines only those that are not blank: position i stands for line
    // GetMatchLine(i). The hashes are followed by kHashPadding zeros, so a look-ahead may read a
    // whole window past the last one.
    static constexpr std::size_t kHashPadding = 32;
    std::int32_t GetMatchCount() const { return static_cast<std::int32_t>(m_hash.size()); }
    std::int32_t GetMatchLine(std::int32_t i) const {
        return m_matchLine.empty() ? i : m_matchLine[static_cast<std::size_t>(i)];
    }
    const std::uint32_t* GetHashes() const { return m_hash.data(); }
    // Whether the lines at positions i of this file's index and j of other's are equal: they
    // hold the same bytes or, with options, the same text as the options see it.
    bool IsEqual(std::int32_t i, const CLineBuffer& other, std::int32_t j) const {
        return m_hash[i] == other.m_hash[j] &&
               (m_bPlainIndex ? GetLine(i) == other.GetLine(j) : IsEqualByOptions(i, other, j));
    }
    // Frees the match index once the rows are decided.
    void DropMatchIndex() {
        m_hash.Clear();
        m_matchLine.Clear();
    }

    // Calls visit(i) for every line i longer than length bytes, in order: a look at the line
    // starts alone, so it costs little where few lines are that long.
    template <class Visit>
    void ForEachLineLongerThan(std::size_t length, Visit visit) const {
        const std::int32_t count = GetLineCount();
        if (!m_highEntry.empty()) {
            for (std::int32_t i = 0; i < count; ++i) {
                if (GetLine(i).size() > length) {
                    visit(i);
                }
            }
            return;
        }
        const std::uint32_t* starts = m_startLow.data();
        for (std::int32_t i = 0; i < count; ++i) {
            if (starts[i + 1] - starts[i] - 1 > length) {
                visit(i);
            }
        }
    }

private:
    std::uint64_t GetStart(std::int32_t entry) const {
        std::uint64_t high = 0;
        while (high < m_highEntry.size() && m_highEntry[high] <= entry) {
            ++high;
        }
        return (high << 32) | m_startLow[entry];
    }
    // Notes that entry, the start of a line at offset next, lies past a multiple of 4 GiB.
    void AddHighEntry(std::size_t entry, std::uint64_t next);
    // Read's pass over the file, from chunks (as read, or decoded), each line entered into the
    // match index by match (as read, or as the options see it).
    template <class Chunks, class Match>
    void ReadLines(Chunks& chunks, const Match& match, std::uint64_t expected,
                   std::int64_t maxLines, CReadBudget* pBudget);
    bool IsEqualByOptions(std::int32_t i, const CLineBuffer& other, std::int32_t j) const;
    // Notes that line ended in CR LF. Out of line: files with LF alone never come here.
    void MarkCrLf(std::size_t line);

    CPageBuffer m_text;
    std::size_t m_size = 0;  // bytes in use

    // Start of each line and, last, one past the final LF; low 32 bits only. m_highEntry[k] is
    // the first entry whose start is at or beyond (k + 1) * 4 GiB, so files under 4 GiB pay
    // four bytes a line.
    CPagedArray<std::uint32_t> m_startLow;
    CPagedArray<std::int32_t> m_highEntry;
    CPagedArray<std::uint32_t> m_hash;
    CPagedArray<std::int32_t> m_matchLine;    // under bIgnoreBlankLines: the line of each position
    CPagedArray<std::uint64_t> m_blankLines;  // with a normaliser: bit i, line i is blank
    // Bit i: line i ended in CR LF; only as far as m_crLfBits, which is 0 until a CR LF is met.
    CPagedArray<std::uint64_t> m_crLf;
    std::size_t m_crLfBits = 0;
    bool m_bLastUnterminated = false;
    bool m_bCut = false;

    CCompareOptions m_options;
    std::optional<CLineNormaliser> m_normaliser;  // while lines compare other than by bytes
    bool m_bPlainIndex = true;                    // every line in the index, equal by its bytes
    TextEncoding m_encoding = TextEncoding::bytes;
};
