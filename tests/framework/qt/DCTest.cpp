// The device context on Qt: opaque cells behind the drawn characters only, from the top of the
// text, inside the clip, and laid out only as far as they can be seen. Drawings are compared
// with each other or at background pixels, never against glyph shapes.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <string>

#include "framework/draw/DC.h"
#include "framework/draw/Font.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

class DCTest : public ::testing::Test {
protected:
    DCTest() {
        m_font.CreateFont(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH,
                          "Courier New");
    }
    // Draws text at (x, y) in black on red into a white image.
    QImage Draw(const std::string& text, int x = 10, int y = 5, QRect clip = QRect()) {
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
        dc.TextOut(x, y, text);
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
