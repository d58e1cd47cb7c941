#pragma once

#include <string>

// The path as an absolute one, taken against the current folder now, so that it keeps naming the
// same file after the folder changes. An absolute path comes back as it is (on Windows, in the
// system's full form), an empty one stays empty, and the file need not exist.
std::string AfxAbsolutePath(const std::string& path);
