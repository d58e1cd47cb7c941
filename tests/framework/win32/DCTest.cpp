// The device context on GDI: a combining mark shows on the character before it, inside that
// character's cell, and takes no cell of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/draw/DC.h"
#include "framework/draw/Font.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 40;
constexpr std::uint32_t kRed = 0xFF0000;  // as a 32-bit bitmap holds RGB(255, 0, 0)

constexpr std::uint32_t kBlue = 0x0000FF;

// Draws text at (10, 5) in black on red into a white bitmap, the cells of ranges (when given) on
// blue; returns its pixels, row by row.
std::vector<std::uint32_t> Draw(CFont& font, const std::string& text,
                                const std::vector<CTextRange>* ranges = nullptr) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const HDC hdc = ::CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = ::SelectObject(hdc, bitmap);
    auto* const pixels = static_cast<std::uint32_t*>(bits);
    std::fill_n(pixels, kWidth * kHeight, 0xFFFFFFu);
    {
        CDC dc(hdc);
        dc.SelectObject(&font);
        dc.SetBkColor(RGB(255, 0, 0));
        dc.SetTextColor(RGB(0, 0, 0));
        if (ranges != nullptr) {
            dc.TextOutMarked(10, 5, text, *ranges, RGB(0, 0, 255));
        } else {
            dc.TextOut(10, 5, text);
        }
        dc.SelectObject(nullptr);
    }
    ::GdiFlush();
    std::vector<std::uint32_t> drawn(pixels, pixels + kWidth * kHeight);
    ::SelectObject(hdc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(hdc);
    return drawn;
}

// The pixels of the columns from x on.
std::vector<std::uint32_t> From(const std::vector<std::uint32_t>& pixels, int x) {
    std::vector<std::uint32_t> columns;
    for (int row = 0; row < kHeight; ++row) {
        columns.insert(columns.end(), pixels.begin() + row * kWidth + x,
                       pixels.begin() + (row + 1) * kWidth);
    }
    return columns;
}

// Marked cells are drawn on their own background, exactly where TextOut draws them; the pixels
// of every other cell are as TextOut draws them.
TEST(DCTest, MarkedRangesChangeOnlyTheirCells) {
    CFont font;
    font.CreateFont(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, "Courier New");
    const std::vector<std::uint32_t> one = Draw(font, "x");
    const auto cell =
        static_cast<int>(std::count(one.begin() + 5 * kWidth, one.begin() + 6 * kWidth, kRed));
    ASSERT_GT(cell, 0);
    const struct {
        const char* name;
        std::string text;
        std::vector<CTextRange> ranges;
        int marked;  // the one cell marked; -1 for none
    } cases[] = {
        {"none", "abcd", {}, -1},
        {"one character", "abcd", {{2, 3}}, 2},
        {"a two-byte character",
         "a\xC3\xA9"
         "cd",
         {{1, 3}},
         1},
        {"only the mark on a letter",
         "ae\xCC\x81"
         "cd",
         {{2, 4}},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint32_t> plain = Draw(font, c.text);
        const std::vector<std::uint32_t> marked = Draw(font, c.text, &c.ranges);
        for (int x = 0; x < kWidth; ++x) {
            const bool bInCell =
                c.marked >= 0 && x >= 10 + c.marked * cell && x < 10 + (c.marked + 1) * cell;
            bool bSame = true;
            int blue = 0;
            for (int y = 0; y < kHeight; ++y) {
                bSame = bSame && plain[y * kWidth + x] == marked[y * kWidth + x];
                blue += (marked[y * kWidth + x] & 0xFFFFFF) == kBlue ? 1 : 0;
            }
            ASSERT_EQ(bSame, !bInCell) << x;
            ASSERT_EQ(blue > 0, bInCell) << x;
        }
    }
}

TEST(DCTest, MarksShowOnTheCellBeforeThem) {
    CFont font;
    font.CreateFont(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, "Courier New");
    // One cell: the red behind a single character, in the top row of its cell, above the "x".
    const std::vector<std::uint32_t> one = Draw(font, "x");
    const auto cell =
        static_cast<int>(std::count(one.begin() + 5 * kWidth, one.begin() + 6 * kWidth, kRed));
    ASSERT_GT(cell, 0);
    const struct {
        const char* name;
        std::string marked, plain;
        bool shows;
    } cases[] = {
        {"composed with its letter", "e\xCC\x81x", "ex", true},
        {"two marks", "a\xCC\x8A\xCC\x81x", "ax", true},
        {"zero-width joiner", "e\xE2\x80\x8Dx", "ex", false},
        {"variation selector", "e\xEF\xB8\x8Fx", "ex", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint32_t> marked = Draw(font, c.marked);
        const std::vector<std::uint32_t> plain = Draw(font, c.plain);
        EXPECT_EQ(marked != plain, c.shows);
        EXPECT_EQ(From(marked, 10 + cell), From(plain, 10 + cell));
    }
}

}  // namespace
