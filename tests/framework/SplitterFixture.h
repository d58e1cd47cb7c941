#pragma once

// A static splitter of two empty panes with the shared scroll bars, 420 by 200 pixels, on its own
// on the screen. It records the requests of its bars and, like the platform's, leaves the bars
// where they are.

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "framework/core/AfxRes.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/ScrollBar.h"
#include "framework/window/SplitterWnd.h"
#include "framework/window/View.h"

namespace splitter_test {

class Pane : public CView {
public:
    static const CRuntimeClass runtimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
    void OnDraw(CDC* /*pDC*/) override {}
};
inline const CRuntimeClass Pane::runtimeClass{"Pane", &CView::runtimeClass,
                                              &CreateRuntimeObject<Pane>};

struct Request {
    bool vertical;
    UINT code;
    UINT pos;
    CScrollBar* bar;
    bool operator==(const Request&) const = default;
};

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

// A window's rectangle in its parent: left, top, right, bottom.
inline std::array<LONG, 4> Place(const CWnd* pWnd) {
    CRect rect;
    pWnd->GetChildRect(&rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

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
        splitter.ShowWindow(SW_SHOW);
        splitter.MoveWindow(0, 0, kWidth, kHeight);
        extent = Place(splitter.GetVertScrollBar())[2] - Place(splitter.GetVertScrollBar())[0];
        paneWidth = kWidth - extent;
    }
    ~SplitterTest() override { splitter.ShowWindow(SW_HIDE); }

    int ColumnWidth(int col) const {
        int cur = 0;
        int min = 0;
        splitter.GetColumnInfo(col, cur, min);
        return cur;
    }

    CFrameWnd frame;  // outlives the splitter, which clears the active view when it goes
    RecordingSplitter splitter;
    Pane* left = nullptr;
    Pane* right = nullptr;
    int extent = 0;  // the scroll bars' thickness
    int paneWidth = 0;
};

}  // namespace splitter_test
