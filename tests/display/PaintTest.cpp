// What the panes paint, checked at exact pixels: row geometry, colours by kind, the gutter,
// backgrounds only behind drawn characters, the erased window colour everywhere else.
#include <gtest/gtest.h>

#include <QImage>
#include <ostream>
#include <string>
#include <vector>

#include "PaneFixture.h"

using namespace panes;

namespace {

// Middle of the r-th row from the top: clear of the bottom of the row above, whose cell may be
// taller than the 16-pixel pitch.
int Mid(int r) {
    return 16 * r + 8;
}

// Rows alternate: even rows changed (silver behind the text), odd rows equal (white). Each text
// starts with two blank cells so that its background shows at x = 41.
std::unique_ptr<CCompareResult> Alternating(int n) {
    auto result = std::make_unique<CCompareResult>();
    for (int i = 0; i < n; ++i) {
        const std::string text = "  " + Blocks(3);
        result->AddRow(i + 1, text, i + 1, text, i % 2 == 0 ? kindChanged : kindEqual);
    }
    return result;
}

TEST(PanePaint, FirstRowsFillAHundredPixelPaneAndThePartlyVisibleRowIsDrawn) {
    Panes panes(100);
    panes.Load(Alternating(50));
    for (CView* pane : {static_cast<CView*>(panes.source), static_cast<CView*>(panes.target)}) {
        const QImage image = Panes::Render(pane);
        for (int r = 0; r <= 5; ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(Panes::At(image, 41, Mid(r)), r % 2 == 0 ? kSilver : kWhite);
        }
        // Row 6 shows only its top four pixels.
        EXPECT_EQ(Panes::At(image, 41, 97), kSilver);
        EXPECT_GT(Panes::Count(image, kRed, 40, 96, image.width(), 100), 0);
    }
}

TEST(PanePaint, LastRowsLeaveTheRestOfThePaneErased) {
    Panes panes(100);
    panes.Load(Alternating(50));
    panes.doc.m_nTopRow = 45;
    const QImage image = Panes::Render(panes.source);
    for (int r = 0; r < 5; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(Panes::At(image, 41, Mid(r)), (45 + r) % 2 == 0 ? kSilver : kWhite);
    }
    // Below row 49 nothing is drawn: not even the gutter.
    EXPECT_EQ(Panes::Count(image, kErased, 0, 88, image.width(), 100), image.width() * 12);
}

TEST(PanePaint, NoResultShowsOnlyTheErasedBackground) {
    Panes panes(100);
    const QImage image = Panes::Render(panes.source);
    EXPECT_EQ(Panes::Count(image, kErased, 0, 0, image.width(), image.height()),
              image.width() * image.height());
}

struct KindCase {
    const char* name;
    std::int32_t sourceLine;
    std::string sourceText;
    std::int32_t targetLine;
    std::string targetText;
    std::int32_t kind;
    // Expected in the source pane, then in the target pane: colour at x = 41 (a blank cell of
    // the text, or the erased background), the text colour (0: no text), number drawn.
    QRgb sourceAt41, sourceText_;
    bool sourceNumber;
    QRgb targetAt41, targetText_;
    bool targetNumber;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.name;
}

class PaneKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(PaneKinds, TextBackgroundAndNumberFollowTheRowKind) {
    const KindCase& c = GetParam();
    Panes panes(100);
    auto result = std::make_unique<CCompareResult>();
    result->AddRow(c.sourceLine, c.sourceText, c.targetLine, c.targetText, c.kind);
    panes.Load(std::move(result));

    struct Side {
        CView* pane;
        QRgb at41;
        QRgb text;
        bool number;
    };
    for (const Side& side : {Side{panes.source, c.sourceAt41, c.sourceText_, c.sourceNumber},
                             Side{panes.target, c.targetAt41, c.targetText_, c.targetNumber}}) {
        SCOPED_TRACE(side.pane == panes.source ? "source pane" : "target pane");
        const QImage image = Panes::Render(side.pane);
        EXPECT_EQ(Panes::At(image, 41, Mid(0)), side.at41);
        if (side.text != 0) {
            EXPECT_GT(Panes::Count(image, side.text, 40, 0, image.width(), 16), 0);
        }
        // The two-space blank is white, at x = 0, whatever the row.
        EXPECT_EQ(Panes::At(image, 0, Mid(0)), kWhite);
        EXPECT_EQ(Panes::At(image, 1, Mid(0)), kWhite);
        // The number: silver on white in the gutter; none for a side without a line.
        const int silverInGutter = Panes::CountSilverInk(image, 2, 0, 40, 16);
        EXPECT_EQ(silverInGutter > 0, side.number);
        // Only the cells of drawn characters are filled: nothing right of the text.
        EXPECT_EQ(Panes::At(image, image.width() - 1, Mid(0)), kErased);
        EXPECT_EQ(Panes::At(image, 41, Mid(1)), kErased);
    }
}

const std::string kText = "  " + Blocks(4);

INSTANTIATE_TEST_SUITE_P(
    Kinds, PaneKinds,
    ::testing::Values(
        KindCase{"Equal", 1, kText, 1, kText, kindEqual, kWhite, kBlack, true, kWhite, kBlack,
                 true},
        KindCase{"Changed", 2, kText, 3, kText, kindChanged, kSilver, kRed, true, kSilver, kRed,
                 true},
        KindCase{"SourceOnly", 4, kText, 0, "", kindSourceOnly, kSilver, kBlue, true, kErased, 0,
                 false},
        KindCase{"TargetOnly", 0, "", 5, kText, kindTargetOnly, kErased, 0, false, kSilver, kGreen,
                 true},
        // Both texts empty: white, though nothing of it shows.
        KindCase{"ChangedBothEmpty", 6, "", 7, "", kindChanged, kErased, 0, true, kErased, 0, true},
        // Empty opposite non-empty: the row is a difference, its empty side paints nothing.
        KindCase{"ChangedEmptySource", 8, "", 9, kText, kindChanged, kErased, 0, true, kSilver,
                 kRed, true}),
    [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

TEST(PanePaint, ShiftedTextRunsUnderTheGutterWhichIsPaintedOverIt) {
    Panes panes(100);
    auto result = std::make_unique<CCompareResult>();
    // Eight blank cells, then blocks: at offset 0 x = 41 is a blank cell; 100 pixels further
    // left the blocks reach it (a 16-pixel monospaced cell is narrower than 12.5 pixels).
    result->AddRow(7, "        " + Blocks(40), 7, "        " + Blocks(40), kindChanged);
    panes.Load(std::move(result));

    QImage image = Panes::Render(panes.source);
    EXPECT_EQ(Panes::At(image, 41, Mid(0)), kSilver);

    panes.doc.m_nLeftOffset = -100;
    for (CView* pane : {static_cast<CView*>(panes.source), static_cast<CView*>(panes.target)}) {
        image = Panes::Render(pane);
        EXPECT_EQ(Panes::At(image, 41, Mid(0)), kRed);
        // The blank and the number cover the text where they fall: white and silver, no red.
        EXPECT_EQ(Panes::At(image, 0, Mid(0)), kWhite);
        // (The four cells of "   7" from x = 2 reach past x = 30 in any 16-pixel monospaced
        // font; what shows between them and x = 40 depends on the font's width.)
        EXPECT_EQ(Panes::Count(image, kRed, 0, 4, 30, 12), 0);
        EXPECT_GT(Panes::Count(image, kWhite, 0, 4, 30, 12), 0);
        EXPECT_GT(Panes::CountSilverInk(image, 2, 4, 40, 12), 0);
    }
}

TEST(PanePaint, FiveDigitNumberReachesPastTheTextColumn) {
    Panes panes(100);
    auto result = std::make_unique<CCompareResult>();
    result->AddRow(1234, Blocks(8), 1234, Blocks(8), kindChanged);
    result->AddRow(12345, Blocks(8), 12345, Blocks(8), kindChanged);
    panes.Load(std::move(result));
    const QImage image = Panes::Render(panes.source);
    // Four digits end at the text column; a fifth covers the first text cell (drawn after it).
    EXPECT_GT(Panes::Count(image, kRed, 41, 4, 43, 12), 0);
    EXPECT_EQ(Panes::Count(image, kRed, 41, 20, 43, 28), 0);
}

TEST(PanePaint, ControlBytesAndBrokenUtf8KeepTheRowWhole) {
    Panes panes(100);
    auto result = std::make_unique<CCompareResult>();
    std::string withNul = "ab";
    withNul += '\0';
    withNul += "\x1B\xFF" + Blocks(4);  // not UTF-8 as a whole: drawn as Latin-1
    result->AddRow(1, withNul, 1, "  " + Blocks(4), kindChanged);
    panes.Load(std::move(result));
    const QImage source = Panes::Render(panes.source);
    const QImage target = Panes::Render(panes.target);
    // Something after the NUL is drawn, and the row's background runs on past it.
    EXPECT_GT(Panes::Count(source, kRed, 40, 0, source.width(), 16), 0);
    EXPECT_GT(Panes::Count(source, kSilver, 70, 4, source.width(), 12),
              Panes::Count(target, kSilver, 70, 4, target.width(), 12));
}

}  // namespace
