#include "framework/core/FileAccess.h"

#include "platform/File.h"

std::string AfxAbsolutePath(const std::string& path) {
    return AbsolutePath(path);
}
