#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Asks for huge pages under the whole pages of [p, p + bytes): memory touched first costs a page
// fault per page, which dominates the cost of filling large arrays. Only advice; ignored where
// unavailable.
void AdviseHugePages(void* p, std::size_t bytes);

// One file's lines, read in text mode into a single buffer with the tabs already expanded: every
// line is followed by exactly one LF, a CR directly before an LF is gone, and nothing from the
// first Ctrl-Z on is kept. The result table shows lines straight from this buffer, so a line is
// never copied after it has been read.
//
// For the alignment each line also carries a 32-bit hash (0 exactly for blank lines) and a record
// of where its tabs stood. Two lines are equal when their raw bytes are: equal expanded bytes
// with the tabs in the same places. Most tabs indent, so a line whose tabs all lead is recorded
// by their count alone; only the other lines keep the distances between their tabs.
class CLineBuffer {
public:
    // Line numbers in the table are 32-bit, so a file may hold at most this many lines.
    static constexpr std::int64_t kMaxLines = INT32_MAX;

    CLineBuffer() = default;
    CLineBuffer(const CLineBuffer&) = delete;
    CLineBuffer& operator=(const CLineBuffer&) = delete;

    // Reads the file at path. Returns false, with no lines, when it cannot be opened or names a
    // directory; pOpenError (optional) then receives the system's reason. Throws CFileException
    // when a file that did open cannot be read to its end or holds more than maxLines lines; the
    // file is closed either way. Opening never waits for another process: a named pipe that no
    // one writes to reads as empty.
    bool Load(const std::string& path, std::string* pOpenError = nullptr,
              std::int64_t maxLines = kMaxLines);

    std::int32_t GetLineCount() const { return static_cast<std::int32_t>(m_startLow.size() - 1); }
    // Line i (from 0) as stored: tabs expanded, without its terminator.
    std::string_view GetLine(std::int32_t i) const {
        const std::uint64_t begin = GetStart(i);
        return {m_text.Get() + begin, GetStart(i + 1) - 1 - begin};
    }
    bool IsEmptyLine(std::int32_t i) const { return GetStart(i + 1) - GetStart(i) == 1; }

    // The match index below lives only until DropMatchIndex. The hashes are followed by
    // kHashPadding zeros, so a look-ahead may read a whole window past the last line.
    static constexpr std::size_t kHashPadding = 32;
    const std::uint32_t* GetHashes() const { return m_hash.data(); }
    // Whether line i of this file and line j of other held the same raw bytes.
    bool IsEqual(std::int32_t i, const CLineBuffer& other, std::int32_t j) const;
    // Frees the hashes and tab records once the rows are decided.
    void DropMatchIndex();

private:
    // Pages mapped for the text: growing remaps them instead of copying, and large files get
    // huge pages, which saves most of the page faults of a first touch.
    class CPages {
    public:
        CPages() = default;
        ~CPages();
        CPages(const CPages&) = delete;
        CPages& operator=(const CPages&) = delete;
        char* Get() const { return m_pData; }
        std::size_t GetSize() const { return m_size; }
        void Resize(std::size_t size);  // keeps the bytes; throws std::bad_alloc

    private:
        char* m_pData = nullptr;
        std::size_t m_size = 0;
    };

    // A line's tab record with this bit set: the line has a tab after some other byte; the low
    // bits number it among such lines, for m_irregularFirst. Without it: the number of tabs, all
    // at the start of the line.
    static constexpr std::uint32_t kIrregular = 0x80000000u;
    // In m_tabs: the record does not fit 16 bits and stands in m_otherTabs.
    static constexpr std::uint16_t kOtherTabs = 0xFFFF;

    std::uint64_t GetStart(std::int32_t entry) const {
        std::uint64_t high = 0;
        if (!m_highEntry.empty()) {
            while (high < m_highEntry.size() && m_highEntry[high] <= entry) {
                ++high;
            }
        }
        return (high << 32) | m_startLow[entry];
    }
    std::uint32_t GetTabs(std::int32_t i) const;
    void FinishLine(std::uint64_t begin, std::uint64_t end, std::uint32_t tabs);
    void AddTabDistance(std::uint64_t distance);

    CPages m_text;
    std::size_t m_size = 0;  // bytes in use

    // Start of each line and, last, one past the final LF; low 32 bits only. m_highEntry[k] is
    // the first entry whose start is at or beyond (k + 1) * 4 GiB, so files under 4 GiB pay
    // four bytes a line.
    std::vector<std::uint32_t> m_startLow{0};
    std::vector<std::int32_t> m_highEntry;

    std::vector<std::uint32_t> m_hash;
    // Tab records in two bytes a line, since nearly every line has fewer than 65535 tabs, all
    // leading; the others, by line, in m_otherTabs.
    std::vector<std::uint16_t> m_tabs;
    std::vector<std::pair<std::int32_t, std::uint32_t>> m_otherTabs;
    // For each irregular line, its run in m_tabDistances: the distance of each tab from the one
    // before (the first from the line start) in the expanded line. A distance of 2^32 - 1 or
    // more is written as that many 2^32 - 1 entries followed by the rest, so equal runs mean
    // equal positions.
    std::vector<std::uint64_t> m_irregularFirst{0};
    std::vector<std::uint32_t> m_tabDistances;
};
