#include "framework/core/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

std::error_code AfxCheckFileOpens(const std::string& path) {
    // Without O_NONBLOCK, opening a named pipe waits until some process opens it for writing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return {errno, std::generic_category()};
    }
    struct stat status {};
    const int error = ::fstat(fd, &status) != 0 ? errno : S_ISDIR(status.st_mode) ? EISDIR : 0;
    ::close(fd);
    return {error, std::generic_category()};
}
