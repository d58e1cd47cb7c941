// The POSIX half of standard output.
#include "platform/StandardOutput.h"

#include <cstring>

#include "platform/posix/Descriptor.h"

bool WriteStandardOutput(std::string_view bytes, std::string* pReason) {
    if (WriteAll(STDOUT_FILENO, bytes)) {
        return true;
    }
    if (pReason != nullptr) {
        *pReason = std::strerror(errno);
    }
    return false;
}

bool WriteStandardError(std::string_view bytes) {
    return WriteAll(STDERR_FILENO, bytes);
}

bool IsStandardErrorTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}
