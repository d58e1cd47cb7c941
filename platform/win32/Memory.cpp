// The Win32 half of page memory: virtual memory, which cannot move a mapping; what is available
// from the system's memory status.
#include "platform/Memory.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

std::uint64_t GetAvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) {
        return UINT64_MAX;
    }
    // A 32-bit process runs out of address space long before a large machine runs out of memory.
    return std::min<std::uint64_t>(status.ullAvailPhys, status.ullAvailVirtual);
}

CPageBuffer::~CPageBuffer() {
    if (m_pData != nullptr) {
        ::VirtualFree(m_pData, 0, MEM_RELEASE);
    }
}

// A 64-bit process has address space to spare: each buffer reserves room to grow into and commits
// pages in place, where copying would hold the old and the new pages at once (a file without a
// size grows its buffer many times, up to the memory available). A 32-bit process reserves only
// what it uses, and copies. Shrinking gives back the pages at the end.
void CPageBuffer::Resize(std::size_t size) {
    constexpr std::size_t kRoom =
        SIZE_MAX > 0xFFFFFFFFu ? static_cast<std::size_t>(std::uint64_t{1} << 36) : 0;
    if (size == m_size) {
        return;
    }
    if (size == 0 && m_pData != nullptr) {
        ::VirtualFree(m_pData, 0, MEM_RELEASE);
        m_pData = nullptr;
        m_reserved = 0;
    } else if (size < m_size) {
        SYSTEM_INFO info{};
        ::GetSystemInfo(&info);
        const std::size_t page = info.dwPageSize;
        const std::size_t keep = (size + page - 1) / page * page;
        if (keep < m_size) {
            ::VirtualFree(m_pData + keep, m_size - keep, MEM_DECOMMIT);
        }
    } else if (m_pData != nullptr && size <= m_reserved) {
        if (::VirtualAlloc(m_pData, size, MEM_COMMIT, PAGE_READWRITE) == nullptr) {
            throw std::bad_alloc();
        }
    } else {
        std::size_t reserved = std::max(size, kRoom);
        void* p = ::VirtualAlloc(nullptr, reserved, MEM_RESERVE, PAGE_READWRITE);
        if (p == nullptr && reserved > size) {
            reserved = size;
            p = ::VirtualAlloc(nullptr, reserved, MEM_RESERVE, PAGE_READWRITE);
        }
        if (p == nullptr || ::VirtualAlloc(p, size, MEM_COMMIT, PAGE_READWRITE) == nullptr) {
            if (p != nullptr) {
                ::VirtualFree(p, 0, MEM_RELEASE);
            }
            throw std::bad_alloc();
        }
        if (m_pData != nullptr) {
            std::memcpy(p, m_pData, m_size);
            ::VirtualFree(m_pData, 0, MEM_RELEASE);
        }
        m_pData = static_cast<char*>(p);
        m_reserved = reserved;
    }
    m_size = size;
}

void AdviseHugePages(void* /*p*/, std::size_t /*bytes*/) {}
