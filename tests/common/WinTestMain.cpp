// Test entry point of the Windows build's layers. Settings go to a registry key of the run's
// own, which stands in for HKEY_CURRENT_USER: no test may touch the user's own settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const std::wstring scratch =
        L"Software\\Tessiver Tests\\" + std::to_wstring(GetCurrentProcessId());
    HKEY user = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &user, nullptr) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_CURRENT_USER, user) != ERROR_SUCCESS) {
        return 2;
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(user);
    RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str());
    return result;
}
