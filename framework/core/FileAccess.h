#pragma once

#include <string>
#include <system_error>

// Opens the file for reading and closes it again: no error when it can be read. Never waits for
// another process (a named pipe nobody writes to opens at once). A folder is an error.
std::error_code AfxCheckFileOpens(const std::string& path);
