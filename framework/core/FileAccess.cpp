#include "framework/core/FileAccess.h"

std::string AfxAbsolutePath(const std::string& path) {
    return AbsolutePath(path);
}

CFileStamp AfxGetFileStamp(const std::string& path) {
    return GetFileStamp(path);
}
