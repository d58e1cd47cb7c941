#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/InlineComparer.h"

class CCompareResult;

// The changes within the lines of the rows the panes paint, worked out once per row and kept
// while that row stays in view. Rows are kept in a fixed number of slots, one per row index
// modulo their count: a screen's worth of consecutive rows never evict each other, and a repaint
// costs the same however long the table. Its owner clears it whenever the table changes.
class CInlineCache {
public:
    static constexpr std::size_t kSlots = 512;

    // The changes within row of result (the table the cache was last cleared for) as
    // CInlineComparer::CompareRow gives them for a pane that shows `looked` bytes of each text;
    // null when the row is not a changed row with text on both sides. Valid until the next call.
    const CInlineChanges* Find(const CCompareResult& result, std::int32_t row, std::size_t looked);
    void Clear();

private:
    struct Slot {
        std::int32_t row = -1;  // -1: empty
        std::size_t looked = 0;
        bool bChanged = false;  // CompareRow's answer
        CInlineChanges changes;
    };

    CInlineComparer m_comparer;
    std::array<Slot, kSlots> m_slots;
};
