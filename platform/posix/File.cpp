// The POSIX half of files.
#include "platform/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/posix/Descriptor.h"

struct CInputFile::Impl {
    explicit Impl(int fd) : fd(fd) {}
    ~Impl() { ::close(fd); }
    int fd;
};

CInputFile::CInputFile() = default;
CInputFile::~CInputFile() = default;

bool CInputFile::OpenHandle(std::string* pReason) {
    // Without O_NONBLOCK, opening a named pipe waits until some process opens it for writing.
    // Once open, reads block as usual, and a pipe with no writer reads as its end.
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        auto pImpl = std::make_unique<Impl>(fd);
        const int flags = ::fcntl(fd, F_GETFL);
        struct stat status {};
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
            ::fstat(fd, &status) != 0) {
            error = errno;
        } else if (S_ISDIR(status.st_mode)) {
            error = EISDIR;
        } else {
            if (S_ISREG(status.st_mode) && status.st_size > 0) {
                m_sizeHint = static_cast<std::uint64_t>(status.st_size);
            }
            m_pImpl = std::move(pImpl);
            return true;
        }
    }
    if (pReason != nullptr) {
        *pReason = std::strerror(error);
    }
    return false;
}

void CInputFile::Close() {
    m_pImpl.reset();
}

bool CInputFile::Read(char* p, std::size_t n, std::size_t& got, std::string* pReason) {
    for (;;) {
        const ssize_t done = ::read(m_pImpl->fd, p, n);
        if (done >= 0) {
            got = static_cast<std::size_t>(done);
            return true;
        }
        if (errno != EINTR) {
            if (pReason != nullptr) {
                *pReason = std::strerror(errno);
            }
            return false;
        }
    }
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') {
        return path;
    }
    std::vector<char> folder(256);
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) {
            return path;  // no current folder to name: the path is all there is
        }
        folder.resize(folder.size() * 2);
    }
    std::string absolute = folder.data();
    // "." names the folder itself; ".." stays, since a linked folder's parent is not lexical.
    for (std::size_t start = 0; start < path.size();) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string_view part(path.data() + start, end - start);
        if (!part.empty() && part != ".") {
            if (absolute.back() != '/') {
                absolute += '/';
            }
            absolute += part;
        }
        start = end + 1;
    }
    return absolute;
}

bool IsMissing(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

CFileStamp GetFileStamp(const std::string& path) {
    struct stat status {};
    CFileStamp stamp;
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        return stamp;
    }
    stamp.bExists = true;
    stamp.bFolder = S_ISDIR(status.st_mode);
    stamp.size = static_cast<std::uint64_t>(status.st_size);
    stamp.modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                     static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    stamp.volume = static_cast<std::uint64_t>(status.st_dev);
    stamp.index = static_cast<std::uint64_t>(status.st_ino);
    return stamp;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return IsMissing(to) && ::rename(from.c_str(), to.c_str()) == 0;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes, bool bShared) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool permitted = true;
    if (bShared) {
        struct stat old {};
        mode_t mode = 0;
        if (::stat(path.c_str(), &old) == 0) {
            mode = old.st_mode & 07777;
        } else {
            // The umask can only be read by setting it; it is set back at once.
            const mode_t mask = ::umask(022);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        permitted = ::fchmod(fd, mode) == 0;
    }
    const bool written = permitted && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; the file is complete either way.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

struct CFileLock::Impl {
    explicit Impl(int fd) : fd(fd) {}
    ~Impl() { ::close(fd); }  // releases the lock
    int fd;
};

CFileLock::CFileLock(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        m_pImpl = std::make_unique<Impl>(fd);
    }
}

CFileLock::~CFileLock() = default;

CFileLock::Attempt CFileLock::TryLock() {
    if (!m_pImpl) {
        return Failed;
    }
    while (::flock(m_pImpl->fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) {
            return errno == EWOULDBLOCK ? Busy : Failed;
        }
    }
    return Taken;
}
