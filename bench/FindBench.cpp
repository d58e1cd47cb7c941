// tessiver-find-bench: Edit > Find over a 10-million-row table (FindInTable), against references
// measured in the same run, so that the figures carry from machine to machine:
//
// - the comparison of the pair itself (SetFiles + Compare), what the user waited for before;
// - one memchr pass counting the line ends of both files, already in memory.
//
// The pair is realistic-10m with one line added at the end of the target, found nowhere else:
// its comparison's last row holds it. Timed, each the best of --reps runs from the top row:
// a text found nowhere, with and without case, on both sides (every line of the table read
// once), and the added line, with and without case (every row read, the last one matching).
//
// usage: tessiver-find-bench [--data DIR] [--reps N]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "bench/PairGenerator.h"
#include "engine/CompareResult.h"
#include "engine/LineComparer.h"
#include "engine/TextSearch.h"

namespace {

constexpr const char* kLastLine = "\tbench: the one line that Edit > Find meets on the last row";

double Seconds(const std::function<void()>& work, int reps) {
    double best = 1e9;
    for (int i = 0; i < reps; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path dataDir = TESSIVER_BENCH_DATA;
    int reps = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (arg == "--reps" && i + 1 < argc) {
            reps = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fputs("usage: tessiver-find-bench [--data DIR] [--reps N]\n", stderr);
            return 2;
        }
    }
    try {
        const CPairFiles pair =
            CPairGenerator(dataDir).Prepare(*CPairGenerator::FindPair("realistic-10m"));
        const std::filesystem::path target = dataDir / "realistic-10m.find-target.txt";
        std::string texts[2] = {ReadFile(pair.source), ReadFile(pair.target)};
        texts[1] += std::string(kLastLine) + "\n";
        if (!std::filesystem::exists(target) ||
            std::filesystem::file_size(target) != texts[1].size()) {
            std::ofstream(target, std::ios::binary)
                .write(texts[1].data(), static_cast<std::streamsize>(texts[1].size()));
        }

        std::unique_ptr<CCompareResult> result;
        const double compare = Seconds(
            [&] {
                result.reset();
                CLineComparer comparer;
                comparer.SetFiles(pair.source.string(), target.string());
                result = comparer.Compare();
            },
            reps);
        std::size_t lineEnds = 0;
        const double memchrPass = Seconds(
            [&] {
                lineEnds = 0;
                for (const std::string& text : texts) {
                    const char* p = text.data();
                    const char* const end = p + text.size();
                    while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p))) !=
                           nullptr) {
                        ++lineEnds;
                        ++p;
                    }
                }
            },
            reps);

        const std::int32_t rows = result->GetRowCount();
        std::printf(
            "realistic-10m, one line added to the target: %d rows, %zu line ends\n"
            "references: compare %.3f s, memchr pass %.3f s (best of %d)\n\n",
            rows, lineEnds, compare, memchrPass, reps);
        std::printf(
            "| search | rows read | found on row | seconds | / compare | / memchr |\n"
            "|---|--:|--:|--:|--:|--:|\n");
        const struct {
            const char* name;
            CTextQuery query;
        } cases[] = {
            {"no match, match case", {"no such text anywhere", true, SearchSide::both}},
            {"no match, any case", {"no such text anywhere", false, SearchSide::both}},
            {"last row, match case", {kLastLine + 1, true, SearchSide::both}},
            {"last row, any case", {"THE ONE LINE THAT EDIT > FIND", false, SearchSide::both}},
        };
        for (const auto& c : cases) {
            std::optional<CTextMatch> found;
            const double seconds =
                Seconds([&] { found = FindInTable(*result, c.query, 0, true); }, reps);
            std::printf("| %s | %d | %s | %.3f | %.3f | %.3f |\n", c.name, rows,
                        found ? std::to_string(found->row).c_str() : "none", seconds,
                        seconds / compare, seconds / memchrPass);
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessiver-find-bench: %s\n", error.what());
        return 2;
    }
}
