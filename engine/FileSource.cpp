#include "engine/FileSource.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/FileException.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kHugePage = 2 * 1024 * 1024;

}  // namespace

#if defined(_WIN32)

namespace {

HANDLE HandleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                              length);
    }
    return wide;
}

// The system's text for an error, in UTF-8, without the trailing line break.
std::string SystemMessage(DWORD error) {
    wchar_t* pText = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&pText), 0, nullptr);
    std::string message;
    if (length > 0 && pText != nullptr) {
        const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, pText, static_cast<int>(length),
                                                nullptr, 0, nullptr, nullptr);
        message.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
        if (bytes > 0) {
            ::WideCharToMultiByte(CP_UTF8, 0, pText, static_cast<int>(length), message.data(),
                                  bytes, nullptr, nullptr);
        }
    }
    if (pText != nullptr) {
        ::LocalFree(pText);
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(error) : message;
}

}  // namespace

CFileSource::~CFileSource() {
    Close();
}

bool CFileSource::Open(const std::string& path, std::string* pReason) {
    Close();
    m_path = path;
    m_sizeHint = 0;
    const std::wstring widePath = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if (pReason != nullptr) {
            *pReason = std::strerror(EISDIR);
        }
        return false;
    }
    // Others may go on writing, renaming or deleting the file while it is read. Opening a pipe
    // never waits: one without a server fails at once.
    const HANDLE handle = ::CreateFileW(widePath.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (pReason != nullptr) {
            *pReason = SystemMessage(::GetLastError());
        }
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    LARGE_INTEGER size{};
    if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileSizeEx(handle, &size) &&
        size.QuadPart > 0) {
        m_sizeHint = static_cast<std::uint64_t>(size.QuadPart);
    }
    return true;
}

std::size_t CFileSource::Read(char* p, std::size_t n) {
    constexpr std::size_t kMostPerCall = 1u << 30;
    DWORD got = 0;
    if (!::ReadFile(HandleOf(m_handle), p, static_cast<DWORD>(n < kMostPerCall ? n : kMostPerCall),
                    &got, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
            return 0;  // the writer has gone: the end of the pipe
        }
        throw CFileException(m_path, SystemMessage(error));
    }
    return got;
}

void CFileSource::Close() {
    if (m_handle != kClosed) {
        ::CloseHandle(HandleOf(m_handle));
        m_handle = kClosed;
    }
}

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

// Windows cannot move a mapping. A 64-bit process has address space to spare: each buffer
// reserves room to grow into and commits pages in place, where copying would hold the old and the
// new pages at once (a file without a size grows its buffer many times, up to the memory
// available). A 32-bit process reserves only what it uses, and copies. Shrinking gives back the
// pages at the end.
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

bool WriteStandardOutput(std::string_view bytes, std::string* pReason) {
    // WriteFile passes the bytes as they are, where the C library's text mode would add CRs.
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    while (!bytes.empty()) {
        constexpr std::size_t kMostPerCall = 1u << 30;
        DWORD done = 0;
        const auto n =
            static_cast<DWORD>(bytes.size() < kMostPerCall ? bytes.size() : kMostPerCall);
        if (!::WriteFile(output, bytes.data(), n, &done, nullptr)) {
            if (pReason != nullptr) {
                *pReason = SystemMessage(::GetLastError());
            }
            return false;
        }
        bytes.remove_prefix(done);
    }
    return true;
}

std::vector<std::string> GetProgramArguments(int /*argc*/, char** /*argv*/) {
    std::vector<std::string> args;
    int count = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) {
            const int length =
                ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
            std::string arg(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), length, nullptr, nullptr);
            args.push_back(std::move(arg));
        }
        ::LocalFree(wide);
    }
    return args;
}

#else  // POSIX

namespace {

// The thread sanitizer does not follow a mapping that mremap moves, and would take the next use
// of the old addresses by another thread for a race: under it, growing copies.
#if defined(__SANITIZE_THREAD__)
constexpr bool kMoveMappings = false;
#elif defined(__has_feature)
constexpr bool kMoveMappings = !__has_feature(thread_sanitizer);
#else
constexpr bool kMoveMappings = true;
#endif

[[noreturn]] void ThrowSystemError(const std::string& path, int error) {
    throw CFileException(path, std::strerror(error));
}

}  // namespace

CFileSource::~CFileSource() {
    Close();
}

bool CFileSource::Open(const std::string& path, std::string* pReason) {
    Close();
    m_path = path;
    m_sizeHint = 0;
    const auto openFailed = [pReason](int error) {
        if (pReason != nullptr) {
            *pReason = std::strerror(error);
        }
        return false;
    };
    // Without O_NONBLOCK, opening a named pipe waits until some process opens it for writing.
    // Once open, reads block as usual, and a pipe with no writer reads as its end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return openFailed(errno);
    }
    m_handle = fd;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        Close();
        ThrowSystemError(path, error);
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        Close();
        ThrowSystemError(path, error);
    }
    if (S_ISDIR(status.st_mode)) {
        Close();
        return openFailed(EISDIR);
    }
    if (S_ISREG(status.st_mode) && status.st_size > 0) {
        m_sizeHint = static_cast<std::uint64_t>(status.st_size);
    }
    return true;
}

std::size_t CFileSource::Read(char* p, std::size_t n) {
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(m_handle), p, n);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            ThrowSystemError(m_path, errno);
        }
    }
}

void CFileSource::Close() {
    if (m_handle != kClosed) {
        ::close(static_cast<int>(m_handle));
        m_handle = kClosed;
    }
}

namespace {

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

bool WriteStandardOutput(std::string_view bytes, std::string* pReason) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (pReason != nullptr) {
                *pReason = std::strerror(errno);
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

std::vector<std::string> GetProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

#endif
