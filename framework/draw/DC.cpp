// What both halves of CDC compute alike: the glyph advances, which characters of a text can reach
// the clip, the cells they take with their combining marks, and the run of UTF-16 that the
// platform then draws.
#include "framework/draw/DC.h"

#include <algorithm>
#include <utility>

#include "framework/draw/TextDecoding.h"

CFont* CDC::SelectObject(CFont* pFont) {
    CFont* previous = std::exchange(m_pFont, pFont);
    if (m_pImpl) {
        UseFont(pFont);
        m_advance = kUnmeasured;
    }
    return previous;
}

COLORREF CDC::SetBkColor(COLORREF color) {
    return std::exchange(m_bkColor, color);
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return std::exchange(m_textColor, color);
}

double CDC::Advance(char32_t c) {
    if (c >= m_advance.size()) {
        return MeasureAdvance(c);
    }
    double& known = m_advance[c];
    if (known < 0) {
        known = MeasureAdvance(c);
    }
    return known;
}

char32_t CDC::Compose(char32_t c, std::u32string& marks, double advance) {
    const std::u32string cluster = c + marks;
    const std::u32string composed = Precompose(cluster);
    if (composed.empty() || composed.size() >= cluster.size() ||
        CellPlaceOf(composed[0]) != CellPlace::ownCell || !HasGlyph(composed[0]) ||
        Advance(composed[0]) != advance) {
        return c;
    }
    marks.assign(composed.begin() + 1, composed.end());
    return composed[0];
}

bool CDC::TextOut(int x, int y, std::string_view text) {
    return DrawText(x, y, text, {}, m_bkColor);
}

bool CDC::TextOutMarked(int x, int y, std::string_view text, std::span<const CTextRange> ranges,
                        COLORREF marked) {
    return DrawText(x, y, text, ranges, marked);
}

bool CDC::DrawText(int x, int y, std::string_view text, std::span<const CTextRange> ranges,
                   COLORREF marked) {
    if (m_hDC == nullptr || text.empty()) {
        return true;
    }
    TextArea area{};
    if (!GetTextArea(x, y, area)) {
        return false;
    }
    if (area.x >= area.right || area.y >= area.bottom || area.y + area.cell <= area.top) {
        return true;
    }
    // A visible character is at most four bytes long and, in the monospaced fonts the panes
    // use, at least half a cell wide (combining marks aside, which take no cell).
    const double minWidth = std::max(1.0, Advance(U'x') / 2);
    const auto budget = static_cast<std::size_t>((area.right - area.x) / minWidth + 1) * 4 + 4;

    std::u16string shown;
    // Marks drawn over their cells once the row is out: the font that has a letter seldom has
    // the marks that go on it, and a fallback font's mark would land a cell too far on.
    std::vector<Overstrike> overstrikes;
    std::vector<Marked> runs;
    std::size_t range = 0;  // the first range that may hold a cell from here on
    bool bMarked = false;   // the cell before
    std::u32string marks;
    double start = area.x;
    double pos = area.x;
    bool started = false;
    for (CShownCells cells(text, budget); !cells.AtEnd() && pos < area.right;) {
        char32_t c = cells.Next(marks);
        const double advance = Advance(c);
        if (!started) {
            if (pos + advance <= area.left) {
                pos += advance;
                continue;
            }
            started = true;
            start = pos;
        }
        const bool bFollows = bMarked;
        bMarked = false;
        if (range < ranges.size()) {
            while (range < ranges.size() && ranges[range].end <= cells.CellBegin()) {
                ++range;
            }
            bMarked = range < ranges.size() && ranges[range].begin < cells.CellEnd();
        }
        if (bMarked && !bFollows) {
            runs.push_back({pos, pos});
        }
        if (!marks.empty()) {
            c = Compose(c, marks, advance);
            std::u16string drawn;
            for (const char32_t mark : marks) {
                if (HasGlyph(mark)) {
                    AppendUtf16(drawn, mark);
                }
            }
            if (!drawn.empty()) {
                overstrikes.push_back({pos, std::move(drawn)});
            }
        }
        AppendUtf16(shown, c);
        pos += advance;
        if (bMarked) {
            runs.back().end = pos;
        }
    }
    return shown.empty() || DrawCells(area, start, pos, shown, overstrikes, runs, marked);
}
