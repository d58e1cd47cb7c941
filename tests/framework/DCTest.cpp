// The device context: opaque text cells, top-left alignment, the choice between UTF-8 and
// Latin-1, control bytes, clipping and font selection. Pixels are compared between drawings,
// never against glyph shapes.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <ostream>
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
    int run = 0;
    while (IsRed(image, 10 + run, 10)) {
        ++run;
    }
    // Four cells of a 16-pixel monospaced font, whatever its exact width.
    EXPECT_GT(run, 4 * 6);
    EXPECT_LT(run, 4 * 14);
}

TEST_F(DCTest, EmptyTextPaintsNothing) {
    const QImage image = Draw("");
    QImage white(image.size(), image.format());
    white.fill(Qt::white);
    EXPECT_EQ(image, white);
}

struct SameDrawing {
    const char* name;
    std::string text;
    std::string equivalent;  // drawn identically
};

void PrintTo(const SameDrawing& c, std::ostream* os) {
    *os << c.name;
}

class DCBytes : public DCTest, public ::testing::WithParamInterface<SameDrawing> {};

TEST_P(DCBytes, DrawsLikeItsEquivalent) {
    const SameDrawing& c = GetParam();
    EXPECT_EQ(Draw(c.text), Draw(c.equivalent));
    EXPECT_NE(Draw(c.text), Draw(""));
}

INSTANTIATE_TEST_SUITE_P(Decoding, DCBytes,
                         ::testing::Values(
                             // Control bytes keep their cell as a blank and never end the text.
                             SameDrawing{"NulInside", std::string("a\0b", 3), "a b"},
                             SameDrawing{"Controls", "\x01\x1B\x7F\x85", "    "},
                             // Valid UTF-8 is UTF-8; anything else is Latin-1, byte by byte.
                             SameDrawing{"Utf8", "caf\xC3\xA9", "caf\xE9"},
                             SameDrawing{"InvalidTail", "\xC3\xA9\xFF", "\xC3\x83\xC2\xA9\xC3\xBF"},
                             SameDrawing{"Surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0 "},
                             SameDrawing{"Overlong", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
                             SameDrawing{"CutSequence", "ab\xE2\x82", "ab\xC3\xA2\x20"}),
                         [](const ::testing::TestParamInfo<SameDrawing>& info) {
                             return std::string(info.param.name);
                         });

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

TEST_F(DCTest, DrawsOnlyInsideTheClip) {
    const QImage image = Draw(std::string(100, ' '), 0, 5, QRect(50, 0, 50, 40));
    EXPECT_FALSE(IsRed(image, 49, 10));
    EXPECT_TRUE(IsRed(image, 50, 10));
    EXPECT_TRUE(IsRed(image, 99, 10));
    EXPECT_FALSE(IsRed(image, 100, 10));
}

TEST_F(DCTest, SelectObjectReturnsTheFontItReplaces) {
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    const QFont original = painter.font();
    CFont other;
    other.CreateFont(30, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Courier New");
    CDC dc(&painter);
    EXPECT_EQ(dc.SelectObject(&m_font), nullptr);
    EXPECT_EQ(painter.font(), *m_font.GetSafeHandle());
    EXPECT_EQ(dc.SelectObject(&other), &m_font);
    EXPECT_EQ(painter.font(), *other.GetSafeHandle());
    EXPECT_NE(painter.font(), *m_font.GetSafeHandle());
    EXPECT_EQ(dc.SelectObject(nullptr), &other);
    EXPECT_EQ(painter.font(), original);
    EXPECT_EQ(dc.SetBkColor(kRed), RGB(255, 255, 255));
    EXPECT_EQ(dc.SetBkColor(RGB(1, 2, 3)), kRed);
}

}  // namespace
