#include "document/InlineCache.h"

const CInlineChanges* CInlineCache::Find(const CCompareResult& result, std::int32_t row,
                                         std::size_t looked) {
    Slot& slot = m_slots[static_cast<std::size_t>(row) % kSlots];
    // What was worked out for a narrower view still holds unless the comparison stopped at the
    // edge of that view.
    const bool bKnown = slot.row == row && (slot.looked >= looked || !slot.changes.bBeyond);
    if (!bKnown) {
        slot.row = row;
        slot.looked = looked;
        slot.bChanged = m_comparer.CompareRow(result, row, slot.changes, looked);
    }
    return slot.bChanged ? &slot.changes : nullptr;
}

void CInlineCache::Clear() {
    for (Slot& slot : m_slots) {
        slot.row = -1;
    }
}
