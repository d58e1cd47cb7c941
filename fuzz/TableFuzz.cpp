// Fuzz target: arbitrary bytes become a source and a target file, which go through the reader
// and both alignments; each table must keep its invariants, and the default one must match the
// plain reference.
//
// The first byte chooses where the rest is split: byte b gives the source the first
// b / 255 of it.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

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
    CLineComparer comparer;
    comparer.SetFiles(source.GetPath(), target.GetPath());
    const std::unique_ptr<CCompareResult> result = comparer.Compare();

    const auto sourceLines = reference::ReadLines(sourceBytes);
    const auto targetLines = reference::ReadLines(targetBytes);
    if (sourceLines.empty() && targetLines.empty()) {
        if (result) {
            Fail("a table for two files without lines");
        }
        return 0;
    }
    if (!result) {
        Fail("no table although a file has lines");
    }
    const std::string error = reference::CheckInvariants(*result, sourceLines, targetLines);
    if (!error.empty()) {
        Fail(error);
    }
    if (reference::RowsOf(*result) != reference::Align(sourceLines, targetLines)) {
        Fail("rows differ from the reference alignment");
    }

    comparer.SetRealign(true);
    const std::unique_ptr<CCompareResult> realigned = comparer.Compare();
    if (!realigned) {
        Fail("no realigned table although a file has lines");
    }
    const std::string realignError =
        reference::CheckInvariants(*realigned, sourceLines, targetLines);
    if (!realignError.empty()) {
        Fail("realigned: " + realignError);
    }
    return 0;
}
