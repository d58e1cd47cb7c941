// tessiver-genpair: writes the engine benchmark's pairs into the data folder, so that a run of
// the benchmark (or of other tools on the same files) finds them ready.

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "bench/PairGenerator.h"

namespace {

constexpr const char* kUsage =
    "usage: tessiver-genpair [--data DIR] [--large] [--list] [PAIR...]\n"
    "Writes the named benchmark pairs (default: all but the 10-million-line ones) into DIR\n"
    "(default " TESSIVER_BENCH_DATA
    "), reusing files already there. Prints one line per\n"
    "pair: name, source path, target path, source bytes, target bytes, separated by tabs.\n"
    "  --large  include the 10-million-line pairs\n"
    "  --list   list the pairs and exit\n";

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir = TESSIVER_BENCH_DATA;
    bool bLarge = false;
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (arg == "--large") {
            bLarge = true;
        } else if (arg == "--list") {
            CPairGenerator::PrintPairList();
            return 0;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg.starts_with("-")) {
            std::fputs(kUsage, stderr);
            return 2;
        } else {
            names.emplace_back(arg);
        }
    }
    try {
        const CPairGenerator generator(dataDir);
        for (const CPairRecipe* pRecipe : CPairGenerator::SelectPairs(names, bLarge)) {
            const CPairFiles files = generator.Prepare(*pRecipe);
            std::printf("%s\t%s\t%s\t%ju\t%ju\n", pRecipe->name, files.source.c_str(),
                        files.target.c_str(), files.sourceBytes, files.targetBytes);
            std::fflush(stdout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessiver-genpair: %s\n", error.what());
        return 2;
    }
    return 0;
}
