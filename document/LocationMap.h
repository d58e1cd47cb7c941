#pragma once

#include <cstdint>
#include <vector>

class CCompareResult;

// The location map (View > Location Map): a narrow strip beside the target pane's scroll bar,
// as tall as the panes, that shows the whole result at once. Each pixel down the strip stands for
// an equal share of the rows and shows the kind of difference its rows hold, if any, so that a
// lone difference row among millions still shows as one pixel. A pixel whose rows hold differences
// of several kinds shows a changed row before a source-only row before a target-only row.
//
// Built in one pass over the row kinds for one table and one height; its owner clears it whenever
// the table changes.
class CLocationMap {
public:
    // The strip's width, in the same pixels as the panes' other geometry.
    static constexpr int kWidth = 14;

    // Works out every pixel of a strip `height` pixels tall for result. Nothing is shown for a
    // height of 0 or less or a table without rows.
    void Build(const CCompareResult& result, int height);
    void Clear();
    // Whether Build ran since the last Clear for a strip of that height.
    bool IsBuilt(int height) const { return m_bBuilt && m_nHeight == height; }

    // What pixel y shows: the RowKind of the difference rows it stands for, or kindEqual when
    // there are none.
    std::int32_t GetPixel(int y) const { return m_pixels[static_cast<std::size_t>(y)]; }
    int GetHeight() const { return m_nHeight; }

    // The first of the rows that pixel y stands for, y clamped to the strip.
    std::int32_t RowAt(int y) const;
    // The pixel that shows row or, for a row shown on several pixels, the first of them; the
    // height for a row past the last.
    int PixelOf(std::int64_t row) const;
    // The row a click at pixel y brings to the middle of the panes: the first row there of the
    // kind the pixel shows, or, where it shows no difference, the first row it stands for.
    std::int32_t RowToShow(const CCompareResult& result, int y) const;

private:
    std::vector<std::uint8_t> m_pixels;
    std::int32_t m_nRows = 0;
    int m_nHeight = 0;
    bool m_bBuilt = false;
};
