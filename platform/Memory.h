#pragma once

// Memory by whole pages, for the large arrays that files are read into.

#include <cstddef>

// Zero-filled pages for large arrays that grow: growing keeps the bytes and, where the platform
// can, moves the mapping instead of copying; arrays of 2 MiB and more ask for huge pages, which
// save most of the page faults of a first touch.
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
};

// Asks for huge pages under the whole pages of [p, p + bytes), for arrays not in a CPageBuffer.
// Only advice; ignored where unavailable.
void AdviseHugePages(void* p, std::size_t bytes);
