// The splitter under real mouse and keyboard input: every action on a shared bar becomes
// requests and an end of scroll while the thumb stays where the program keeps it; the splitter
// bar is dragged with the mouse or moved with the arrow keys; the wheel turns sideways with Shift.
#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <string>

#include "tests/framework/SplitterFixture.h"

namespace splitter_test {
namespace {

QScrollBar* Control(CScrollBar* bar) {
    return static_cast<QScrollBar*>(bar->GetSafeHwnd());
}

// Where a part of a scroll bar (arrow, page area, thumb, groove) lies.
QRect Part(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

TEST_F(SplitterTest, ClickBecomesARequestAndAnEndOfScrollWhileTheThumbStays) {
    const std::pair<QStyle::SubControl, UINT> clicks[] = {
        {QStyle::SC_ScrollBarAddLine, SB_LINEDOWN},
        {QStyle::SC_ScrollBarSubLine, SB_LINEUP},
        {QStyle::SC_ScrollBarAddPage, SB_PAGEDOWN},
        {QStyle::SC_ScrollBarSubPage, SB_PAGEUP},
    };
    for (const auto& [part, code] : clicks) {
        for (CScrollBar* bar : {splitter.GetVertScrollBar(), splitter.GetHorzScrollBar(1)}) {
            SCOPED_TRACE(testing::Message()
                         << "code " << code << (bar->IsVertical() ? " vertical" : " horizontal"));
            splitter.requests.clear();
            bar->SetScrollRange(0, 100);
            bar->SetScrollPos(50);
            QScrollBar* control = Control(bar);
            QTest::mouseClick(control, Qt::LeftButton, {}, Part(control, part).center());
            const bool vertical = bar->IsVertical();
            EXPECT_EQ(splitter.requests, (std::vector<Request>{{vertical, code, 0, bar},
                                                               {vertical, SB_ENDSCROLL, 0, bar}}));
            EXPECT_EQ(control->value(), 50);
            EXPECT_EQ(bar->GetScrollPos(), 50);
        }
    }
}

TEST_F(SplitterTest, DraggingTheThumbTracksThenReportsThePositionAndTheEnd) {
    CScrollBar* bar = splitter.GetVertScrollBar();
    bar->SetScrollRange(0, 1000);
    QScrollBar* qbar = Control(bar);
    const QRect groove = Part(qbar, QStyle::SC_ScrollBarGroove);
    QPoint at = Part(qbar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(qbar, Qt::LeftButton, {}, at);
    for (int step = 0; step < 3; ++step) {
        at.ry() += groove.height() / 6;
        QTest::mouseMove(qbar, at);
    }
    QTest::mouseRelease(qbar, Qt::LeftButton, {}, at);

    std::vector<UINT> codes;
    for (const Request& r : splitter.requests) {
        codes.push_back(r.code);
    }
    EXPECT_EQ(codes, (std::vector<UINT>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBTRACK,
                                        SB_THUMBPOSITION, SB_ENDSCROLL}));
    ASSERT_EQ(splitter.requests.size(), 5u);
    EXPECT_GT(splitter.requests[0].pos, 0u);
    EXPECT_GT(splitter.requests[2].pos, splitter.requests[1].pos);
    EXPECT_EQ(splitter.requests[3].pos, splitter.requests[2].pos);
    EXPECT_EQ(qbar->value(), 0);  // nobody moved it
}

TEST_F(SplitterTest, DraggingTheSplitterBarSetsTheLeftColumnOnRelease) {
    QWidget* widget = splitter.GetSafeHwnd();
    const int grab = splitter.SplitterBarLeft(0) + 2;
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(grab, 50));
    QTest::mouseMove(widget, QPoint(grab + 40, 60));
    EXPECT_TRUE(splitter.IsTracking());
    EXPECT_EQ(ColumnWidth(0), 150);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(grab + 40, 60));
    EXPECT_FALSE(splitter.IsTracking());
    EXPECT_EQ(ColumnWidth(0), 190);
    EXPECT_EQ(left->GetSafeHwnd()->width(), 190);
}

TEST_F(SplitterTest, KeyboardSplitMovesTheBarWithArrowsUntilEnterOrEscape) {
    QWidget* widget = splitter.GetSafeHwnd();
    ASSERT_TRUE(right->ExecuteCommand(ID_WINDOW_SPLIT));
    EXPECT_TRUE(splitter.IsTracking());
    QTest::keyClick(widget, Qt::Key_Right);
    QTest::keyClick(widget, Qt::Key_Right);
    QTest::keyClick(widget, Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClick(widget, Qt::Key_Return);
    EXPECT_FALSE(splitter.IsTracking());
    EXPECT_EQ(ColumnWidth(0), 150 + 8 + 8 - 1);

    ASSERT_TRUE(left->ExecuteCommand(ID_WINDOW_SPLIT));
    QTest::keyClick(widget, Qt::Key_Left);
    QTest::keyClick(widget, Qt::Key_Escape);
    EXPECT_FALSE(splitter.IsTracking());
    EXPECT_EQ(ColumnWidth(0), 165);
}

void Wheel(CView* pane, QPoint delta, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF at(10, 10);
    QWheelEvent event(at, pane->GetSafeHwnd()->mapToGlobal(at), QPoint(), delta, Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pane->GetSafeHwnd(), &event);
}

TEST_F(SplitterTest, WheelTurnsWithShiftOrTiltGoSideways) {
    Wheel(left, QPoint(0, 120));
    Wheel(right, QPoint(0, -120), Qt::ShiftModifier);
    Wheel(left, QPoint(120, 0));
    CScrollBar* vert = splitter.GetVertScrollBar();
    const Request up{true, SB_LINEUP, 0, vert};
    const Request right1{false, SB_LINERIGHT, 0, splitter.GetHorzScrollBar(1)};
    const Request left0{false, SB_LINELEFT, 0, splitter.GetHorzScrollBar(0)};
    EXPECT_EQ(splitter.requests,
              (std::vector<Request>{up, up, up, right1, right1, right1, left0, left0, left0}));
}

}  // namespace
}  // namespace splitter_test
