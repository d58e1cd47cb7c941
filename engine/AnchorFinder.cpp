#include "engine/AnchorFinder.h"

#include <algorithm>

#include "engine/LineBuffer.h"

namespace {

// Twice as many slots as a search can fill: 2 * kHorizon hashes at most, one per line read.
constexpr int kSlotBits = 14;
constexpr std::uint32_t kSlotCount = 1u << kSlotBits;
static_assert(kSlotCount >= 4 * CAnchorFinder::kHorizon);

std::uint32_t SlotOf(std::uint32_t hash) {
    return (hash * 0x9E3779B1u) >> (32 - kSlotBits);
}

// The occurrence counts come from at most about this many lines of the two files: all of them
// in smaller files; in larger ones, runs of kCountedRun lines spread evenly over each file. So
// counting costs no more for larger files and its table stays in the cache (a random access a
// line into a larger one cost more than the rest of the realigning), and a common line is one
// as frequent as CAnchorFinder::kCommon in this many.
constexpr std::int64_t kCountedLines = std::int64_t{1} << 20;
constexpr std::int64_t kCountedRun = 64;

// Most blocks to step over are short: a search reads this far with no more ado. Further on it
// first notes which hashes each side's horizon holds and reads only the lines whose hash the
// other side has, so a search that finds nothing costs little more than reading the hashes.
constexpr std::int32_t kUnfiltered = 256;
constexpr std::uint32_t kFilterBits = 1u << 16;

bool InFilter(const std::uint64_t* filter, std::uint32_t hash) {
    return ((filter[(hash & (kFilterBits - 1)) >> 6] >> (hash & 63)) & 1) != 0;
}

void FillFilter(std::uint64_t* filter, const std::uint32_t* hashes, std::int32_t count) {
    std::fill_n(filter, kFilterBits / 64, 0);
    for (std::int32_t i = 0; i < count; ++i) {
        filter[(hashes[i] & (kFilterBits - 1)) >> 6] |= 1ull << (hashes[i] & 63);
    }
}

}  // namespace

CAnchorFinder::CAnchorFinder(const CLineBuffer& source, const CLineBuffer& target)
    : m_source(source), m_target(target) {
    const std::int64_t lines =
        static_cast<std::int64_t>(source.GetMatchCount()) + target.GetMatchCount();
    // Runs of kCountedRun lines out of every `stride` runs are counted.
    const std::int64_t stride =
        std::max<std::int64_t>(1, (lines + kCountedLines - 1) / kCountedLines);
    int bits = 7;
    while (bits < 32 && (std::int64_t{1} << (bits + 2)) < std::min(lines, kCountedLines)) {
        ++bits;
    }
    m_countShift = 32 - bits;
    m_counts.assign(std::size_t{1} << (bits - 1), 0);
    std::uint8_t* counts = m_counts.data();
    const int shift = m_countShift;
    for (const CLineBuffer* pLines : {&source, &target}) {
        const std::uint32_t* hashes = pLines->GetHashes();
        const std::int64_t n = pLines->GetMatchCount();
        for (std::int64_t run = 0; run < n; run += kCountedRun * stride) {
            for (std::int64_t i = run, end = std::min(run + kCountedRun, n); i < end; ++i) {
                const std::uint32_t slot = (hashes[i] * 0x9E3779B1u) >> shift;
                const int at = static_cast<int>(slot & 1) * 4;
                std::uint8_t& pair = counts[slot >> 1];
                // Without a branch: the slots come in no order, and a mispredicted branch a
                // line would cost more than the count.
                pair = static_cast<std::uint8_t>(pair + (int{((pair >> at) & 15) != 15} << at));
            }
        }
    }
}

CAnchorFinder::~CAnchorFinder() = default;

bool CAnchorFinder::Confirm(std::int32_t k, std::int32_t m) const {
    const std::int32_t nS = m_source.GetMatchCount();
    const std::int32_t nT = m_target.GetMatchCount();
    const std::uint32_t* sourceHash = m_source.GetHashes();
    const std::uint32_t* targetHash = m_target.GetHashes();
    std::int32_t equal = 0;
    std::uint32_t first[kRunLength];  // the hashes of the run's first equal lines
    for (std::int32_t step = 0; step < kRunReach; ++step, ++k, ++m) {
        if (k == nS || m == nT) {
            return k == nS && m == nT;
        }
        if (sourceHash[k] == 0 && targetHash[m] == 0) {
            continue;
        }
        if (!m_source.IsEqual(k, m_target, m)) {
            return false;
        }
        // The counts are looked up only once the run is long enough.
        if (equal < kRunLength) {
            first[equal] = sourceHash[k];
        }
        if (++equal == kRunLength) {
            for (const std::uint32_t hash : first) {
                if (!IsCommon(hash)) {
                    return true;
                }
            }
        } else if (equal > kRunLength && !IsCommon(sourceHash[k])) {
            return true;
        }
    }
    // As many pairs as a run may take, each equal or blank on both sides.
    return equal >= kRunLength;
}

std::int32_t CAnchorFinder::AddAndMatch(int side, std::uint32_t hash, std::int32_t offset) {
    std::uint32_t i = SlotOf(hash);
    while (m_pSlots[i].search == m_nSearch && m_pSlots[i].hash != hash) {
        i = (i + 1) & (kSlotCount - 1);
    }
    CSlot& slot = m_pSlots[i];
    if (slot.search != m_nSearch) {
        slot = CSlot{hash, m_nSearch, {-1, -1}, {-1, -1}};
    }
    std::vector<std::int32_t>& next = m_next[side];
    next[static_cast<std::size_t>(offset)] = -1;
    if (slot.tail[side] < 0) {
        slot.head[side] = offset;
    } else {
        next[static_cast<std::size_t>(slot.tail[side])] = offset;
    }
    slot.tail[side] = offset;

    // The other side's lines of this hash, nearest first.
    const int other = 1 - side;
    std::int32_t tries = 0;
    for (std::int32_t j = slot.head[other]; j >= 0 && tries < kCandidates;
         j = m_next[other][static_cast<std::size_t>(j)], ++tries) {
        if (side == 0 ? Confirm(m_s + offset, m_t + j) : Confirm(m_s + j, m_t + offset)) {
            return j;
        }
    }
    return -1;
}

bool CAnchorFinder::Search(std::int32_t s, std::int32_t t, std::int32_t& k, std::int32_t& m) {
    if (!m_pSlots) {
        m_pSlots = std::make_unique<CSlot[]>(kSlotCount);
        m_next[0].resize(kHorizon);
        m_next[1].resize(kHorizon);
        m_filter[0].resize(kFilterBits / 64);
        m_filter[1].resize(kFilterBits / 64);
    }
    if (++m_nSearch == 0) {
        // The stamps have come round: every slot is emptied once.
        std::fill_n(m_pSlots.get(), kSlotCount, CSlot{});
        m_nSearch = 1;
    }
    m_s = s;
    m_t = t;
    const std::int32_t sourceReach = std::min(m_source.GetMatchCount() - s, kHorizon);
    const std::int32_t targetReach = std::min(m_target.GetMatchCount() - t, kHorizon);
    const std::uint32_t* sourceHash = m_source.GetHashes() + s;
    const std::uint32_t* targetHash = m_target.GetHashes() + t;
    // Distance d reads source line s + d and target line t + d; a pair found on reading one of
    // them is at distance d, and the first distance that gives one ends the search.
    const std::uint64_t* sourceFilter = nullptr;
    const std::uint64_t* targetFilter = nullptr;
    for (std::int32_t d = 0; d < std::max(sourceReach, targetReach); ++d) {
        if (d == kUnfiltered) {
            FillFilter(m_filter[0].data(), sourceHash, sourceReach);
            FillFilter(m_filter[1].data(), targetHash, targetReach);
            sourceFilter = m_filter[0].data();
            targetFilter = m_filter[1].data();
        }
        std::int32_t bestK = -1;
        std::int32_t bestM = -1;
        if (d < sourceReach && sourceHash[d] != 0 &&
            (targetFilter == nullptr || InFilter(targetFilter, sourceHash[d]))) {
            const std::int32_t j = AddAndMatch(0, sourceHash[d], d);
            if (j >= 0) {
                bestK = d;
                bestM = j;
            }
        }
        if (d < targetReach && targetHash[d] != 0 &&
            (sourceFilter == nullptr || InFilter(sourceFilter, targetHash[d]))) {
            const std::int32_t j = AddAndMatch(1, targetHash[d], d);
            // Of two pairs at the same distance, the one that passes over fewer lines.
            if (j >= 0 && (bestK < 0 || j + d < bestK + bestM)) {
                bestK = j;
                bestM = d;
            }
        }
        if (bestK >= 0) {
            k = s + bestK;
            m = t + bestM;
            return true;
        }
    }
    m_quietSource = static_cast<std::int64_t>(s) + kHorizon / 2;
    m_quietTarget = static_cast<std::int64_t>(t) + kHorizon / 2;
    return false;
}
