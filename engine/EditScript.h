#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/RowKind.h"

// The rows the alignment decided, as runs of consecutive rows of one kind. Equal runs are long in
// real files, so the script is small next to the table it describes.
class CEditScript {
public:
    // Appends count rows of kind, merging with the last run when it has the same kind.
    void Add(RowKind kind, std::uint64_t count) {
        m_nRows += count;
        if (count > 0 && !m_runs.empty() && KindOf(m_runs.back()) == kind) {
            const std::uint32_t room = kMaxCount - CountOf(m_runs.back());
            const auto merged = static_cast<std::uint32_t>(count < room ? count : room);
            m_runs.back() += merged;
            count -= merged;
        }
        while (count > 0) {
            const auto part = static_cast<std::uint32_t>(count < kMaxCount ? count : kMaxCount);
            m_runs.push_back((static_cast<std::uint32_t>(kind) << 30) | part);
            count -= part;
        }
    }

    std::size_t GetRunCount() const { return m_runs.size(); }
    RowKind GetKind(std::size_t run) const { return KindOf(m_runs[run]); }
    std::uint32_t GetCount(std::size_t run) const { return CountOf(m_runs[run]); }
    std::uint64_t GetRowCount() const { return m_nRows; }

private:
    // A run packs its kind into the top two bits and its length into the other thirty.
    static constexpr std::uint32_t kMaxCount = (1u << 30) - 1;
    static RowKind KindOf(std::uint32_t run) { return static_cast<RowKind>(run >> 30); }
    static std::uint32_t CountOf(std::uint32_t run) { return run & kMaxCount; }

    std::vector<std::uint32_t> m_runs;
    std::uint64_t m_nRows = 0;
};
