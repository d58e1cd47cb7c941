// What only a POSIX system lets the reader meet: pipes, files that open but cannot be read, the
// open descriptors, and an address space too small for a file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "engine/FileException.h"
#include "engine/LineBuffer.h"
#include "engine/LineComparer.h"
#include "platform/Memory.h"
#include "tests/common/ScratchDir.h"
#include "tests/engine/Reference.h"

namespace {

// A pipe reports no size; the reader must still take everything up to its end.
TEST(Reader, ReadsFilesWithoutASize) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::string bytes;
    for (int i = 0; bytes.size() < 40000; ++i) {
        bytes += "\tline " + std::to_string(i) + "\r\n";
    }
    ASSERT_EQ(write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(ends[1]);
    CLineBuffer buffer;
    EXPECT_TRUE(buffer.Load("/proc/self/fd/" + std::to_string(ends[0])));
    close(ends[0]);
    std::vector<std::string> lines;
    for (std::int32_t i = 0; i < buffer.GetLineCount(); ++i) {
        lines.emplace_back(buffer.GetLine(i));
    }
    EXPECT_EQ(lines, reference::ReadLines(bytes));
}

std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                      std::filesystem::directory_iterator()));
}

std::unique_ptr<CCompareResult> Compare(const std::string& source, const std::string& target) {
    CLineComparer comparer;
    comparer.SetFiles(source, target);
    return comparer.Compare();
}

// Opening /proc/self/mem succeeds but reading it at offset 0 fails with EIO: a read error
// inside a file that did open.
constexpr const char* kUnreadable = "/proc/self/mem";

TEST(Compare, ReadErrorNamesTheFileAndClosesEverything) {
    const CScratchDir files;
    std::string lines;
    while (lines.size() < (8u << 20)) {
        lines += "a\nb\n";
    }
    const std::string good = files.Write("good", lines);
    const std::string alsoUnreadable = "/proc/" + std::to_string(getpid()) + "/mem";
    struct Case {
        const char* name;
        std::string source;
        std::string target;
    };
    for (const Case& c : {Case{"source", kUnreadable, good}, Case{"target", good, kUnreadable},
                          Case{"both", kUnreadable, alsoUnreadable}}) {
        SCOPED_TRACE(c.name);
        const std::size_t before = OpenDescriptors();
        CLineComparer comparer;
        comparer.SetFiles(c.source, c.target);
        try {
            (void)comparer.Compare();
            FAIL() << "no exception";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.GetPath(), kUnreadable);
            EXPECT_EQ(e.GetReason(), std::strerror(EIO));
        }
        EXPECT_EQ(OpenDescriptors(), before);
        // The comparer is whole again for the next comparison.
        comparer.SetFiles(good, good);
        const auto result = comparer.Compare();
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->GetRowCount(), 2 * std::count(lines.begin(), lines.end(), 'b'));
    }
}

// Input of no known size stops once it outgrows the memory, both files together: the pipes'
// writers go on as long as they are read.
TEST(Compare, InputWithoutASizeStopsOnceItOutgrowsTheMemory) {
    struct Case {
        const char* name;
        int sourceBytes, targetBytes;
        bool fits;
    };
    for (const Case& c :
         {Case{"endless", 64 << 20, 2, false}, Case{"two halves", 600'000, 600'000, false},
          Case{"two quarters", 250'000, 250'000, true}}) {
        SCOPED_TRACE(c.name);
        const auto zeros = [](int bytes) {
            return popen(("head -c " + std::to_string(bytes) + " /dev/zero").c_str(), "r");
        };
        FILE* source = zeros(c.sourceBytes);
        FILE* target = zeros(c.targetBytes);
        CLineComparer comparer;
        comparer.SetMemoryLimit(1'000'000);
        comparer.SetFiles("/proc/self/fd/" + std::to_string(fileno(source)),
                          "/proc/self/fd/" + std::to_string(fileno(target)));
        if (c.fits) {
            EXPECT_NE(comparer.Compare(), nullptr);
        } else {
            EXPECT_THROW((void)comparer.Compare(), std::bad_alloc);
        }
        pclose(source);
        pclose(target);
    }
}

// The memory available follows the process's limits on its address space and data, and never
// exceeds the physical memory.
[[noreturn]] void CheckAvailableMemory() {
    const auto physical = static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES)) *
                          static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    bool right = GetAvailableMemory() > 0 && GetAvailableMemory() <= physical;
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, data = 0, skip = 0;
    statm >> size >> skip >> skip >> skip >> skip >> data;
    for (const auto& [resource, inUse] :
         {std::pair{RLIMIT_DATA, data}, std::pair{RLIMIT_AS, size}}) {
        const rlimit limit{inUse * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) + (64u << 20),
                           RLIM_INFINITY};
        setrlimit(resource, &limit);
        const std::uint64_t available = GetAvailableMemory();
        right = right && available > (32u << 20) && available <= (64u << 20);
    }
    std::_Exit(right ? 0 : 1);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

std::size_t AddressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Exits 0 when the comparison under an address space limit that leaves room for the second
// reading thread but not for a 32 MB file throws std::bad_alloc and leaves no file open.
[[noreturn]] void CompareWithoutMemory(const std::string& source, const std::string& target) {
    const std::size_t before = OpenDescriptors();
    const rlimit limit{AddressSpaceInUse() + (24u << 20), RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
    try {
        (void)Compare(source, target);
    } catch (const std::bad_alloc&) {
        std::_Exit(OpenDescriptors() == before ? 0 : 2);
    }
    std::_Exit(1);
}

// In a child process whose address space cannot hold the file: the failure must reach the
// caller as std::bad_alloc, with every file closed, whichever thread ran out.
TEST(CompareDeathTest, RunningOutOfMemoryPassesOut) {
    if (kAddressSanitizer) {
        GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
    }
    const CScratchDir files;
    std::string lines;
    while (lines.size() < (32u << 20)) {
        lines += "\tsome line of text that repeats\n";
    }
    const std::string big = files.Write("big", lines);
    const std::string small = files.Write("small", "a\n");
    // The target is read on the second thread, the source on the first.
    EXPECT_EXIT(CompareWithoutMemory(big, small), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(CompareWithoutMemory(small, big), testing::ExitedWithCode(0), "");
}

TEST(CompareDeathTest, AvailableMemoryFollowsTheLimits) {
    if (kAddressSanitizer) {
        GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
    }
    EXPECT_EXIT(CheckAvailableMemory(), testing::ExitedWithCode(0), "");
}

}  // namespace
