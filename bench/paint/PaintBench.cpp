// Paint benchmark: the time of one full repaint of both panes (800 x 1000 pixels each, offscreen)
// for tables of very different sizes, and per step of a thumb drag across the largest one. Every
// figure is also given as a ratio to the 100-row table measured in the same run.
//
// The cases marked below are timed a second time with View > Changes Within Lines on, each in
// the same round as with it off; a second table gives the ratio of the two.
//
// The large tables come from comparing the engine benchmark's pairs, the way the program builds
// them: realistic-10m (10 million lines of code-like text against an edited copy) and long-line
// (one 100 MB line on each side). tessiver-genpair writes them; bench/paint/run.sh does it all.
//
// usage: tessiver-paintbench [--reps N] [--drag-steps N] [--rounds N] [--data DIR]
#include <QApplication>
#include <QEvent>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display/SyncSplitter.h"
#include "display/TargetView.h"
#include "display/TessiverView.h"
#include "document/TessiverDoc.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/ScrollBar.h"

namespace {

constexpr int kPaneWidth = 800;
constexpr int kPaneHeight = 1000;

using Clock = std::chrono::steady_clock;

// Code-like lines of typical length; rows cycle through them.
const char* const kLines[] = {
    "    for (std::size_t i = 0; i < rows.size(); ++i) {",
    "        const std::string_view text = column[i];  // the row's text as stored",
    "        if (text.empty() && other.empty()) continue;",
    "    return std::make_unique<CCompareResult>(std::move(table));",
    "}",
    "",
    "static int ParseNumber(const char* begin, const char* end, int fallback) noexcept {",
    "    // Skip leading blanks, then read decimal digits until the first non-digit.",
};
constexpr int kLineCount = sizeof kLines / sizeof kLines[0];

// The first rows of a table, as a table of their own.
std::unique_ptr<CCompareResult> Head(const CCompareResult& table, std::int32_t rows) {
    auto head = std::make_unique<CCompareResult>();
    for (std::int32_t i = 0; i < rows && i < table.GetRowCount(); ++i) {
        const auto r = static_cast<std::size_t>(i);
        head->AddRow(table.m_sourceLine[r], std::string(table.m_sourceText[r]),
                     table.m_targetLine[r], std::string(table.m_targetText[r]), table.m_kind[r]);
    }
    return head;
}

std::unique_ptr<CCompareResult> LongLineTable(std::size_t bytes, int rows) {
    auto table = std::make_unique<CCompareResult>();
    for (int r = 0; r < rows; ++r) {
        std::string source;
        source.reserve(bytes);
        while (source.size() < bytes) {
            source += kLines[source.size() % kLineCount];
            source += ' ';
        }
        source.resize(bytes);
        std::string target = source;
        target[bytes / 2] = '#';  // one byte apart: a changed row, silver behind both
        table->AddRow(r + 1, std::move(source), r + 1, std::move(target), kindChanged);
    }
    return table;
}

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    long count = 0;
};

// The two panes in the main window's splitter, shown offscreen.
class Window {
public:
    Window() {
        splitter.CreateStatic(nullptr, 1, 2, 0x50300000, 59648);
        CCreateContext context{RUNTIME_CLASS(CTessiverView), &doc, nullptr, nullptr};
        splitter.CreateView(0, 0, RUNTIME_CLASS(CTessiverView), CSize(kPaneWidth, kPaneHeight),
                            &context);
        splitter.CreateView(0, 1, RUNTIME_CLASS(CTargetView), CSize(kPaneWidth, kPaneHeight),
                            &context);
        QWidget* widget = splitter.GetSafeHwnd();
        const int extent = widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        // The column rule halves the width at each size notice; this size gives 800 each.
        widget->resize(2 * kPaneWidth + splitter.SplitterBarWidth() + extent, kPaneHeight + extent);
        splitter.GetPane(0, 0)->GetSafeHwnd()->installEventFilter(&paints);
        splitter.GetPane(0, 1)->GetSafeHwnd()->installEventFilter(&paints);
        widget->show();
        QApplication::processEvents();
        for (CView* view : std::vector<CView*>(doc.GetViews())) {
            view->OnInitialUpdate();
        }
        QApplication::processEvents();
    }

    // Compares the pair and shows the result from row top.
    bool Compare(const std::string& stem, std::int32_t top) {
        doc.SetPaths(stem + ".source.txt", stem + ".target.txt");
        doc.OnCompare();
        if (!doc.m_pResult) {
            return false;
        }
        doc.m_scroll.SetTopRow(top);
        doc.UpdateAllViews(nullptr, 0, nullptr);
        QApplication::processEvents();
        return true;
    }
    // Shows table from row top; gives back the table shown before.
    std::unique_ptr<CCompareResult> Load(std::unique_ptr<CCompareResult> table, std::int32_t top) {
        table = doc.SetResult(std::move(table));
        doc.m_scroll.SetTopRow(top);
        doc.UpdateAllViews(nullptr, 0, nullptr);
        QApplication::processEvents();
        return table;
    }
    // One full repaint of both panes, as after any change of the document.
    void Repaint() {
        doc.UpdateAllViews(nullptr, 0, nullptr);
        QApplication::processEvents();
    }
    int PaneWidth(int col) const { return splitter.GetPane(0, col)->GetSafeHwnd()->width(); }
    int PaneHeight(int col) const { return splitter.GetPane(0, col)->GetSafeHwnd()->height(); }

    PaintCounter paints;
    CTessiverDoc doc;
    CSyncSplitter splitter;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Adds the microseconds of reps calls of step, after a few untimed ones (caches warm), to times;
// checks that every call painted both panes exactly once.
void TimeRepaints(Window& window, int reps, const std::function<void(int)>& step,
                  std::vector<double>& times) {
    for (int i = 0; i < 5; ++i) {
        step(i);
    }
    const long before = window.paints.count;
    for (int i = 0; i < reps; ++i) {
        const auto start = Clock::now();
        step(i);
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    const long painted = window.paints.count - before;
    if (painted != 2L * reps) {
        std::fprintf(stderr, "expected %d paints, counted %ld\n", 2 * reps, painted);
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    int reps = 100;
    int dragSteps = 200;
    int rounds = 5;
    std::string data = TESSIVER_BENCH_DATA;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--reps") == 0) {
            reps = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--drag-steps") == 0) {
            dragSteps = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--data") == 0) {
            data = argv[i + 1];
        }
    }

    Window window;
    std::unique_ptr<CCompareResult> large;
    std::unique_ptr<CCompareResult> single;
    for (const auto& [stem, table] :
         {std::pair{data + "/realistic-10m", &large}, std::pair{data + "/long-line", &single}}) {
        if (!window.Compare(stem, 0)) {
            std::fprintf(stderr, "no table from %s.*: run tessiver-genpair --large first\n",
                         stem.c_str());
            return 1;
        }
        *table = window.doc.SetResult(nullptr);
    }
    const std::int32_t middle = large->GetRowCount() / 2;

    struct Case {
        std::string name;
        std::unique_ptr<CCompareResult> table;
        std::int32_t top;
        bool drag;  // thumb drag steps instead of repaints in place
        std::vector<double> times;
        bool inlineToo = false;           // timed again with changes within lines on
        std::vector<double> inlineTimes;  // those times
    };
    std::vector<Case> cases;
    // The reference: the first 100 rows of the large comparison, so that both draw the same
    // kind of text.
    cases.push_back({"its first 100 rows as a table, top row 0 (reference)",
                     Head(*large, 100),
                     0,
                     false,
                     {},
                     false,
                     {}});
    cases.push_back(
        {"long-line: one 100 MB line on each side", std::move(single), 0, false, {}, false, {}});
    // Every visible row full to the pane's edge, with lines just long enough and with lines of
    // a megabyte: the pair shows what the length costs.
    cases.push_back({"64 rows of 200-byte lines: every row full",
                     LongLineTable(200, 64),
                     0,
                     false,
                     {},
                     true,
                     {}});
    cases.push_back({"64 rows of 1 MB lines: every row full",
                     LongLineTable(1'000'000, 64),
                     0,
                     false,
                     {},
                     false,
                     {}});
    cases.push_back({"realistic-10m (" + std::to_string(large->GetRowCount()) + " rows), top row " +
                         std::to_string(middle),
                     std::move(large),
                     middle,
                     false,
                     {},
                     true,
                     {}});
    cases.push_back({"thumb drag across realistic-10m, per step", nullptr, 0, true, {}, true, {}});

    // Rounds interleave the cases, so that a busy moment of the machine spreads over all of
    // them instead of spoiling one.
    Case* shown = nullptr;  // whose table the document holds
    for (int round = 0; round < rounds; ++round) {
        for (Case& current : cases) {
            if (!current.drag) {
                std::unique_ptr<CCompareResult> previous =
                    window.Load(std::move(current.table), current.top);
                if (shown != nullptr) {
                    shown->table = std::move(previous);
                }
                shown = &current;
                for (const bool bInline : {false, true}) {
                    if (bInline && !current.inlineToo) {
                        continue;
                    }
                    window.doc.m_nInlineChanges = bInline ? 1 : 0;
                    TimeRepaints(
                        window, reps, [&](int) { window.Repaint(); },
                        bInline ? current.inlineTimes : current.times);
                }
                window.doc.m_nInlineChanges = 0;
                continue;
            }
            // The drag runs over the large table, which the case before left in the document:
            // every tracking step goes through the splitter, moves both panes and repaints them.
            for (const bool bInline : {false, true}) {
                if (bInline && !current.inlineToo) {
                    continue;
                }
                window.doc.m_nInlineChanges = bInline ? 1 : 0;
                window.doc.m_scroll.SetTopRow(0);
                window.Repaint();
                CScrollBar* bar = window.splitter.GetVertScrollBar();
                int lo = 0;
                int hi = 0;
                bar->GetScrollRange(&lo, &hi);
                // No row's changes are known before the drag starts.
                window.doc.m_inline.Clear();
                TimeRepaints(
                    window, dragSteps,
                    [&](int i) {
                        const auto pos =
                            static_cast<UINT>(static_cast<long long>(hi) * (i + 1) / dragSteps);
                        bar->SendRequest(SB_THUMBTRACK, pos);
                        QApplication::processEvents();
                    },
                    bInline ? current.inlineTimes : current.times);
                if (window.doc.m_scroll.GetTopRow() != hi) {
                    std::fprintf(stderr, "the drag ended at row %d, not %d\n",
                                 window.doc.m_scroll.GetTopRow(), hi);
                    return 1;
                }
            }
            window.doc.m_nInlineChanges = 0;
        }
    }

    std::printf(
        "panes: %dx%d and %dx%d pixels; %d rounds of %d repaints (drag: %d steps), "
        "median\n\n",
        window.PaneWidth(0), window.PaneHeight(0), window.PaneWidth(1), window.PaneHeight(1),
        rounds, reps, dragSteps);
    const double reference = Median(cases.front().times);
    std::printf("| case | microseconds per repaint of both panes | ratio to 100 rows |\n");
    std::printf("|---|--:|--:|\n");
    for (const Case& c : cases) {
        const double micros = Median(c.times);
        std::printf("| %s | %.0f | %.2f |\n", c.name.c_str(), micros, micros / reference);
    }
    std::printf("\nWith View > Changes Within Lines on:\n\n");
    std::printf("| case | microseconds, off | microseconds, on | on / off |\n");
    std::printf("|---|--:|--:|--:|\n");
    for (const Case& c : cases) {
        if (c.inlineToo) {
            const double off = Median(c.times);
            const double on = Median(c.inlineTimes);
            std::printf("| %s | %.0f | %.0f | %.2f |\n", c.name.c_str(), off, on, on / off);
        }
    }
    return 0;
}
