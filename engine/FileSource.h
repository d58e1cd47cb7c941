#pragma once

// The engine's one seam onto the platform: opening and reading files, the memory available and
// the large buffers files are read into, and standard output for the table printer. FileSource.cpp
// holds a POSIX and a Windows branch; nothing else in the engine includes a platform header.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One file opened for reading; closed when the object goes.
class CFileSource {
public:
    CFileSource() = default;
    ~CFileSource();
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    // Opens path (UTF-8 bytes on every platform). Returns false, with the system's reason in
    // *pReason (optional), when the file cannot be opened or names a directory. Opening never
    // waits for another process: a named pipe that no one writes to reads as empty. Throws
    // CFileException when the file opened but cannot be set up for reading.
    bool Open(const std::string& path, std::string* pReason = nullptr);

    // The size of a regular file; 0 for pipes and devices. Only a hint: Read goes on to the end.
    std::uint64_t GetSizeHint() const { return m_sizeHint; }

    // Reads up to n bytes into p; returns 0 at the end of the file. Throws CFileException,
    // naming the file and the system's reason, on a read error.
    std::size_t Read(char* p, std::size_t n);

    const std::string& GetPath() const { return m_path; }
    bool IsOpen() const { return m_handle != kClosed; }
    void Close();

private:
    static constexpr std::intptr_t kClosed = -1;  // an invalid descriptor and handle alike

    std::string m_path;
    std::intptr_t m_handle = kClosed;  // a descriptor, or a Windows handle
    std::uint64_t m_sizeHint = 0;
};

// The bytes this process can still take for the files it reads: the least of the physical memory
// the system has available (free, or holding caches it can drop), what is left of the process's
// address space, and what its limits on memory leave. Reading past it would only make the system
// swap, or kill the process, before the file was in.
std::uint64_t GetAvailableMemory();

// Zero-filled pages for large arrays that grow: growing keeps the bytes and, where the platform
// can, moves the mapping or grows it in place instead of copying; arrays of 2 MiB and more ask for
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

// Writes bytes to standard output unchanged (on Windows too: a row ends in LF, not CR LF).
// Returns false, with the system's reason in *pReason, when standard output refuses them.
bool WriteStandardOutput(std::string_view bytes, std::string* pReason);

// The program's arguments, its name first, as UTF-8 (on Windows taken from the wide command
// line, so that file names outside the ANSI code page arrive whole).
std::vector<std::string> GetProgramArguments(int argc, char** argv);
