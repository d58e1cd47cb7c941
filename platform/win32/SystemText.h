#pragma once

// Private to the Win32 halves (of the platform and of the framework): the program's UTF-8 texts
// as the system's UTF-16 ones and back, and the system's text for an error.

#include <windows.h>

#include <string>
#include <string_view>

// Bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// The system's text for an error code, in UTF-8, without the trailing line break or full stop.
std::string SystemMessage(DWORD error);
