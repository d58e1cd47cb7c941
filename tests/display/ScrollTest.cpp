// Scrolling both panes through the splitter's shared bars: requests delivered by the bars
// (real mouse input where Qt's bar takes it), the wheel, and what moves and repaints.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <string>
#include <vector>
#include "tests/common/ScrollBarPart.h"

#include "PaneFixture.h"
#include "framework/dialog/ShellOpen.h"

using namespace panes;

namespace {

// 50 rows in 160-pixel panes: ten whole rows show, so the lowest first row is 40.
class VerticalScroll : public ::testing::Test {
protected:
    VerticalScroll() : panes(160) { panes.LoadRows(50); }
    void Request(UINT code, UINT pos = 0) {
        panes.Settle();
        panes.VertBar()->SendRequest(code, pos);
    }
    Panes panes;
};

TEST_F(VerticalScroll, LineUpAtTheTopChangesAndRepaintsNothing) {
    Request(SB_LINEUP);
    EXPECT_EQ(panes.doc.m_nTopRow, 0);
    EXPECT_EQ(panes.Repaints(), std::make_pair(0, 0));
}

TEST_F(VerticalScroll, PageDownStopsAtTheLastWholePage) {
    for (int expected : {10, 20, 30, 40, 40}) {
        Request(SB_PAGEDOWN);
        EXPECT_EQ(panes.doc.m_nTopRow, expected);
        EXPECT_EQ(panes.VertBar()->GetScrollPos(), expected);
    }
    EXPECT_EQ(panes.Repaints(), std::make_pair(0, 0));  // the last one moved nothing
    Request(SB_TOP);
    EXPECT_EQ(panes.doc.m_nTopRow, 0);
    Request(SB_BOTTOM);
    EXPECT_EQ(panes.doc.m_nTopRow, 40);
    Request(SB_THUMBTRACK, 17);
    EXPECT_EQ(panes.doc.m_nTopRow, 17);
    Request(SB_THUMBPOSITION, 1000);
    EXPECT_EQ(panes.doc.m_nTopRow, 40);
}

TEST_F(VerticalScroll, EveryMovingRequestRepaintsBothPanes) {
    for (UINT code : {SB_LINEDOWN, SB_PAGEDOWN, SB_THUMBTRACK, SB_BOTTOM, SB_LINEUP, SB_PAGEUP,
                      SB_THUMBPOSITION, SB_TOP}) {
        SCOPED_TRACE(code);
        const int before = panes.doc.m_nTopRow;
        Request(code, 25);
        EXPECT_NE(panes.doc.m_nTopRow, before);
        const auto [source, target] = panes.Repaints();
        EXPECT_GE(source, 1);
        EXPECT_GE(target, 1);
    }
}

TEST_F(VerticalScroll, AFirstRowBelowTheLastPageIsPulledBackByAnyRequest) {
    for (UINT code : {SB_LINEUP, SB_LINEDOWN, SB_ENDSCROLL}) {
        SCOPED_TRACE(code);
        panes.doc.m_nTopRow = 45;  // where next difference may leave it
        Request(code);
        EXPECT_EQ(panes.doc.m_nTopRow, 40);
        const auto [source, target] = panes.Repaints();
        EXPECT_GE(source, 1);
        EXPECT_GE(target, 1);
    }
    panes.doc.m_nTopRow = 45;
    Request(SB_PAGEUP);
    EXPECT_EQ(panes.doc.m_nTopRow, 35);
}

TEST(ScrollRanges, FollowTheTableThePaneHeightAndTheDocumentsJumps) {
    Panes panes(320);
    int lo = 1;
    int hi = 1;
    panes.VertBar()->GetScrollRange(&lo, &hi);
    EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(0, -20));  // no result: 0 rows
    panes.LoadRows(10);
    panes.VertBar()->GetScrollRange(&lo, &hi);
    EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(0, -10));
    for (CScrollBar* bar : {panes.SourceBar(), panes.TargetBar()}) {
        bar->GetScrollRange(&lo, &hi);
        EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(0, 4096));
    }

    panes.LoadRows(50);
    QWidget* widget = panes.splitter.GetSafeHwnd();
    widget->resize(widget->width(), widget->height() - 160);  // panes 160 high: 10 rows show
    panes.VertBar()->GetScrollRange(&lo, &hi);
    EXPECT_EQ(hi, 40);

    // A jump of the first row made by the document reaches the bar at the next paint.
    panes.doc.m_nTopRow = 25;
    panes.doc.UpdateAllViews(nullptr, 0, nullptr);
    panes.Settle();
    EXPECT_EQ(panes.VertBar()->GetScrollPos(), 25);
}

// Growing the panes until every row fits brings the rows above the top row back into view: the
// bar would refuse every request from then on.
TEST(ScrollRanges, AResizeThatFitsEveryRowShowsTheFirstRow) {
    Panes panes(160);
    panes.LoadRows(50);
    panes.VertBar()->SendRequest(SB_THUMBTRACK, 30);
    ASSERT_EQ(panes.doc.m_nTopRow, 30);
    QWidget* widget = panes.splitter.GetSafeHwnd();
    widget->resize(widget->width(), widget->height() + 40 * 16);
    panes.Settle();
    int lo = 1;
    int hi = 1;
    panes.VertBar()->GetScrollRange(&lo, &hi);
    EXPECT_LE(hi, 0);
    EXPECT_EQ(panes.doc.m_nTopRow, 0);
    // A resize that still leaves rows out of view keeps the first row where it is.
    panes.VertBar()->SendRequest(SB_THUMBTRACK, 0);
    widget->resize(widget->width(), widget->height() - 45 * 16);
    panes.Settle();
    panes.VertBar()->SendRequest(SB_THUMBTRACK, 20);
    widget->resize(widget->width(), widget->height() + 16);
    panes.Settle();
    EXPECT_EQ(panes.doc.m_nTopRow, 20);
}

TEST(FewRows, NothingMovesWhenAllRowsFit) {
    Panes panes(160);
    panes.LoadRows(5);
    EXPECT_FALSE(static_cast<QScrollBar*>(panes.VertBar()->GetSafeHwnd())->isEnabled());
    for (int top : {0, 3}) {
        panes.doc.m_nTopRow = top;
        for (UINT code = SB_LINEUP; code <= SB_ENDSCROLL; ++code) {
            SCOPED_TRACE(testing::Message() << "top " << top << " code " << code);
            panes.Settle();
            panes.VertBar()->SendRequest(code, 2);
            EXPECT_EQ(panes.doc.m_nTopRow, top);
            EXPECT_EQ(panes.Repaints(), std::make_pair(0, 0));
        }
    }
}

TEST_F(VerticalScroll, ClickingTheBarsArrowMovesOneRowAndTheThumbFollowsTheProgram) {
    QScrollBar* bar = static_cast<QScrollBar*>(panes.VertBar()->GetSafeHwnd());
    const QRect down = ScrollBarPart(bar, QStyle::SC_ScrollBarAddLine);
    ASSERT_FALSE(down.isEmpty());
    QTest::mouseClick(bar, Qt::LeftButton, {}, down.center());
    EXPECT_EQ(panes.doc.m_nTopRow, 1);
    EXPECT_EQ(bar->value(), 1);

    const QRect page = ScrollBarPart(bar, QStyle::SC_ScrollBarAddPage);
    QTest::mouseClick(bar, Qt::LeftButton, {}, page.center());
    EXPECT_EQ(panes.doc.m_nTopRow, 11);
    EXPECT_EQ(bar->value(), 11);
}

TEST_F(VerticalScroll, DraggingTheThumbMovesBothPanesOnEveryStep) {
    QScrollBar* bar = static_cast<QScrollBar*>(panes.VertBar()->GetSafeHwnd());
    const QRect thumb = ScrollBarPart(bar, QStyle::SC_ScrollBarSlider);
    const QRect groove = ScrollBarPart(bar, QStyle::SC_ScrollBarGroove);
    QPoint at = thumb.center();
    QTest::mousePress(bar, Qt::LeftButton, {}, at);
    std::vector<int> tops;
    for (int step = 0; step < 4; ++step) {
        at.ry() += groove.height() / 8;
        QTest::mouseMove(bar, at);
        panes.Settle();
        tops.push_back(panes.doc.m_nTopRow);
    }
    QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
    ASSERT_EQ(tops.size(), 4u);
    EXPECT_GT(tops[0], 0);
    for (std::size_t i = 1; i < tops.size(); ++i) {
        EXPECT_GT(tops[i], tops[i - 1]);
    }
    EXPECT_EQ(panes.doc.m_nTopRow, tops.back());
    EXPECT_EQ(bar->value(), tops.back());
}

class HorizontalScroll : public ::testing::Test {
protected:
    HorizontalScroll() : panes(100) {
        // No line numbers: only the two-space blank covers the left of the pane.
        auto result = std::make_unique<CCompareResult>();
        result->AddRow(0, Blocks(30), 0, Blocks(30), kindChanged);
        panes.Load(std::move(result));
    }
    Panes panes;
};

TEST_F(HorizontalScroll, ThreeLineRightsShiftBothPanesFifteenPixels) {
    EXPECT_NE(Panes::At(Panes::Render(panes.source), 26, 8), kRed);
    for (int i = 0; i < 3; ++i) {
        panes.TargetBar()->SendRequest(SB_LINERIGHT);
    }
    EXPECT_EQ(panes.doc.m_nLeftOffset, -15);
    EXPECT_EQ(panes.TargetBar()->GetScrollPos(), 15);
    for (CView* pane : {static_cast<CView*>(panes.source), static_cast<CView*>(panes.target)}) {
        const QImage image = Panes::Render(pane);
        // The text starts at x = 25, right of the blank.
        EXPECT_EQ(Panes::At(image, 26, 8), kRed);
        EXPECT_EQ(Panes::Count(image, kRed, 0, 0, 25, 16), 0);
        EXPECT_EQ(Panes::At(image, 22, 8), kErased);
    }
}

TEST_F(HorizontalScroll, PageAndEndRequestsDoNothing) {
    panes.doc.m_nLeftOffset = -20;
    for (UINT code : {SB_PAGELEFT, SB_PAGERIGHT, SB_LEFT, SB_RIGHT, SB_ENDSCROLL}) {
        SCOPED_TRACE(code);
        panes.Settle();
        panes.SourceBar()->SendRequest(code, 7);
        EXPECT_EQ(panes.doc.m_nLeftOffset, -20);
        EXPECT_EQ(panes.Repaints(), std::make_pair(0, 0));
    }
}

TEST_F(HorizontalScroll, LineLeftAtZeroStillRepaintsAndNeverGoesPositive) {
    panes.Settle();
    panes.TargetBar()->SendRequest(SB_LINELEFT);
    EXPECT_EQ(panes.doc.m_nLeftOffset, 0);
    const auto [source, target] = panes.Repaints();
    EXPECT_GE(source, 1);
    EXPECT_GE(target, 1);
}

TEST_F(HorizontalScroll, OnlyTheUsedBarAndTheTargetBarFollow) {
    panes.SourceBar()->SendRequest(SB_THUMBTRACK, 100);
    EXPECT_EQ(panes.doc.m_nLeftOffset, -100);
    EXPECT_EQ(panes.SourceBar()->GetScrollPos(), 100);
    EXPECT_EQ(panes.TargetBar()->GetScrollPos(), 100);

    panes.TargetBar()->SendRequest(SB_THUMBPOSITION, 300);
    EXPECT_EQ(panes.doc.m_nLeftOffset, -300);
    EXPECT_EQ(panes.TargetBar()->GetScrollPos(), 300);
    EXPECT_EQ(panes.SourceBar()->GetScrollPos(), 100);  // until it is used itself

    // Past the range's end the text keeps moving while the thumb stays at the end.
    panes.TargetBar()->SendRequest(SB_THUMBTRACK, 4096);
    for (int i = 0; i < 2; ++i) {
        panes.TargetBar()->SendRequest(SB_LINERIGHT);
    }
    EXPECT_EQ(panes.doc.m_nLeftOffset, -4106);
    EXPECT_EQ(panes.TargetBar()->GetScrollPos(), 4096);
}

void Wheel(CView* pane, QPoint delta, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* widget = pane->GetSafeHwnd();
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), delta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

TEST_F(VerticalScroll, WheelMovesBothPanesThreeRowsANotchAndStopsWhereTheBarDoes) {
    Wheel(panes.source, QPoint(0, -120));
    EXPECT_EQ(panes.doc.m_nTopRow, 3);
    EXPECT_EQ(panes.VertBar()->GetScrollPos(), 3);
    Wheel(panes.target, QPoint(0, -60));
    EXPECT_EQ(panes.doc.m_nTopRow, 3);  // half a notch: not yet
    Wheel(panes.target, QPoint(0, -60));
    EXPECT_EQ(panes.doc.m_nTopRow, 6);
    for (int i = 0; i < 20; ++i) {
        Wheel(panes.target, QPoint(0, -120));
    }
    EXPECT_EQ(panes.doc.m_nTopRow, 40);
    for (int i = 0; i < 20; ++i) {
        Wheel(panes.source, QPoint(0, 120));
    }
    EXPECT_EQ(panes.doc.m_nTopRow, 0);
}

TEST_F(HorizontalScroll, SidewaysWheelAndShiftWheelShiftBothPanes) {
    Wheel(panes.source, QPoint(-120, 0));
    EXPECT_EQ(panes.doc.m_nLeftOffset, -15);
    Wheel(panes.target, QPoint(0, -120), Qt::ShiftModifier);
    EXPECT_EQ(panes.doc.m_nLeftOffset, -30);
    for (int i = 0; i < 5; ++i) {
        Wheel(panes.source, QPoint(120, 0));
    }
    EXPECT_EQ(panes.doc.m_nLeftOffset, 0);
    EXPECT_EQ(panes.doc.m_nTopRow, 0);
}

class ShellOpenSpy {
public:
    ShellOpenSpy() {
        m_previous = SetShellOpenHook([this](const std::string& path) {
            opened.push_back(path);
            return false;  // as if no program were associated: the pane must not care
        });
    }
    ~ShellOpenSpy() { SetShellOpenHook(std::move(m_previous)); }
    std::vector<std::string> opened;

private:
    ShellOpenHook m_previous;
};

TEST(DoubleClick, SourcePaneOpensTheSourceFileOnce) {
    ShellOpenSpy spy;
    Panes panes(100);
    panes.LoadRows(3);
    panes.doc.m_sourcePath = "/tmp/a file.txt";
    QTest::mouseDClick(panes.source->GetSafeHwnd(), Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(spy.opened, std::vector<std::string>{"/tmp/a file.txt"});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone again

    QTest::mouseDClick(panes.target->GetSafeHwnd(), Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(spy.opened.size(), 1u);

    panes.doc.m_sourcePath.clear();
    QTest::mouseDClick(panes.source->GetSafeHwnd(), Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(spy.opened.size(), 1u);
}

}  // namespace
