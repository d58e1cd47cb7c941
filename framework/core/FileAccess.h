#pragma once

#include <string>

#include "platform/File.h"

// The path as an absolute one, taken against the current folder now, so that it keeps naming the
// same file after the folder changes. An absolute path comes back as it is (on Windows, in the
// system's full form), an empty one stays empty, and the file need not exist.
std::string AfxAbsolutePath(const std::string& path);

// What path names now: whether anything is there, whether it is a folder, and what tells a file
// that changed (written, replaced by a rename, deleted) from the one seen before (CFileStamp).
CFileStamp AfxGetFileStamp(const std::string& path);
