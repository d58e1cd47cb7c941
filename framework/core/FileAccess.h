#pragma once

#include <string>
#include <system_error>

// Opens the file for reading and closes it again: no error when it can be read. Never waits for
// another process (a named pipe nobody writes to opens at once). A folder is an error.
std::error_code AfxCheckFileOpens(const std::string& path);

// The path as an absolute one, taken against the current folder now, so that it keeps naming the
// same file after the folder changes. An absolute path comes back as it is (on Windows, in the
// system's full form), an empty one stays empty, and the file need not exist.
std::string AfxAbsolutePath(const std::string& path);
