// The POSIX half of page memory: anonymous mappings, which mremap moves as they grow; what is
// available from /proc and the process's limits.
#include "platform/Memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr std::size_t kHugePage = 2 * 1024 * 1024;
// A buffer being filled holds a partly filled huge page at its end, up to 2 MiB that nothing
// uses yet: only from this size on is that small next to what the huge pages save.
constexpr std::size_t kHugeBuffer = 8 * kHugePage;

// The thread sanitizer does not follow a mapping that mremap moves, and would take the next use
// of the old addresses by another thread for a race: under it, growing copies.
#if defined(__SANITIZE_THREAD__)
constexpr bool kMoveMappings = false;
#elif defined(__has_feature)
constexpr bool kMoveMappings = !__has_feature(thread_sanitizer);
#else
constexpr bool kMoveMappings = true;
#endif

// The start of a small file from /proc, or nothing where there is none.
std::string ReadSystemFile(const char* path) {
    std::string text;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        text.assign(buffer, static_cast<std::size_t>(got > 0 ? got : 0));
        ::close(fd);
    }
    return text;
}

// Lowers available to what the limit leaves beside what is in use; an unlimited one leaves all.
void ApplyLimit(int resource, std::uint64_t inUse, std::uint64_t& available) {
    rlimit limit{};
    if (::getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        const auto most = static_cast<std::uint64_t>(limit.rlim_cur);
        available = std::min(available, most > inUse ? most - inUse : 0);
    }
}

}  // namespace

std::uint64_t GetAvailableMemory() {
    const auto pageSize = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    // Linux tells what can be had without swapping; elsewhere all of the memory is the bound.
    std::uint64_t available = 0;
    const std::string meminfo = ReadSystemFile("/proc/meminfo");
    const std::size_t field = meminfo.find("MemAvailable:");
    if (field != std::string::npos) {
        available = std::strtoull(meminfo.c_str() + field + 13, nullptr, 10) * 1024;
    }
    if (available == 0) {
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        available = pages > 0 ? static_cast<std::uint64_t>(pages) * pageSize : UINT64_MAX;
    }
    // The address space and the data segment (which holds anonymous mappings too) in use, in
    // pages; where they cannot be read, the limits are taken whole.
    unsigned long long size = 0, resident = 0, shared = 0, text = 0, library = 0, data = 0;
    const std::string statm = ReadSystemFile("/proc/self/statm");
    std::sscanf(statm.c_str(), "%llu %llu %llu %llu %llu %llu", &size, &resident, &shared, &text,
                &library, &data);
    ApplyLimit(RLIMIT_AS, size * pageSize, available);
    ApplyLimit(RLIMIT_DATA, data * pageSize, available);
    return available;
}

CPageBuffer::~CPageBuffer() {
    if (m_pData != nullptr) {
        ::munmap(m_pData, m_size);
    }
}

void CPageBuffer::Resize(std::size_t size) {
    if (size == m_size) {
        return;
    }
    if (size == 0) {
        ::munmap(m_pData, m_size);
        m_pData = nullptr;
        m_size = 0;
        return;
    }
    void* p = MAP_FAILED;
    if (m_pData == nullptr || !kMoveMappings) {
        p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED && m_pData != nullptr) {
            std::memcpy(p, m_pData, size < m_size ? size : m_size);
            ::munmap(m_pData, m_size);
        }
    } else {
        p = ::mremap(m_pData, m_size, size, MREMAP_MAYMOVE);
    }
    if (p == MAP_FAILED) {
        throw std::bad_alloc();
    }
    if (size >= kHugeBuffer) {
        // The whole mapping, so that it stays one piece that mremap can move.
        ::madvise(p, size, MADV_HUGEPAGE);
    }
    m_pData = static_cast<char*>(p);
    m_size = size;
}

void AdviseHugePages(void* p, std::size_t bytes) {
    const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(p) + pageSize - 1) & ~(pageSize - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(pageSize - 1);
    if (bytes >= kHugePage && last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}
