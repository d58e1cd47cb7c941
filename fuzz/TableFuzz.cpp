// Fuzz target: arbitrary bytes become a source and a target file, which go through the reader
// and both alignments, first with no option, then with the comparison options the last byte
// chooses; each table must keep its invariants, and the default pass's must match the plain
// reference.
//
// The first byte chooses where the rest is split: byte b gives the source the first
// b / 255 of it. The last byte, which also ends the target, chooses the options: bits 0 and 1
// the white space (0 exact, 1 changes, 2 and 3 all), bit 2 case, bit 3 blank lines, bit 4
// decoding.

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/LineComparer.h"
#include "tests/engine/Reference.h"

namespace {

// An anonymous in-memory file, reachable by path through /proc/self/fd.
class CMemoryFile {
public:
    explicit CMemoryFile(std::string_view bytes)
        : m_fd(memfd_create("tessiver-fuzz", MFD_CLOEXEC)) {
        if (m_fd < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        while (!bytes.empty()) {
            const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
            if (n <= 0) {
                std::perror("write");
                std::abort();
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    ~CMemoryFile() { ::close(m_fd); }
    CMemoryFile(const CMemoryFile&) = delete;
    CMemoryFile& operator=(const CMemoryFile&) = delete;

    std::string GetPath() const { return "/proc/self/fd/" + std::to_string(m_fd); }

private:
    int m_fd;
};

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "table fault: %s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = rest.size() * data[0] / 255;
    const std::string_view sourceBytes = rest.substr(0, split);
    const std::string_view targetBytes = rest.substr(split);

    const CMemoryFile source(sourceBytes);
    const CMemoryFile target(targetBytes);
    const auto choice = static_cast<unsigned>(data[size - 1]);
    const CCompareOptions chosen{static_cast<std::uint8_t>(std::min(choice & 3, 2u)),
                                 (choice & 4) != 0, (choice & 8) != 0, (choice & 16) != 0};
    std::vector<CCompareOptions> runs{CCompareOptions{}};
    if (chosen.IsAnyOn()) {
        runs.push_back(chosen);
    }
    for (const CCompareOptions& options : runs) {
        const std::string tag = "options \"" + FormatOptionFlags(options) + "\": ";
        CLineComparer comparer;
        comparer.SetFiles(source.GetPath(), target.GetPath());
        comparer.SetOptions(options);
        const std::unique_ptr<CCompareResult> result = comparer.Compare();

        const auto sourceLines = reference::ReadLines(sourceBytes, options.bDecodeUnicode);
        const auto targetLines = reference::ReadLines(targetBytes, options.bDecodeUnicode);
        if (sourceLines.empty() && targetLines.empty()) {
            if (result) {
                Fail(tag + "a table for two files without lines");
            }
            continue;
        }
        if (!result) {
            Fail(tag + "no table although a file has lines");
        }
        const std::string error =
            reference::CheckInvariants(*result, sourceLines, targetLines, options);
        if (!error.empty()) {
            Fail(tag + error);
        }
        if (reference::RowsOf(*result) != reference::Align(sourceLines, targetLines, options)) {
            Fail(tag + "rows differ from the reference alignment");
        }

        comparer.SetRealign(true);
        const std::unique_ptr<CCompareResult> realigned = comparer.Compare();
        if (!realigned) {
            Fail(tag + "no realigned table although a file has lines");
        }
        const std::string realignError =
            reference::CheckInvariants(*realigned, sourceLines, targetLines, options);
        if (!realignError.empty()) {
            Fail(tag + "realigned: " + realignError);
        }
    }
    return 0;
}
