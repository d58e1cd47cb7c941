// The static splitter: column layout and widths taken at the next layout, shared scroll bars
// that never move by themselves and turn every mouse action into requests, the splitter bar
// dragged with the mouse or moved with the keyboard, next and previous pane, the wheel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>
#include <vector>

#include "framework/core/CmdUI.h"
#include "framework/core/DocTemplate.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/ScrollBar.h"
#include "framework/window/SplitterWnd.h"
#include "framework/window/View.h"
#include "resources/Resource.h"
#include "tests/common/ScrollBarPart.h"

namespace {

class Pane : public CView {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
    void OnDraw(CDC* /*pDC*/) override {}
};
const CRuntimeClass Pane::runtimeClass{"Pane", &CView::runtimeClass, &CreateRuntimeObject<Pane>};

struct Request {
    bool vertical;
    UINT code;
    UINT pos;
    CScrollBar* bar;
    bool operator==(const Request&) const = default;
};

// Records the requests; like the platform's, its bars move only when the program says so.
class RecordingSplitter : public CSplitterWnd {
public:
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override {
        requests.push_back({true, nSBCode, nPos, pScrollBar});
    }
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override {
        requests.push_back({false, nSBCode, nPos, pScrollBar});
    }
    std::vector<Request> requests;
};

constexpr int kWidth = 420;
constexpr int kHeight = 200;

class SplitterTest : public ::testing::Test {
protected:
    SplitterTest() {
        splitter.CreateStatic(nullptr, 1, 2,
                              CSplitterWnd::kStyleHScroll | CSplitterWnd::kStyleVScroll,
                              AFX_IDW_PANE_FIRST);
        CCreateContext context{nullptr, nullptr, nullptr, &frame};
        splitter.CreateView(0, 0, RUNTIME_CLASS(Pane), CSize(150, 100), &context);
        splitter.CreateView(0, 1, RUNTIME_CLASS(Pane), CSize(150, 100), &context);
        left = static_cast<Pane*>(splitter.GetPane(0, 0));
        right = static_cast<Pane*>(splitter.GetPane(0, 1));
        widget()->resize(kWidth, kHeight);
        widget()->show();
        QApplication::processEvents();
        extent = widget()->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        paneWidth = kWidth - extent;
    }
    ~SplitterTest() override { widget()->hide(); }

    QWidget* widget() const { return splitter.GetSafeHwnd(); }
    int ColumnWidth(int col) const {
        int cur = 0;
        int min = 0;
        splitter.GetColumnInfo(col, cur, min);
        return cur;
    }
    static QRect Part(QScrollBar* bar, QStyle::SubControl part) { return ScrollBarPart(bar, part); }

    CFrameWnd frame;  // outlives the splitter, which clears the active view when it goes
    RecordingSplitter splitter;
    Pane* left = nullptr;
    Pane* right = nullptr;
    int extent = 0;
    int paneWidth = 0;
};

TEST_F(SplitterTest, PanesAndBarsAreLaidOutFromTheColumnWidths) {
    const int bar = splitter.SplitterBarWidth();
    EXPECT_EQ(left->GetSafeHwnd()->geometry(), QRect(0, 0, 150, kHeight - extent));
    EXPECT_EQ(right->GetSafeHwnd()->geometry(),
              QRect(150 + bar, 0, paneWidth - 150 - bar, kHeight - extent));
    EXPECT_EQ(splitter.GetVertScrollBar()->GetSafeHwnd()->geometry(),
              QRect(paneWidth, 0, extent, kHeight - extent));
    EXPECT_EQ(splitter.GetHorzScrollBar(0)->GetSafeHwnd()->geometry(),
              QRect(0, kHeight - extent, 150, extent));
    EXPECT_EQ(splitter.GetHorzScrollBar(1)->GetSafeHwnd()->geometry().left(), 150 + bar);
}

TEST_F(SplitterTest, ColumnInfoWaitsForTheNextLayout) {
    splitter.SetColumnInfo(0, 200, 20);
    EXPECT_EQ(ColumnWidth(0), 150);
    EXPECT_EQ(left->GetSafeHwnd()->width(), 150);
    widget()->resize(kWidth + 10, kHeight);
    EXPECT_EQ(ColumnWidth(0), 200);
    EXPECT_EQ(ColumnWidth(1), paneWidth + 10 - 200 - splitter.SplitterBarWidth());
}

TEST_F(SplitterTest, AColumnBelowItsMinimumIsHiddenAndItsNeighbourTakesTheSpace) {
    splitter.SetColumnInfo(0, 30, 40);
    splitter.RecalcLayout();
    EXPECT_EQ(ColumnWidth(0), 0);
    EXPECT_FALSE(left->GetSafeHwnd()->isVisible());
    EXPECT_EQ(ColumnWidth(1), paneWidth - splitter.SplitterBarWidth());

    splitter.SetColumnInfo(0, paneWidth - 30, 10);
    splitter.SetColumnInfo(1, 100, 40);
    splitter.RecalcLayout();
    EXPECT_EQ(ColumnWidth(1), 0);
    EXPECT_FALSE(right->GetSafeHwnd()->isVisible());
    EXPECT_TRUE(left->GetSafeHwnd()->isVisible());
    EXPECT_EQ(ColumnWidth(0), paneWidth - splitter.SplitterBarWidth());
}

TEST_F(SplitterTest, PanesShareTheVerticalBarAndOwnTheBarUnderThem) {
    EXPECT_EQ(left->GetScrollBarCtrl(SB_VERT), splitter.GetVertScrollBar());
    EXPECT_EQ(right->GetScrollBarCtrl(SB_VERT), splitter.GetVertScrollBar());
    EXPECT_EQ(left->GetScrollBarCtrl(SB_HORZ), splitter.GetHorzScrollBar(0));
    EXPECT_EQ(right->GetScrollBarCtrl(SB_HORZ), splitter.GetHorzScrollBar(1));
    right->SetScrollRange(SB_HORZ, 0, 4096);
    right->SetScrollPos(SB_HORZ, 15);
    EXPECT_EQ(static_cast<QScrollBar*>(splitter.GetHorzScrollBar(1)->GetSafeHwnd())->value(), 15);
    EXPECT_EQ(splitter.GetHorzScrollBar(0)->GetScrollPos(), 0);
    EXPECT_TRUE(splitter.requests.empty());  // setting a bar is never a request
}

TEST_F(SplitterTest, ARangeWithoutRoomDisablesTheBarAndThePositionStaysInside) {
    CScrollBar* bar = splitter.GetVertScrollBar();
    bar->SetScrollRange(0, 10);
    EXPECT_TRUE(static_cast<QScrollBar*>(bar->GetSafeHwnd())->isEnabled());
    EXPECT_EQ(bar->SetScrollPos(50), 0);
    EXPECT_EQ(bar->GetScrollPos(), 10);
    bar->SetScrollRange(0, 0);
    EXPECT_FALSE(static_cast<QScrollBar*>(bar->GetSafeHwnd())->isEnabled());
    bar->SetScrollRange(0, -10);
    EXPECT_FALSE(static_cast<QScrollBar*>(bar->GetSafeHwnd())->isEnabled());
    EXPECT_EQ(bar->GetScrollPos(), 0);
    QScrollBar* qbar = static_cast<QScrollBar*>(bar->GetSafeHwnd());
    QTest::mouseClick(qbar, Qt::LeftButton, {}, Part(qbar, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_TRUE(splitter.requests.empty());
}

struct ClickCase {
    const char* name;
    QStyle::SubControl part;
    UINT code;
};

void PrintTo(const ClickCase& c, std::ostream* os) {
    *os << c.name;
}

class BarClicks : public SplitterTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(BarClicks, ClickBecomesARequestAndAnEndOfScrollWhileTheThumbStays) {
    for (CScrollBar* bar : {splitter.GetVertScrollBar(), splitter.GetHorzScrollBar(1)}) {
        SCOPED_TRACE(bar->IsVertical() ? "vertical" : "horizontal");
        splitter.requests.clear();
        bar->SetScrollRange(0, 100);
        bar->SetScrollPos(50);
        QScrollBar* qbar = static_cast<QScrollBar*>(bar->GetSafeHwnd());
        QTest::mouseClick(qbar, Qt::LeftButton, {}, Part(qbar, GetParam().part).center());
        const std::vector<Request> expected{{bar->IsVertical(), GetParam().code, 0, bar},
                                            {bar->IsVertical(), SB_ENDSCROLL, 0, bar}};
        EXPECT_EQ(splitter.requests, expected);
        EXPECT_EQ(qbar->value(), 50);
        EXPECT_EQ(bar->GetScrollPos(), 50);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Parts, BarClicks,
    ::testing::Values(ClickCase{"LineDown", QStyle::SC_ScrollBarAddLine, SB_LINEDOWN},
                      ClickCase{"LineUp", QStyle::SC_ScrollBarSubLine, SB_LINEUP},
                      ClickCase{"PageDown", QStyle::SC_ScrollBarAddPage, SB_PAGEDOWN},
                      ClickCase{"PageUp", QStyle::SC_ScrollBarSubPage, SB_PAGEUP}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return std::string(info.param.name); });

TEST_F(SplitterTest, DraggingTheThumbTracksThenReportsThePositionAndTheEnd) {
    CScrollBar* bar = splitter.GetVertScrollBar();
    bar->SetScrollRange(0, 1000);
    QScrollBar* qbar = static_cast<QScrollBar*>(bar->GetSafeHwnd());
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
    const int grab = splitter.SplitterBarLeft(0) + 2;
    QTest::mousePress(widget(), Qt::LeftButton, {}, QPoint(grab, 50));
    QTest::mouseMove(widget(), QPoint(grab + 40, 60));
    EXPECT_TRUE(splitter.IsTracking());
    EXPECT_EQ(ColumnWidth(0), 150);
    QTest::mouseRelease(widget(), Qt::LeftButton, {}, QPoint(grab + 40, 60));
    EXPECT_FALSE(splitter.IsTracking());
    EXPECT_EQ(ColumnWidth(0), 190);
    EXPECT_EQ(left->GetSafeHwnd()->width(), 190);
}

TEST_F(SplitterTest, KeyboardSplitMovesTheBarWithArrowsUntilEnterOrEscape) {
    CCmdUI state(ID_WINDOW_SPLIT);
    right->UpdateCommand(state);
    EXPECT_TRUE(state.m_bEnabled);

    ASSERT_TRUE(right->ExecuteCommand(ID_WINDOW_SPLIT));
    EXPECT_TRUE(splitter.IsTracking());
    QTest::keyClick(widget(), Qt::Key_Right);
    QTest::keyClick(widget(), Qt::Key_Right);
    QTest::keyClick(widget(), Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClick(widget(), Qt::Key_Return);
    EXPECT_FALSE(splitter.IsTracking());
    EXPECT_EQ(ColumnWidth(0), 150 + 8 + 8 - 1);

    ASSERT_TRUE(left->ExecuteCommand(ID_WINDOW_SPLIT));
    QTest::keyClick(widget(), Qt::Key_Left);
    QTest::keyClick(widget(), Qt::Key_Escape);
    EXPECT_FALSE(splitter.IsTracking());
    EXPECT_EQ(ColumnWidth(0), 165);
}

TEST_F(SplitterTest, NextAndPreviousPaneMakeTheOtherPaneActive) {
    frame.SetActiveView(right, false);
    ASSERT_TRUE(right->ExecuteCommand(ID_NEXT_PANE));
    EXPECT_EQ(frame.GetActiveView(), left);
    ASSERT_TRUE(left->ExecuteCommand(ID_PREV_PANE));
    EXPECT_EQ(frame.GetActiveView(), right);
    ASSERT_TRUE(right->ExecuteCommand(ID_PREV_PANE));
    EXPECT_EQ(frame.GetActiveView(), left);
}

TEST(PaneOutsideASplitter, HasNoBarsAndNoPaneCommands) {
    Pane pane;
    pane.Create(nullptr, CRect(0, 0, 100, 100), 0, nullptr);
    EXPECT_EQ(pane.GetScrollBarCtrl(SB_VERT), nullptr);
    for (CommandId id : {ID_NEXT_PANE, ID_PREV_PANE, ID_WINDOW_SPLIT}) {
        CCmdUI state(id);
        pane.UpdateCommand(state);
        EXPECT_FALSE(state.m_bEnabled) << id;
        EXPECT_FALSE(pane.ExecuteCommand(id)) << id;
    }
}

void Wheel(QWidget* widget, QPoint delta, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF at(10, 10);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), delta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

TEST_F(SplitterTest, WheelNotchIsThreeLineRequestsOnTheSharedBars) {
    Wheel(left->GetSafeHwnd(), QPoint(0, 120));
    Wheel(right->GetSafeHwnd(), QPoint(0, -120));
    Wheel(left->GetSafeHwnd(), QPoint(0, -120), Qt::ShiftModifier);
    CScrollBar* vert = splitter.GetVertScrollBar();
    CScrollBar* under = splitter.GetHorzScrollBar(0);
    const std::vector<Request> expected{
        {true, SB_LINEUP, 0, vert},      {true, SB_LINEUP, 0, vert},
        {true, SB_LINEUP, 0, vert},      {true, SB_LINEDOWN, 0, vert},
        {true, SB_LINEDOWN, 0, vert},    {true, SB_LINEDOWN, 0, vert},
        {false, SB_LINERIGHT, 0, under}, {false, SB_LINERIGHT, 0, under},
        {false, SB_LINERIGHT, 0, under},
    };
    EXPECT_EQ(splitter.requests, expected);
}

}  // namespace
