#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CLineBuffer;

// Finds where two files meet again after a stretch that the forward pass could not pair: the
// nearest source line k and target line m from which kRunLength non-blank lines are equal on
// both sides (blank lines opposite each other do not break the run), or from which the equal
// lines reach the end of a file. "Nearest" is by the larger of the two distances, k - s and m - t,
// so a search looks no further than the block it has to step over.
//
// Every search is bounded: it looks at most kHorizon lines ahead on each side, tries at most
// kCandidates earlier lines for each line it reads, and compares at most kRunReach pairs to
// confirm each. A search that finds nothing is not repeated until one side has moved half a
// horizon on, so the searches of a whole comparison cost time linear in the files, whatever
// they hold.
class CAnchorFinder {
public:
    static constexpr std::int32_t kHorizon = 4096;
    static constexpr std::int32_t kRunLength = 3;
    static constexpr std::int32_t kRunReach = 16;
    static constexpr std::int32_t kCandidates = 8;

    // Both files must have their hashes (CLineBuffer::GetHashes) while the finder is in use.
    CAnchorFinder(const CLineBuffer& source, const CLineBuffer& target);
    ~CAnchorFinder();
    CAnchorFinder(const CAnchorFinder&) = delete;
    CAnchorFinder& operator=(const CAnchorFinder&) = delete;

    // Looks for the meeting point at or after source line s and target line t; true with it in
    // k and m. False without looking when an earlier search from close behind found nothing.
    bool Find(std::int32_t s, std::int32_t t, std::int32_t& k, std::int32_t& m) {
        return (s >= m_quietSource || t >= m_quietTarget) && Search(s, t, k, m);
    }

private:
    // The lines of one hash seen so far in this search, per side, as chains through m_next.
    struct CSlot {
        std::uint32_t hash;
        std::uint32_t search;  // the search that filled the slot; older slots count as empty
        std::int32_t head[2];
        std::int32_t tail[2];
    };

    bool Search(std::int32_t s, std::int32_t t, std::int32_t& k, std::int32_t& m);
    bool Confirm(std::int32_t k, std::int32_t m) const;
    // Adds line s + offset (side 0) or t + offset (side 1), which has hash, to its chain and
    // returns the first line of the other side in the same chain that confirms a run, or -1.
    std::int32_t AddAndMatch(int side, std::uint32_t hash, std::int32_t offset);

    const CLineBuffer& m_source;
    const CLineBuffer& m_target;
    std::int32_t m_s = 0;
    std::int32_t m_t = 0;
    std::unique_ptr<CSlot[]> m_pSlots;  // allocated by the first search
    std::vector<std::int32_t> m_next[2];
    std::vector<std::uint64_t> m_filter[2];  // the hashes of each side's horizon, as bits
    std::uint32_t m_nSearch = 0;
    // No search until source line m_quietSource or target line m_quietTarget is reached.
    std::int64_t m_quietSource = -1;
    std::int64_t m_quietTarget = -1;
};
