// The Win32 half of checking that a file opens.
#include "framework/core/FileAccess.h"

#include <windows.h>

#include "framework/win32/Win32Support.h"

std::error_code AfxCheckFileOpens(const std::string& path) {
    // Others may go on reading and writing it meanwhile; a folder does not open as a file.
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {static_cast<int>(GetLastError()), std::system_category()};
    }
    CloseHandle(file);
    return {};
}
