#pragma once

// Memory by whole pages, for the large arrays that files are read into, and how much of it there
// is to be had.

#include <cstddef>
#include <cstdint>

// The bytes this process can still take for the files it reads: the least of the physical memory
// the system has available (free, or holding caches it can drop), what is left of the process's
// address space, and what its limits on memory leave. Reading past it would only make the system
// swap, or kill the process, before the file was in.
std::uint64_t GetAvailableMemory();

// Zero-filled pages for large arrays that grow: growing keeps the bytes and, where the platform
// can, moves the mapping or grows it in place instead of copying; arrays of 16 MiB and more ask for
// huge pages, which save most of the page faults of a first touch.
class CPageBuffer {
public:
    CPageBuffer() = default;
    ~CPageBuffer();
    CPageBuffer(const CPageBuffer&) = delete;
    CPageBuffer& operator=(const CPageBuffer&) = delete;

    char* Get() const { return m_pData; }
    std::size_t GetSize() const { return m_size; }
    // Keeps the first bytes; new bytes are zero. Throws std::bad_alloc.
    void Resize(std::size_t size);

private:
    char* m_pData = nullptr;
    std::size_t m_size = 0;
    std::size_t m_reserved = 0;  // address space held for growing in place, where used
};

// Asks for huge pages under the whole pages of [p, p + bytes), for arrays not in a CPageBuffer.
// Only advice; ignored where unavailable.
void AdviseHugePages(void* p, std::size_t bytes);
