// tessiver-inline-bench: the changes within a line (CInlineComparer), per case against a
// reference measured in the same run, so that the figures carry from machine to machine:
//
// - a screen: 60 changed rows of code-like text, each a small edit of the other (one word or
//   number replaced, or a remark added, as the engine benchmark's pairs are edited), against
//   taking the shown texts of the same rows, which every repaint does before it draws them;
// - one 2 MB line with one character changed, against copying its two texts; and the same
//   looked at only as far as a pane 800 pixels wide shows;
// - two unrelated 1 MiB lines (past the bound on the middle), against copying them;
// - a 64 KiB line with 30 words replaced all over it (within the bounds), and with 40 (past the
//   bound on word edits: the costliest row there is), against copying them.
//
// usage: tessiver-inline-bench [Google Benchmark's options, e.g. --benchmark_repetitions=5]
// The table at the end gives CPU times (the machine may be shared; every case runs on one
// thread), the medians with repetitions.

#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/CodeText.h"
#include "engine/CompareResult.h"
#include "engine/InlineComparer.h"
#include "engine/RowKind.h"

namespace {

constexpr std::int32_t kScreenRows = 60;
constexpr std::size_t kShownBytes = 4 * 800 + 4;  // what DrawRows takes of a text, 800 pixels

// A line of at least size bytes of code-like text.
std::string LongLine(std::uint64_t seed, std::size_t size) {
    CCodeText code(seed);
    std::string line;
    while (line.size() < size) {
        code.NextLine(line);
        line += ' ';
    }
    return line;
}

const CCompareResult& Screen() {
    static const std::unique_ptr<CCompareResult> screen = [] {
        auto table = std::make_unique<CCompareResult>();
        CCodeText code(42);
        for (std::int32_t row = 1; row <= kScreenRows;) {
            std::string line;
            code.NextLine(line);
            if (line.empty()) {
                continue;
            }
            std::string changed;
            code.ChangeLine(line, changed);
            table->AddRow(row, line, row, changed, kindChanged);
            ++row;
        }
        return table;
    }();
    return *screen;
}

struct CPair {
    std::string source;
    std::string target;
};

const CPair& LongLinePair() {
    static const CPair pair = [] {
        CPair p{LongLine(1, 2'000'000), ""};
        p.target = p.source;
        p.target[p.source.size() / 2] ^= 1;
        return p;
    }();
    return pair;
}

const CPair& UnrelatedPair() {
    static const CPair pair{LongLine(2, 1 << 20), LongLine(3, 1 << 20)};
    return pair;
}

// A 64 KiB line with a letter changed in a word every 64 KiB / words bytes.
CPair ScatteredPair(int words) {
    CPair pair{LongLine(4, 64 * 1024).substr(0, 64 * 1024), ""};
    pair.target = pair.source;
    const std::size_t step = pair.source.size() / static_cast<std::size_t>(words);
    for (std::size_t at = step / 2; at < pair.target.size(); at += step) {
        while (at < pair.target.size() &&
               !std::isalpha(static_cast<unsigned char>(pair.target[at]))) {
            ++at;
        }
        if (at < pair.target.size()) {
            pair.target[at] = pair.target[at] == 'Q' ? 'Z' : 'Q';
        }
    }
    return pair;
}

const CPair& WithinBoundPair() {
    static const CPair pair = ScatteredPair(30);
    return pair;
}

const CPair& PastBoundPair() {
    static const CPair pair = ScatteredPair(40);
    return pair;
}

void ScreenTexts(benchmark::State& state) {
    const CCompareResult& screen = Screen();
    for (auto _ : state) {
        for (std::int32_t row = 0; row < kScreenRows; ++row) {
            const auto r = static_cast<std::size_t>(row);
            benchmark::DoNotOptimize(screen.m_sourceText.GetShown(r, kShownBytes));
            benchmark::DoNotOptimize(screen.m_targetText.GetShown(r, kShownBytes));
        }
    }
}

void ScreenInline(benchmark::State& state) {
    const CCompareResult& screen = Screen();
    CInlineComparer comparer;
    CInlineChanges changes;
    for (auto _ : state) {
        for (std::int32_t row = 0; row < kScreenRows; ++row) {
            benchmark::DoNotOptimize(comparer.CompareRow(screen, row, changes, kShownBytes));
        }
    }
}

void Copy(benchmark::State& state, const CPair& pair) {
    std::string source(pair.source.size(), ' ');
    std::string target(pair.target.size(), ' ');
    for (auto _ : state) {
        std::memcpy(source.data(), pair.source.data(), source.size());
        std::memcpy(target.data(), pair.target.data(), target.size());
        benchmark::ClobberMemory();
    }
}

void Inline(benchmark::State& state, const CPair& pair,
            std::size_t looked = CInlineComparer::kAll) {
    CInlineComparer comparer;
    CInlineChanges changes;
    for (auto _ : state) {
        comparer.Compare(pair.source, pair.target, changes, looked);
        benchmark::DoNotOptimize(changes.source.data());
    }
    state.counters["source_spans"] = static_cast<double>(changes.source.size());
    state.counters["whole"] = changes.bWhole;
}

// Each case and the reference it is measured against.
const std::pair<const char*, const char*> kRatios[] = {
    {"screen/inline", "screen/shown-texts"},      {"long-line/inline", "long-line/copy"},
    {"long-line/inline-shown", "long-line/copy"}, {"unrelated/inline", "unrelated/copy"},
    {"scattered-30/inline", "scattered/copy"},    {"scattered-40/inline", "scattered/copy"},
};

// The console's report, then each case's time as a multiple of its reference's.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool bMedian =
                run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (bMedian || (run.run_type == Run::RT_Iteration && run.repetitions <= 1)) {
                m_seconds[run.run_name.function_name] =
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n| case | reference | CPU microseconds | reference's | ratio |\n");
        std::printf("|---|---|--:|--:|--:|\n");
        for (const auto& [name, reference] : kRatios) {
            const double time = m_seconds[name];
            const double base = m_seconds[reference];
            std::printf("| %s | %s | %.2f | %.2f | %.3g |\n", name, reference, time * 1e6,
                        base * 1e6, base > 0 ? time / base : 0.0);
        }
    }

private:
    std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("screen/shown-texts", ScreenTexts);
    benchmark::RegisterBenchmark("screen/inline", ScreenInline);
    benchmark::RegisterBenchmark("long-line/copy",
                                 [](benchmark::State& state) { Copy(state, LongLinePair()); });
    benchmark::RegisterBenchmark("long-line/inline",
                                 [](benchmark::State& state) { Inline(state, LongLinePair()); });
    benchmark::RegisterBenchmark("long-line/inline-shown", [](benchmark::State& state) {
        Inline(state, LongLinePair(), kShownBytes);
    });
    benchmark::RegisterBenchmark("unrelated/copy",
                                 [](benchmark::State& state) { Copy(state, UnrelatedPair()); });
    benchmark::RegisterBenchmark("unrelated/inline",
                                 [](benchmark::State& state) { Inline(state, UnrelatedPair()); });
    benchmark::RegisterBenchmark("scattered/copy",
                                 [](benchmark::State& state) { Copy(state, WithinBoundPair()); });
    benchmark::RegisterBenchmark("scattered-30/inline",
                                 [](benchmark::State& state) { Inline(state, WithinBoundPair()); });
    benchmark::RegisterBenchmark("scattered-40/inline",
                                 [](benchmark::State& state) { Inline(state, PastBoundPair()); });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
