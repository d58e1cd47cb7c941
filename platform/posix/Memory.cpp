// The POSIX half of page memory: anonymous mappings, which mremap moves as they grow.
#include "platform/Memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kHugePage = 2 * 1024 * 1024;

// The thread sanitizer does not follow a mapping that mremap moves, and would take the next use
// of the old addresses by another thread for a race: under it, growing copies.
#if defined(__SANITIZE_THREAD__)
constexpr bool kMoveMappings = false;
#elif defined(__has_feature)
constexpr bool kMoveMappings = !__has_feature(thread_sanitizer);
#else
constexpr bool kMoveMappings = true;
#endif

}  // namespace

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
    if (size >= kHugePage) {
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
