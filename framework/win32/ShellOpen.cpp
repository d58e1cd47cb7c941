// The Win32 half of opening a file with its associated program.
#include "framework/dialog/ShellOpen.h"

#include <windows.h>

#include <shellapi.h>

#include "framework/win32/Win32Support.h"

bool AfxShellOpenFile(const std::string& path) {
    // No owner, no verb (the default action), no parameters, no working folder.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}
