#pragma once

// Private to the POSIX half: writing through a file descriptor.

#include <unistd.h>

#include <cerrno>
#include <string_view>

// Writes all of bytes, going on after interruptions. False, with errno set, on an error.
inline bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}
