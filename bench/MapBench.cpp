// tessiver-map-bench: building the location map (CLocationMap::Build) of a 10-million-row table
// for a strip 1,000 pixels tall, against one plain pass over the same table's row kinds that
// counts the unequal ones, measured in the same run, so that the ratio carries from machine to
// machine. Three tables: one changed row alone in the middle (it must show as one pixel),
// differences as a comparison of edited code leaves them (a run of one to eight unequal rows every
// 2,000 rows or so), and every row unequal.
//
// usage: tessiver-map-bench [--rows N] [--height N] [--rounds N]
// Prints the best time of each over the rounds and the ratio of the map's to the pass's.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "bench/Random.h"
#include "document/LocationMap.h"
#include "engine/CompareResult.h"
#include "engine/RowKind.h"

namespace {

using Clock = std::chrono::steady_clock;

enum class Spread { lone, edited, all };

std::unique_ptr<CCompareResult> Table(std::int32_t rows, Spread spread) {
    const bool bAllUnequal = spread == Spread::all;
    auto table = std::make_unique<CCompareResult>();
    CRandom random(7);
    std::int32_t run = 0;
    for (std::int32_t r = 0; r < rows; ++r) {
        if (!bAllUnequal && run == 0 && random.Below(2000) == 0) {
            run = 1 + static_cast<std::int32_t>(random.Below(8));
        }
        std::int32_t kind = spread == Spread::lone && r == rows / 2 ? kindChanged : kindEqual;
        if (spread != Spread::lone && (bAllUnequal || run > 0)) {
            kind = static_cast<std::int32_t>(random.Below(3));  // changed, equal or source-only
            kind = kind == kindEqual ? kindTargetOnly : kind;
            run = std::max(run - 1, 0);
        }
        table->AddRow(r + 1, "x", r + 1, kind == kindEqual ? "x" : "y", kind);
    }
    return table;
}

// The reference: one pass over the row kinds, as the map's own pass reads them.
std::int64_t CountUnequal(const CCompareResult& table) {
    std::int64_t unequal = 0;
    const auto rows = static_cast<std::size_t>(table.GetRowCount());
    for (std::size_t r = 0; r < rows; ++r) {
        unequal += table.m_kind[r] != kindEqual ? 1 : 0;
    }
    return unequal;
}

template <typename F>
double BestMs(int rounds, F&& run) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        run();
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::int32_t rows = 10'000'000;
    int height = 1000;
    int rounds = 9;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--rows") == 0) {
            rows = value;
        } else if (std::strcmp(argv[i], "--height") == 0) {
            height = value;
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = value;
        }
    }
    std::printf("%-24s %10s %10s %8s %10s\n", "table", "map ms", "pass ms", "ratio", "shown px");
    const struct {
        const char* name;
        Spread spread;
    } cases[] = {{"one difference", Spread::lone},
                 {"edited code", Spread::edited},
                 {"every row unequal", Spread::all}};
    for (const auto& c : cases) {
        const std::unique_ptr<CCompareResult> table = Table(rows, c.spread);
        CLocationMap map;
        volatile std::int64_t sink = 0;
        const double pass = BestMs(rounds, [&] { sink = sink + CountUnequal(*table); });
        const double build = BestMs(rounds, [&] { map.Build(*table, height); });
        int shown = 0;
        for (int y = 0; y < height; ++y) {
            shown += map.GetPixel(y) != kindEqual ? 1 : 0;
        }
        std::printf("%-24s %10.2f %10.2f %8.2f %10d\n", c.name, build, pass, build / pass, shown);
    }
    return 0;
}
