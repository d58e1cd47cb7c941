#pragma once

// Two panes in a one-row, two-column splitter over one document, rendered offscreen. The
// splitter hands every request of its bars to the pane in column 1, as the main window's does.

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QStyle>
#include <QWidget>
#include <memory>
#include <string>

#include "display/TargetView.h"
#include "display/TessiverView.h"
#include "document/TessiverDoc.h"
#include "framework/core/DocTemplate.h"
#include "framework/window/ScrollBar.h"
#include "framework/window/SplitterWnd.h"

namespace panes {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kSilver = qRgb(192, 192, 192);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kGreen = qRgb(0, 128, 0);
// The system window colour the panes erase with; not white, so that what the rows paint and
// what is merely erased can be told apart.
constexpr QRgb kErased = qRgb(250, 240, 230);

// A full block: its cell shows the text colour, so a colour check needs no glyph shapes.
inline const std::string kBlock = "\xE2\x96\x88";

inline std::string Blocks(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += kBlock;
    }
    return text;
}

class RoutingSplitter : public CSplitterWnd {
public:
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override {
        CTessiverView::SyncVScroll(static_cast<CView*>(GetPane(0, 1)), nSBCode, nPos, pScrollBar);
    }
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override {
        CTessiverView::SyncHScroll(static_cast<CView*>(GetPane(0, 1)), nSBCode, nPos, pScrollBar);
    }
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++count;
        }
        return false;
    }
    int count = 0;
};

class Panes {
public:
    // Each pane is paneWidth x paneHeight pixels.
    explicit Panes(int paneHeight, int paneWidth = 300) {
        splitter.CreateStatic(nullptr, 1, 2, 0x50300000, 59648);
        CCreateContext context{RUNTIME_CLASS(CTessiverView), &doc, nullptr, nullptr};
        splitter.CreateView(0, 0, RUNTIME_CLASS(CTessiverView), CSize(paneWidth, paneHeight),
                            &context);
        splitter.CreateView(0, 1, RUNTIME_CLASS(CTargetView), CSize(paneWidth, paneHeight),
                            &context);
        source = dynamic_cast<CTessiverView*>(splitter.GetPane(0, 0));
        target = dynamic_cast<CTargetView*>(splitter.GetPane(0, 1));
        QWidget* widget = splitter.GetSafeHwnd();
        const int extent = widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        for (CView* pane : {static_cast<CView*>(source), static_cast<CView*>(target)}) {
            QPalette palette = pane->GetSafeHwnd()->palette();
            palette.setColor(QPalette::Base, QColor(kErased));
            pane->GetSafeHwnd()->setPalette(palette);
            pane->GetSafeHwnd()->installEventFilter(&paints[pane == source ? 0 : 1]);
        }
        widget->resize(2 * paneWidth + splitter.SplitterBarWidth() + extent, paneHeight + extent);
        widget->show();
        QApplication::processEvents();
        source->OnInitialUpdate();
        target->OnInitialUpdate();
        Settle();
    }
    ~Panes() { splitter.GetSafeHwnd()->hide(); }

    // Fills the table: n rows, equal unless made otherwise by the caller afterwards.
    void Load(std::unique_ptr<CCompareResult> result) {
        doc.m_pResult = std::move(result);
        doc.UpdateAllViews(nullptr, 0, nullptr);
        Settle();
    }
    void LoadRows(int n, const std::string& text = "text") {
        auto result = std::make_unique<CCompareResult>();
        for (int i = 0; i < n; ++i) {
            result->AddRow(i + 1, text, i + 1, text, kindEqual);
        }
        Load(std::move(result));
    }

    // Lets every pending paint happen and forgets the paints counted so far.
    void Settle() {
        QApplication::processEvents();
        paints[0].count = 0;
        paints[1].count = 0;
    }
    // Paints that happened since the last Settle, per pane.
    std::pair<int, int> Repaints() {
        QApplication::processEvents();
        return {paints[0].count, paints[1].count};
    }

    static QImage Render(CView* pane) {
        QImage image(pane->GetSafeHwnd()->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        pane->GetSafeHwnd()->render(&image);
        return image;
    }
    // How many pixels of exactly this colour lie in the rectangle.
    static int Count(const QImage& image, QRgb colour, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1 && y < image.height(); ++y) {
            for (int x = x0; x < x1 && x < image.width(); ++x) {
                n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
            }
        }
        return n;
    }
    // How many pixels in the rectangle show silver ink on white: silver itself or the grey of
    // its anti-aliased edges.
    static int CountSilverInk(const QImage& image, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1 && y < image.height(); ++y) {
            for (int x = x0; x < x1 && x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                n +=
                    qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) >= 192 && qRed(c) < 255
                        ? 1
                        : 0;
            }
        }
        return n;
    }
    static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000; }

    CScrollBar* VertBar() const { return splitter.GetVertScrollBar(); }
    CScrollBar* SourceBar() const { return splitter.GetHorzScrollBar(0); }
    CScrollBar* TargetBar() const { return splitter.GetHorzScrollBar(1); }

    PaintCounter paints[2];  // outlive the panes they watch
    CTessiverDoc doc;
    RoutingSplitter splitter;  // after the document: the panes go first
    CTessiverView* source = nullptr;
    CTargetView* target = nullptr;
};

}  // namespace panes
