// tessiver-bench: times the comparison engine on the generated pairs and measures its peak
// memory. Every comparison runs in a fresh child process (this program again, with a hidden
// argument), so that each one starts from an empty heap, as the program does when the user
// compares, and the child's peak resident size belongs to that comparison alone.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/PairGenerator.h"
#include "engine/CompareResult.h"
#include "engine/FileException.h"
#include "engine/LineComparer.h"

namespace {

constexpr std::string_view kChildArgument = "--run-one-comparison";

constexpr const char* kUsage =
    "usage: tessiver-bench [--data DIR] [--large] [--reps N] [--mode MODE] [--tsv] [--list]\n"
    "                      [PAIR...]\n"
    "Times the engine (SetFiles + Compare) on the named benchmark pairs (default: all but the\n"
    "10-million-line ones), each repetition in a fresh child process, and reports the best\n"
    "and median whole-comparison time, the stages of the best run, rows, differences and the\n"
    "child's peak resident memory, also as a multiple of the two files' combined size; one\n"
    "line per pair and alignment mode.\n"
    "  --data DIR  folder of the generated pairs (default " TESSIVER_BENCH_DATA
    ")\n"
    "  --large     include the 10-million-line pairs\n"
    "  --reps N    repetitions per pair and mode (default 3)\n"
    "  --mode M    default, realign (CLineComparer::SetRealign) or both (the default),\n"
    "              which take turns run by run\n"
    "  --tsv       tab-separated output with a header line, for scripts\n"
    "  --list      list the pairs and exit\n";

constexpr double kMegabyte = 1e6;

// One comparison as the child reports it, plus what the parent sees of the child.
struct CRun {
    double compareSeconds = 0;
    double readSeconds = 0;
    double alignSeconds = 0;
    double buildSeconds = 0;
    long long rows = 0;
    long long differences = 0;
    double processSeconds = 0;  // the child's whole life: start-up, comparison, clean-up
    long long peakBytes = 0;
    long long majorFaults = 0;  // pages read from disk: swapping, or input not in the cache
};

constexpr const char* kModeNames[] = {"default", "realign"};

// The child's side: one comparison, its figures on standard output.
int RunOneComparison(std::string_view mode, const char* source, const char* target) {
    try {
        CLineComparer comparer;
        const auto start = std::chrono::steady_clock::now();
        comparer.SetFiles(source, target);
        comparer.SetRealign(mode == kModeNames[1]);
        const std::unique_ptr<CCompareResult> pResult = comparer.Compare();
        const auto end = std::chrono::steady_clock::now();
        const CCompareStats& stats = comparer.GetLastStats();
        std::printf("%.9f %.9f %.9f %.9f %lld %lld\n",
                    std::chrono::duration<double>(end - start).count(), stats.readSeconds,
                    stats.alignSeconds, stats.buildSeconds,
                    pResult ? static_cast<long long>(pResult->GetRowCount()) : 0LL,
                    pResult ? static_cast<long long>(pResult->m_nDifferences) : 0LL);
        return std::fflush(stdout) == 0 ? 0 : 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessiver-bench: %s\n", error.what());
        return 2;
    }
}

// Closes a descriptor when it leaves scope.
class CDescriptor {
public:
    explicit CDescriptor(int fd = -1) : m_fd(fd) {}
    ~CDescriptor() { Close(); }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;

    int Get() const { return m_fd; }
    void Close() {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

private:
    int m_fd;
};

[[noreturn]] void FailWithErrno(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::string GetOwnPath() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        FailWithErrno("cannot find this program's path");
    }
    path.resize(static_cast<std::size_t>(length));
    return path;
}

// The parent's side: starts the child, collects its report and its resource usage.
CRun RunInChild(const std::string& self, const char* mode, const CPairFiles& files) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        FailWithErrno("pipe");
    }
    CDescriptor readEnd(ends[0]);
    CDescriptor writeEnd(ends[1]);

    // Everything the child needs is built before fork: after it, only exec-safe calls.
    const std::string childArgument(kChildArgument);
    const std::string source = files.source.string();
    const std::string target = files.target.string();
    std::vector<char*> argv{
        const_cast<char*>(self.c_str()),   const_cast<char*>(childArgument.c_str()),
        const_cast<char*>(mode),           const_cast<char*>(source.c_str()),
        const_cast<char*>(target.c_str()), nullptr};

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) {
        FailWithErrno("fork");
    }
    if (pid == 0) {
        ::dup2(writeEnd.Get(), STDOUT_FILENO);
        ::execv(self.c_str(), argv.data());
        ::_exit(127);
    }
    writeEnd.Close();

    std::string report;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(readEnd.Get(), buffer, sizeof buffer);
        if (got > 0) {
            report.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            FailWithErrno("wait4");
        }
    }
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the comparison of " + source + " and " + target +
                                 (WIFSIGNALED(status)
                                      ? " died of signal " + std::to_string(WTERMSIG(status))
                                      : " failed"));
    }

    CRun run;
    std::istringstream fields(report);
    if (!(fields >> run.compareSeconds >> run.readSeconds >> run.alignSeconds >> run.buildSeconds >>
          run.rows >> run.differences)) {
        throw std::runtime_error("unreadable report from the child: " + report);
    }
    run.processSeconds = std::chrono::duration<double>(end - start).count();
    run.peakBytes = static_cast<long long>(usage.ru_maxrss) * 1024;  // kilobytes on Linux
    run.majorFaults = usage.ru_majflt;
    return run;
}

// The figures of one pair over all repetitions: the stages of the fastest run, the median
// whole-comparison time and the largest peak seen.
struct CPairFigures {
    CRun best;
    double medianSeconds = 0;
    double bestProcessSeconds = 0;
    long long peakBytes = 0;
    long long majorFaults = 0;
};

CPairFigures Summarise(std::vector<CRun> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const CRun& a, const CRun& b) { return a.compareSeconds < b.compareSeconds; });
    CPairFigures figures;
    figures.best = runs.front();
    const std::size_t middle = runs.size() / 2;
    figures.medianSeconds =
        runs.size() % 2 != 0 ? runs[middle].compareSeconds
                             : (runs[middle - 1].compareSeconds + runs[middle].compareSeconds) / 2;
    figures.bestProcessSeconds = runs.front().processSeconds;
    for (const CRun& run : runs) {
        figures.bestProcessSeconds = std::min(figures.bestProcessSeconds, run.processSeconds);
        figures.peakBytes = std::max(figures.peakBytes, run.peakBytes);
        figures.majorFaults = std::max(figures.majorFaults, run.majorFaults);
    }
    return figures;
}

void PrintHeader(bool bTsv) {
    if (bTsv) {
        std::printf(
            "pair\tmode\tinput_bytes\tcompare_s\tmedian_s\tread_s\talign_s\tbuild_s\t"
            "process_s\trows\t"
            "differences\tpeak_bytes\tpeak_per_input\tmajor_faults\n");
    } else {
        std::printf(
            "| pair | mode | input MB | compare s (best) | median s | read s | align s | build s | "
            "process s | rows | differences | peak RSS MB | RSS / input | major faults |\n"
            "|---|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n");
    }
}

void PrintPair(bool bTsv, const CPairRecipe& recipe, const char* mode, const CPairFiles& files,
               const CPairFigures& figures) {
    const double inputBytes = static_cast<double>(files.sourceBytes + files.targetBytes);
    const CRun& best = figures.best;
    const double ratio = static_cast<double>(figures.peakBytes) / inputBytes;
    if (bTsv) {
        std::printf(
            "%s\t%s\t%.0f\t%.6f\t%.6f\t%.6f\t%.6f\t%.6f\t%.6f\t%lld\t%lld\t%lld\t%.3f\t%lld\n",
            recipe.name, mode, inputBytes, best.compareSeconds, figures.medianSeconds,
            best.readSeconds, best.alignSeconds, best.buildSeconds, figures.bestProcessSeconds,
            best.rows, best.differences, figures.peakBytes, ratio, figures.majorFaults);
    } else {
        std::printf(
            "| %s | %s | %.1f | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | %lld | %lld | "
            "%.1f | %.2f | "
            "%lld |\n",
            recipe.name, mode, inputBytes / kMegabyte, best.compareSeconds, figures.medianSeconds,
            best.readSeconds, best.alignSeconds, best.buildSeconds, figures.bestProcessSeconds,
            best.rows, best.differences, static_cast<double>(figures.peakBytes) / kMegabyte, ratio,
            figures.majorFaults);
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && argv[1] == kChildArgument) {
        return RunOneComparison(argv[2], argv[3], argv[4]);
    }

    std::string dataDir = TESSIVER_BENCH_DATA;
    bool bLarge = false;
    bool bTsv = false;
    int nReps = 3;
    std::vector<const char*> modes(std::begin(kModeNames), std::end(kModeNames));
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (arg == "--reps" && i + 1 < argc) {
            nReps = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--mode" && i + 1 < argc) {
            const std::string_view mode = argv[++i];
            if (mode == kModeNames[0] || mode == kModeNames[1]) {
                modes.assign(1, mode == kModeNames[0] ? kModeNames[0] : kModeNames[1]);
            } else if (mode != "both") {
                std::fputs(kUsage, stderr);
                return 2;
            }
        } else if (arg == "--large") {
            bLarge = true;
        } else if (arg == "--tsv") {
            bTsv = true;
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
        const std::string self = GetOwnPath();
        const CPairGenerator generator(dataDir);
        const std::vector<const CPairRecipe*> pairs = CPairGenerator::SelectPairs(names, bLarge);
        PrintHeader(bTsv);
        for (const CPairRecipe* pRecipe : pairs) {
            const CPairFiles files = generator.Prepare(*pRecipe);
            if (files.generated) {
                std::fprintf(stderr, "generated %s\n", pRecipe->name);
            }
            // The modes take turns, so that a busy moment on the machine does not fall on one.
            std::vector<std::vector<CRun>> runs(modes.size());
            for (int rep = 0; rep < nReps; ++rep) {
                for (std::size_t mode = 0; mode < modes.size(); ++mode) {
                    runs[mode].push_back(RunInChild(self, modes[mode], files));
                }
            }
            for (std::size_t mode = 0; mode < modes.size(); ++mode) {
                PrintPair(bTsv, *pRecipe, modes[mode], files, Summarise(std::move(runs[mode])));
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessiver-bench: %s\n", error.what());
        return 2;
    }
    return 0;
}
