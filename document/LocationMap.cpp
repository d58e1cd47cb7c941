#include "document/LocationMap.h"

#include <algorithm>

#include "engine/CompareResult.h"

namespace {

// Which kind a pixel shows when its rows hold several: the higher wins; equal rows never do.
constexpr int Rank(std::int32_t kind) {
    switch (kind) {
        case kindChanged:
            return 3;
        case kindSourceOnly:
            return 2;
        case kindTargetOnly:
            return 1;
        default:
            return 0;
    }
}

// The first row pixel p stands for, of rows shown over height pixels.
std::int64_t FirstRow(std::int64_t p, std::int64_t rows, std::int64_t height) {
    return p * rows / height;
}

}  // namespace

void CLocationMap::Clear() {
    m_pixels.clear();
    m_nRows = 0;
    m_nHeight = 0;
    m_bBuilt = false;
}

void CLocationMap::Build(const CCompareResult& result, int height) {
    m_bBuilt = true;
    m_nHeight = std::max(height, 0);
    m_nRows = result.GetRowCount();
    m_pixels.assign(static_cast<std::size_t>(m_nHeight), kindEqual);
    if (m_nRows <= 0) {
        return;
    }
    const CKindColumn& kinds = result.m_kind;
    const std::int64_t rows = m_nRows;
    std::int64_t begin = 0;
    for (int p = 0; p < m_nHeight; ++p) {
        // Pixel p stands for its rows; where there are fewer rows than pixels, for one row.
        const std::int64_t next = FirstRow(p + 1, rows, m_nHeight);
        const std::int64_t end = std::max(next, begin + 1);
        // Most rows are equal: counted first without a branch, which the compiler vectorises,
        // and looked at one by one only where some are not.
        std::int64_t unequal = 0;
        for (std::int64_t r = begin; r < end; ++r) {
            unequal += kinds[static_cast<std::size_t>(r)] != kindEqual ? 1 : 0;
        }
        std::int32_t shown = kindEqual;
        for (std::int64_t r = begin; unequal > 0 && r < end; ++r) {
            const std::int32_t kind = kinds[static_cast<std::size_t>(r)];
            if (kind == kindEqual) {
                continue;
            }
            --unequal;
            if (Rank(kind) > Rank(shown) && result.IsDifference(static_cast<std::int32_t>(r))) {
                shown = kind;
                if (kind == kindChanged) {
                    break;
                }
            }
        }
        m_pixels[static_cast<std::size_t>(p)] = static_cast<std::uint8_t>(shown);
        begin = next;
    }
}

std::int32_t CLocationMap::RowAt(int y) const {
    if (m_nRows <= 0 || m_nHeight <= 0) {
        return 0;
    }
    const int p = std::clamp(y, 0, m_nHeight - 1);
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(FirstRow(p, m_nRows, m_nHeight), std::int64_t{m_nRows} - 1));
}

int CLocationMap::PixelOf(std::int64_t row) const {
    if (m_nRows <= 0 || row >= m_nRows) {
        return m_nHeight;
    }
    const std::int64_t r = std::max<std::int64_t>(row, 0);
    const std::int64_t rows = m_nRows;
    const std::int64_t height = m_nHeight;
    // The pixel whose rows hold r or, for a row shown on several pixels, the first of them.
    const std::int64_t p =
        rows >= height ? ((r + 1) * height + rows - 1) / rows - 1 : (r * height + rows - 1) / rows;
    return static_cast<int>(std::clamp<std::int64_t>(p, 0, height - 1));
}

std::int32_t CLocationMap::RowToShow(const CCompareResult& result, int y) const {
    const std::int32_t first = RowAt(y);
    if (m_nHeight <= 0 || m_nRows <= 0) {
        return first;
    }
    const int p = std::clamp(y, 0, m_nHeight - 1);
    const std::int32_t kind = GetPixel(p);
    if (kind == kindEqual) {
        return first;
    }
    const std::int64_t end =
        std::max<std::int64_t>(FirstRow(p + 1, m_nRows, m_nHeight), std::int64_t{first} + 1);
    for (std::int64_t r = first; r < end && r < m_nRows; ++r) {
        const auto row = static_cast<std::int32_t>(r);
        if (result.m_kind[static_cast<std::size_t>(r)] == kind && result.IsDifference(row)) {
            return row;
        }
    }
    return first;
}
