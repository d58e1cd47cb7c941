#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/RowKind.h"

// The rows the alignment decided, as runs of consecutive rows of one kind. Equal runs are long in
// real files and most others short, so the script is small next to the table it describes: a run
// of fewer than 64 rows takes one byte, a longer one five.
class CEditScript {
public:
    // A script that only counts its rows (bKeepRuns false) keeps no runs: enough to weigh one
    // alignment against another before paying for its rows.
    explicit CEditScript(bool bKeepRuns = true) : m_bKeepRuns(bKeepRuns) {}

    // Appends count rows of kind, merging with the last run when it has the same kind.
    void Add(RowKind kind, std::uint64_t count) {
        if (count == 0) {
            return;
        }
        m_nRows += count;
        if (kind == kindEqual) {
            m_nEqualRows += count;
        }
        if (!m_bKeepRuns) {
            return;
        }
        if (m_bLastOpen && m_lastKind == kind) {
            count += m_lastCount;
            m_bytes.resize(m_lastAt);
        }
        // Runs of more than 2^32 - 1 rows are written as several; only the last one stays open.
        while (count > UINT32_MAX) {
            Write(kind, UINT32_MAX);
            count -= UINT32_MAX;
        }
        m_lastAt = m_bytes.size();
        m_lastKind = kind;
        m_lastCount = static_cast<std::uint32_t>(count);
        m_bLastOpen = true;
        Write(kind, m_lastCount);
    }

    // Calls visit(kind, count) for each run, in order.
    template <class Visit>
    void ForEachRun(Visit visit) const {
        for (std::size_t at = 0; at < m_bytes.size();) {
            const auto kind = static_cast<RowKind>(m_bytes[at] >> 6);
            std::uint32_t count = m_bytes[at] & kShortMost;
            ++at;
            if (count == 0) {
                std::memcpy(&count, &m_bytes[at], sizeof count);
                at += sizeof count;
            }
            visit(kind, count);
        }
    }

    std::uint64_t GetRowCount() const { return m_nRows; }
    std::uint64_t GetEqualRowCount() const { return m_nEqualRows; }

private:
    static constexpr std::uint32_t kShortMost = 63;

    // A run's first byte holds its kind in the top two bits and, below 64 rows, its count; a
    // count of 0 there means that the count follows in four bytes.
    void Write(RowKind kind, std::uint32_t count) {
        const auto head = static_cast<std::uint8_t>(static_cast<unsigned>(kind) << 6);
        if (count <= kShortMost) {
            m_bytes.push_back(static_cast<std::uint8_t>(head | count));
            return;
        }
        m_bytes.push_back(head);
        std::uint8_t bytes[sizeof count];
        std::memcpy(bytes, &count, sizeof count);
        m_bytes.insert(m_bytes.end(), bytes, bytes + sizeof count);
    }

    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_nRows = 0;
    std::uint64_t m_nEqualRows = 0;
    // The last run, which a run of the same kind extends: where it starts, its kind and count.
    std::size_t m_lastAt = 0;
    RowKind m_lastKind = kindEqual;
    std::uint32_t m_lastCount = 0;
    bool m_bLastOpen = false;
    bool m_bKeepRuns = true;
};
