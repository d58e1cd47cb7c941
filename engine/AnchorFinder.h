#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CLineBuffer;

// Decides, for the realigning pass, where two files meet: whether a pair of equal lines that the
// windows found is good evidence, and where the files meet again when it is not or when the
// windows found none.
//
// A pair is good evidence when a run follows it: kRunLength non-blank lines equal on both sides
// from it on (blank lines opposite each other do not break the run), one of them at least not a
// common line; or, if all are common, a run that goes on for kRunReach pairs; or equal lines up
// to the end of both files. A pair whose equal lines end with one file only has nothing after it
// to confirm it.
// A line is common when its lines occur kCommon times or more in the two files (in files of
// more than a million lines, as often in a sample of a million), as counted in a table of small
// saturating counters keyed by the lines' hashes: a closing brace, "#endif" or "return true;"
// followed by two more such lines says little about where the files meet.
//
// Find looks for the nearest such pair at or after the current lines, "nearest" by the larger of
// the two distances, so that it looks no further than the block it has to step over. Every
// search is bounded: it looks at most kHorizon lines ahead on each side, tries at most
// kCandidates earlier lines for each line it reads, and compares at most kRunReach pairs to
// confirm each. A search that finds a pair at distance d has read at most d lines a side before
// it (or the horizon's hashes once, past the first 256 lines), and the pass then moves past the
// pair; a search that finds nothing is not repeated until one side has moved half a horizon on.
// So the searches of a whole comparison cost time linear in the files, whatever they hold.
class CAnchorFinder {
public:
    static constexpr std::int32_t kHorizon = 4096;
    static constexpr std::int32_t kRunLength = 3;
    static constexpr std::int32_t kRunReach = 16;
    static constexpr std::int32_t kCandidates = 8;
    static constexpr std::uint32_t kCommon = 15;

    // Both files must have their match index (CLineBuffer::GetHashes) while the finder is in use;
    // line numbers here are positions in it.
    // Counts the lines of both files, in at most 128 KiB (about a quarter of a byte a line).
    CAnchorFinder(const CLineBuffer& source, const CLineBuffer& target);
    ~CAnchorFinder();
    CAnchorFinder(const CAnchorFinder&) = delete;
    CAnchorFinder& operator=(const CAnchorFinder&) = delete;

    // Looks for the meeting point at or after source line s and target line t; true with it in
    // k and m. False without looking when an earlier search from close behind found nothing.
    bool Find(std::int32_t s, std::int32_t t, std::int32_t& k, std::int32_t& m) {
        return (s >= m_quietSource || t >= m_quietTarget) && Search(s, t, k, m);
    }

    // Whether the equal lines k and m are a meeting point that Find could return.
    bool Confirm(std::int32_t k, std::int32_t m) const;

private:
    // The lines of one hash seen so far in this search, per side, as chains through m_next.
    struct CSlot {
        std::uint32_t hash;
        std::uint32_t search;  // the search that filled the slot; older slots count as empty
        std::int32_t head[2];
        std::int32_t tail[2];
    };

    bool Search(std::int32_t s, std::int32_t t, std::int32_t& k, std::int32_t& m);
    // Adds line s + offset (side 0) or t + offset (side 1), which has hash, to its chain and
    // returns the first line of the other side in the same chain that confirms a run, or -1.
    std::int32_t AddAndMatch(int side, std::uint32_t hash, std::int32_t offset);
    bool IsCommon(std::uint32_t hash) const {
        const std::uint32_t slot = (hash * 0x9E3779B1u) >> m_countShift;
        return ((m_counts[slot >> 1] >> ((slot & 1) * 4)) & 15) >= kCommon;
    }

    const CLineBuffer& m_source;
    const CLineBuffer& m_target;
    std::int32_t m_s = 0;
    std::int32_t m_t = 0;
    std::unique_ptr<CSlot[]> m_pSlots;  // allocated by the first search
    std::vector<std::int32_t> m_next[2];
    std::vector<std::uint64_t> m_filter[2];  // the hashes of each side's horizon, as bits
    // Four-bit counters, two a byte, that stop at 15: the counted lines whose hashes fall on each.
    // At least a quarter as many counters as lines counted, so that the other lines that share a
    // line's counter seldom add up to kCommon; a count is never too low.
    std::vector<std::uint8_t> m_counts;
    int m_countShift = 32;
    std::uint32_t m_nSearch = 0;
    // No search until source line m_quietSource or target line m_quietTarget is reached.
    std::int64_t m_quietSource = -1;
    std::int64_t m_quietTarget = -1;
};
