// The Win32 half of files: the wide calls, every file shared with the processes that use it.
#include "platform/File.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/SystemText.h"

struct CInputFile::Impl {
    explicit Impl(HANDLE handle) : handle(handle) {}
    ~Impl() { ::CloseHandle(handle); }
    HANDLE handle;
};

CInputFile::CInputFile() = default;
CInputFile::~CInputFile() = default;

bool CInputFile::OpenHandle(std::string* pReason) {
    const std::wstring widePath = Widen(m_path);
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
    m_pImpl = std::make_unique<Impl>(handle);
    LARGE_INTEGER size{};
    if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileSizeEx(handle, &size) &&
        size.QuadPart > 0) {
        m_sizeHint = static_cast<std::uint64_t>(size.QuadPart);
    }
    return true;
}

void CInputFile::Close() {
    m_pImpl.reset();
}

bool CInputFile::Read(char* p, std::size_t n, std::size_t& got, std::string* pReason) {
    constexpr std::size_t kMostPerCall = 1u << 30;
    DWORD done = 0;
    got = 0;
    if (!::ReadFile(m_pImpl->handle, p, static_cast<DWORD>(n < kMostPerCall ? n : kMostPerCall),
                    &done, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
            return true;  // the writer has gone: the end of the pipe
        }
        if (pReason != nullptr) {
            *pReason = SystemMessage(error);
        }
        return false;
    }
    got = done;
    return true;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) {
        return path;
    }
    // The system's own rules: drive-relative and root-relative forms, "." and "..", both slashes.
    const std::wstring wide = Widen(path);
    std::vector<wchar_t> full(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return path;
        }
        if (length < full.size()) {
            return Narrow(std::wstring_view(full.data(), length));
        }
        full.resize(length);
    }
}

bool IsMissing(const std::string& path) {
    if (::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

CFileStamp GetFileStamp(const std::string& path) {
    CFileStamp stamp;
    if (path.empty()) {
        return stamp;
    }
    const std::wstring widePath = Widen(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(widePath.c_str(), GetFileExInfoStandard, &data)) {
        return stamp;
    }
    const auto join = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    stamp.bExists = true;
    stamp.bFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    stamp.size = join(data.nFileSizeHigh, data.nFileSizeLow);
    stamp.modified = static_cast<std::int64_t>(
        join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime));
    // The identity needs a handle; one without access rights leaves every other user alone.
    const HANDLE handle =
        ::CreateFileW(widePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION information{};
        if (::GetFileInformationByHandle(handle, &information)) {
            stamp.volume = information.dwVolumeSerialNumber;
            stamp.index = join(information.nFileIndexHigh, information.nFileIndexLow);
            stamp.size = join(information.nFileSizeHigh, information.nFileSizeLow);
            stamp.modified =
                static_cast<std::int64_t>(join(information.ftLastWriteTime.dwHighDateTime,
                                               information.ftLastWriteTime.dwLowDateTime));
        }
        ::CloseHandle(handle);
    }
    return stamp;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) != 0;
}

namespace {

// A file of its own beside path, made new: path, a dot and six letters or digits.
HANDLE CreateReplacement(const std::string& path, std::wstring& name) {
    constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = path + ".";
        for (int i = 0; i < 6; ++i) {
            candidate += kLetters[random() % (sizeof kLetters - 1)];
        }
        name = Widen(candidate);
        const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes, bool /*bShared*/) {
    std::wstring temp;
    const HANDLE file = CreateReplacement(path, temp);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = WriteAll(file, bytes) && ::FlushFileBuffers(file);
    if (!::CloseHandle(file) || !written ||
        !::MoveFileExW(temp.c_str(), Widen(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

struct CFileLock::Impl {
    explicit Impl(HANDLE handle) : handle(handle) {}
    ~Impl() { ::CloseHandle(handle); }  // releases the lock
    HANDLE handle;
};

CFileLock::CFileLock(const std::string& path) {
    const HANDLE file = ::CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        m_pImpl = std::make_unique<Impl>(file);
    }
}

CFileLock::~CFileLock() = default;

CFileLock::Attempt CFileLock::TryLock() {
    if (!m_pImpl) {
        return Failed;
    }
    OVERLAPPED whole{};
    if (::LockFileEx(m_pImpl->handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                     &whole)) {
        return Taken;
    }
    return ::GetLastError() == ERROR_LOCK_VIOLATION ? Busy : Failed;
}
