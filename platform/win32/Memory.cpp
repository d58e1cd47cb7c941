// The Win32 half of page memory: virtual memory, which cannot move a mapping.
#include "platform/Memory.h"

#include <windows.h>

#include <cstring>
#include <new>

CPageBuffer::~CPageBuffer() {
    if (m_pData != nullptr) {
        ::VirtualFree(m_pData, 0, MEM_RELEASE);
    }
}

// Growing copies, shrinking gives back the pages at the end.
void CPageBuffer::Resize(std::size_t size) {
    if (size == m_size) {
        return;
    }
    if (size == 0 && m_pData != nullptr) {
        ::VirtualFree(m_pData, 0, MEM_RELEASE);
        m_pData = nullptr;
    } else if (size < m_size) {
        SYSTEM_INFO info{};
        ::GetSystemInfo(&info);
        const std::size_t page = info.dwPageSize;
        const std::size_t keep = (size + page - 1) / page * page;
        if (keep < m_size) {
            ::VirtualFree(m_pData + keep, m_size - keep, MEM_DECOMMIT);
        }
    } else {
        void* p = ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (p == nullptr) {
            throw std::bad_alloc();
        }
        if (m_pData != nullptr) {
            std::memcpy(p, m_pData, m_size);
            ::VirtualFree(m_pData, 0, MEM_RELEASE);
        }
        m_pData = static_cast<char*>(p);
    }
    m_size = size;
}

void AdviseHugePages(void* /*p*/, std::size_t /*bytes*/) {}
