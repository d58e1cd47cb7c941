#ifndef _WIN32
#include "framework/registry/RegistryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <utility>

#include "framework/registry/RegistryText.h"

namespace {

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

RegistryLoad loadRegistryFile(const std::string& path) {
    RegistryLoad load;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        load.status = (errno == ENOENT || errno == ENOTDIR) ? RegistryLoad::Missing
                                                            : RegistryLoad::Unreadable;
        return load;
    }
    std::string text;
    char buffer[16384];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            load.status = RegistryLoad::Unreadable;
            return load;
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    // An empty file holds nobody's settings; it is treated like a missing one.
    if (text.empty()) {
        load.status = RegistryLoad::Missing;
        return load;
    }
    if (auto tree = parseRegistryText(text)) {
        load.status = RegistryLoad::Loaded;
        load.tree = std::move(*tree);
    } else {
        load.status = RegistryLoad::Unparsable;
    }
    return load;
}

bool saveRegistryFile(const std::string& path, const RegistryTree& tree) {
    const std::string text = formatRegistryText(tree);
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; the file is complete either way.
    const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void removeAbandonedSaves(const std::string& path) {
    // New files are named <store>.XXXXXX by mkostemp; the lock file and set-aside files differ.
    const std::string folder = folderOf(path);
    const std::string prefix = path.substr(path.rfind('/') + 1) + ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)); })) {
            std::error_code ignored;
            std::filesystem::remove(entry.path(), ignored);
        }
    }
}

bool setAsideRegistryFile(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".bad-" + stamp;
    for (int n = 1; n < 1000; ++n) {
        const std::string target = n == 1 ? base : base + "-" + std::to_string(n);
        struct stat st;
        if (::lstat(target.c_str(), &st) == 0) {
            continue;
        }
        return ::rename(path.c_str(), target.c_str()) == 0;
    }
    return false;
}

RegistryFileLock::RegistryFileLock(const std::string& storePath) {
    const std::string lockPath = storePath + ".lock";
    m_fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        return;
    }
    // Another copy holds the lock only for one short read-modify-write. Wait for it, but not for
    // ever: a stopped process must not freeze this one.
    std::int64_t waitedNs = 0;
    long stepNs = 500'000;
    constexpr std::int64_t kGiveUpNs = 10'000'000'000;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK || waitedNs >= kGiveUpNs) {
            ::close(m_fd);
            m_fd = -1;
            return;
        }
        const timespec pause{0, stepNs};
        ::nanosleep(&pause, nullptr);
        waitedNs += stepNs;
        stepNs = std::min(stepNs * 2, 20'000'000L);
    }
}

RegistryFileLock::~RegistryFileLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // releases the lock
    }
}
#endif
