// The device context on Qt: opaque cells behind the drawn characters only, from the top of the
// text, inside the clip, and laid out only as far as they can be seen. Drawings are compared
// with each other or at background pixels, never against glyph shapes.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "framework/draw/DC.h"
#include "framework/draw/Font.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class DCTest : public ::testing::Test {
protected:
    DCTest() {
        m_font.CreateFont(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH,
                          "Courier New");
    }
    // Draws text at (x, y) in black on red into a white image; the cells of ranges, when given,
    // on blue.
    QImage Draw(const std::string& text, int x = 10, int y = 5, QRect clip = QRect(),
                std::optional<std::vector<CTextRange>> ranges = std::nullopt) {
        QImage image(300, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (!clip.isNull()) {
            painter.setClipRect(clip);
        }
        CDC dc(&painter);
        dc.SelectObject(&m_font);
        dc.SetBkColor(kRed);
        dc.SetTextColor(RGB(0, 0, 0));
        if (ranges) {
            dc.TextOutMarked(x, y, text, *ranges, kBlue);
            EXPECT_EQ(dc.GetBkColor(), kRed);
        } else {
            dc.TextOut(x, y, text);
        }
        return image;
    }
    static bool IsRed(const QImage& image, int x, int y) {
        return (image.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
    }

    CFont m_font;
};

TEST_F(DCTest, FillsOnlyTheCellsOfTheDrawnCharactersFromTheirTop) {
    const QImage image = Draw("    ", 10, 5);
    EXPECT_TRUE(IsRed(image, 11, 5));
    EXPECT_TRUE(IsRed(image, 11, 18));
    EXPECT_FALSE(IsRed(image, 11, 4));    // the cell's top is at y
    EXPECT_FALSE(IsRed(image, 9, 10));    // nothing left of x
    EXPECT_FALSE(IsRed(image, 299, 10));  // nor right of the last cell
    QImage white(image.size(), image.format());
    white.fill(Qt::white);
    EXPECT_EQ(Draw(""), white);
}

TEST_F(DCTest, DrawsOnlyInsideTheClip) {
    const QImage image = Draw(std::string(100, ' '), 0, 5, QRect(50, 0, 50, 40));
    EXPECT_FALSE(IsRed(image, 49, 10));
    EXPECT_TRUE(IsRed(image, 50, 10));
    EXPECT_TRUE(IsRed(image, 99, 10));
    EXPECT_FALSE(IsRed(image, 100, 10));
}

// The bytes reach the font decoded (TextDecodingTest has the rules).
TEST_F(DCTest, DrawsTheDecodedCharacters) {
    EXPECT_EQ(Draw(std::string("a\0b", 3)), Draw("a b"));
    EXPECT_EQ(Draw("caf\xC3\xA9"), Draw("caf\xE9"));
    EXPECT_NE(Draw("caf\xC3\xA9"), Draw("caf\xC3\x83\xC2\xA9"));
}

TEST_F(DCTest, AHugeTextFarLeftStillFillsTheVisibleWidth) {
    const std::string text(20'000'000, ' ');
    const QImage image = Draw(text, -50'000, 5);
    for (int x = 0; x < image.width(); x += 7) {
        ASSERT_TRUE(IsRed(image, x, 10)) << x;
    }
}

TEST_F(DCTest, AHugeUtf8TextIsJudgedOnWhatCanBeSeen) {
    // A stray byte megabytes to the right cannot change how the visible part reads.
    std::string text;
    for (int i = 0; i < 1'000'000; ++i) {
        text += "\xC3\xA9";
    }
    std::string visible = text.substr(0, 200);
    text += '\xFF';
    EXPECT_EQ(Draw(text), Draw(visible));
}

// A mark takes no cell: it shows on the character before it, inside that character's cell, and
// whatever follows keeps its place; an invisible character changes nothing.
TEST_F(DCTest, MarksShowOnTheCellBeforeThem) {
    const int nextCell =
        10 +
        static_cast<int>(std::ceil(QFontMetricsF(*m_font.GetSafeHandle()).horizontalAdvance('x')));
    const struct {
        const char* name;
        std::string marked, plain;
        bool shows;
    } cases[] = {
        {"composed with its letter", "e\xCC\x81x", "ex", true},
        {"drawn over its letter", "q\xCC\x81x", "qx", true},
        {"two marks", "a\xCC\xA3\xCC\x81x", "ax", true},
        {"nothing before it", "\xCC\x81x", " x", true},
        {"zero-width joiner", "e\xE2\x80\x8Dx", "ex", false},
        {"variation selector", "e\xEF\xB8\x8Fx", "ex", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage marked = Draw(c.marked);
        const QImage plain = Draw(c.plain);
        EXPECT_EQ(marked != plain, c.shows);
        const QRect after(nextCell, 0, marked.width() - nextCell, marked.height());
        EXPECT_EQ(marked.copy(after), plain.copy(after));
    }
}

}  // namespace

// Marked cells are drawn on their own background, exactly where TextOut draws them; every other
// pixel is as TextOut draws it. A range marks each cell any of its bytes falls in.
TEST_F(DCTest, MarkedRangesDrawTheirCellsOnTheirOwnBackground) {
    const double cell = m_font.GetCellWidth();
    ASSERT_GT(cell, 0);
    const struct {
        const char* name;
        std::string text;
        std::vector<CTextRange> ranges;
        std::vector<int> cells;  // the cells marked
    } cases[] = {
        {"none", "abcd", {}, {}},
        {"one character", "abcd", {{2, 3}}, {2}},
        {"two ranges, one of two cells", "abcdef", {{0, 1}, {3, 5}}, {0, 3, 4}},
        {"a two-byte character",
         "a\xC3\xA9"
         "cd",
         {{1, 3}},
         {1}},
        {"only the mark on a letter",
         "ae\xCC\x81"
         "cd",
         {{2, 4}},
         {1}},
        {"Latin-1, a byte a cell",
         "a\xE9\xE9"
         "d",
         {{2, 3}},
         {2}},
        {"past the end of the text", "ab", {{1, 9}}, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage plain = Draw(c.text);
        const QImage marked = Draw(c.text, 10, 5, QRect(), c.ranges);
        for (int x = 0; x < plain.width(); ++x) {
            // Columns on a cell's border may belong to either cell.
            const double at = (x - 10) / cell;
            const double inCell = at - std::floor(at);
            if (at >= 0 && (inCell < 0.15 || inCell > 0.85)) {
                continue;
            }
            const bool bMarked = at >= 0 && std::find(c.cells.begin(), c.cells.end(),
                                                      static_cast<int>(at)) != c.cells.end();
            bool bSame = true;
            int blue = 0;
            for (int y = 0; y < plain.height(); ++y) {
                bSame = bSame && plain.pixel(x, y) == marked.pixel(x, y);
                blue += (marked.pixel(x, y) & 0xFFFFFF) == 0x0000FF ? 1 : 0;
            }
            ASSERT_EQ(bSame, !bMarked) << x;
            ASSERT_EQ(blue > 0, bMarked) << x;
        }
    }
}
