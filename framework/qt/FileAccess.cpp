#include "framework/core/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

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

std::string AfxAbsolutePath(const std::string& path) {
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
