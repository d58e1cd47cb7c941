#pragma once

// Two panes in the main window's splitter over one document, on the screen.

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "display/SyncSplitter.h"
#include "display/TargetView.h"
#include "display/TessiverView.h"
#include "document/TessiverDoc.h"
#include "framework/draw/DC.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/ScrollBar.h"
#include "framework/window/SplitterWnd.h"

namespace panes {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);

// One text a pane drew, with the colours and the font in force.
struct DrawnText {
    int x, y;
    std::string text;
    COLORREF bk, fg;
    bool operator==(const DrawnText&) const = default;
};

inline void PrintTo(const DrawnText& t, std::ostream* os) {
    *os << "(" << t.x << ", " << t.y << ", \"" << t.text << "\", bk " << std::hex << t.bk << ", fg "
        << t.fg << std::dec << ")";
}

// A device context on no device: it records the texts drawn and the font selected.
class RecordingDC : public CDC {
public:
    CFont* SelectObject(CFont* pFont) override {
        m_pFont = pFont;
        return CDC::SelectObject(pFont);
    }
    bool TextOut(int x, int y, std::string_view text) override {
        texts.push_back({x, y, std::string(text), GetBkColor(), GetTextColor()});
        fonts.push_back(m_pFont);
        return true;
    }
    // Recorded as a TextOut, with its ranges and their background kept apart.
    bool TextOutMarked(int x, int y, std::string_view text, std::span<const CTextRange> ranges,
                       COLORREF color) override {
        marked.push_back({y, std::vector<CTextRange>(ranges.begin(), ranges.end()), color});
        return TextOut(x, y, text);
    }

    void FillSolidRect(const CRect& rect, COLORREF color) override {
        fills.push_back({rect, color});
    }

    struct Fill {
        CRect rect;
        COLORREF color;
    };
    std::vector<Fill> fills;  // the FillSolidRect calls
    struct Marked {
        int y;
        std::vector<CTextRange> ranges;
        COLORREF color;
        bool operator==(const Marked&) const = default;
    };
    std::vector<DrawnText> texts;
    std::vector<Marked> marked;       // the TextOutMarked calls
    std::vector<const CFont*> fonts;  // the font each text was drawn in
    const CFont* m_pFont = nullptr;   // the font selected now
};

// Counts the document's updates of its views: each one has both panes repainted.
class UpdateCounter : public CView {
public:
    void OnDraw(CDC* /*pDC*/) override {}
    void OnUpdate(CView* /*pSender*/, long /*lHint*/, CObject* /*pHint*/) override { ++count; }
    int count = 0;
};

class Panes {
public:
    // Each pane is paneWidth x paneHeight pixels.
    explicit Panes(int paneHeight, int paneWidth = 300) : m_nPaneWidth(paneWidth) {
        splitter.CreateStatic(nullptr, 1, 2, 0x50300000, 59648);
        CCreateContext context{RUNTIME_CLASS(CTessiverView), &doc, nullptr, nullptr};
        splitter.CreateView(0, 0, RUNTIME_CLASS(CTessiverView), CSize(paneWidth, paneHeight),
                            &context);
        splitter.CreateView(0, 1, RUNTIME_CLASS(CTargetView), CSize(paneWidth, paneHeight),
                            &context);
        source = dynamic_cast<CTessiverView*>(splitter.GetPane(0, 0));
        target = dynamic_cast<CTargetView*>(splitter.GetPane(0, 1));
        doc.AddView(&updates);
        splitter.ShowWindow(SW_SHOW);
        // Laid out once to learn the bars' thickness, then at the size wanted.
        SetPaneHeight(paneHeight);
        CRect bar;
        VertBar()->GetChildRect(&bar);
        m_nExtent = bar.Width();
        SetPaneHeight(paneHeight);
        source->OnInitialUpdate();
        target->OnInitialUpdate();
        updates.count = 0;
    }
    ~Panes() { splitter.ShowWindow(SW_HIDE); }

    void SetPaneHeight(int height) {
        splitter.MoveWindow(0, 0, 2 * m_nPaneWidth + splitter.SplitterBarWidth() + m_nExtent,
                            height + m_nExtent);
    }
    void Load(std::unique_ptr<CCompareResult> result) {
        doc.SetResult(std::move(result));
        doc.UpdateAllViews(nullptr, 0, nullptr);
        updates.count = 0;
    }
    // n equal rows.
    void LoadRows(int n, const std::string& text = "text") {
        auto result = std::make_unique<CCompareResult>();
        for (int i = 0; i < n; ++i) {
            result->AddRow(i + 1, text, i + 1, text, kindEqual);
        }
        Load(std::move(result));
    }
    static std::vector<DrawnText> Draw(CView* pane) {
        RecordingDC dc;
        pane->OnDraw(&dc);
        return dc.texts;
    }

    CScrollBar* VertBar() const { return splitter.GetVertScrollBar(); }
    CScrollBar* SourceBar() const { return splitter.GetHorzScrollBar(0); }
    CScrollBar* TargetBar() const { return splitter.GetHorzScrollBar(1); }

    CTessiverDoc doc;
    UpdateCounter updates;
    CSyncSplitter splitter;  // after the document: the panes go first
    CTessiverView* source = nullptr;
    CTargetView* target = nullptr;

private:
    int m_nPaneWidth;
    int m_nExtent = 0;
};

}  // namespace panes
