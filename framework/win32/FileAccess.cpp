// The Win32 half of file access: checking that a file opens, and full paths.
#include "framework/core/FileAccess.h"

#include <windows.h>

#include <vector>

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

std::string AfxAbsolutePath(const std::string& path) {
    if (path.empty()) {
        return path;
    }
    // The system's own rules: drive-relative and root-relative forms, "." and "..", both slashes.
    const std::wstring wide = Widen(path);
    std::vector<wchar_t> full(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return path;
        }
        if (length < full.size()) {
            return Narrow(std::wstring_view(full.data(), length));
        }
        full.resize(length);
    }
}
