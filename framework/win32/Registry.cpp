// The Win32 half of the registry calls: the system's registry, in UTF-8 at the program's side.
#include "framework/registry/Registry.h"

#include <vector>

#include "framework/win32/Win32Support.h"

namespace {

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A name, or null for the key's default value.
std::wstring WideName(const char* name) {
    return name != nullptr ? Widen(name) : std::wstring();
}

}  // namespace

LONG RegCreateKeyEx(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                    REGSAM samDesired, void* lpSecurityAttributes, PHKEY phkResult,
                    DWORD* lpdwDisposition) {
    std::wstring keyClass = WideName(lpClass);
    return RegCreateKeyExW(hKey, WideName(lpSubKey).c_str(), Reserved,
                           lpClass != nullptr ? keyClass.data() : nullptr, dwOptions, samDesired,
                           static_cast<LPSECURITY_ATTRIBUTES>(lpSecurityAttributes), phkResult,
                           lpdwDisposition);
}

LONG RegOpenKeyEx(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired,
                  PHKEY phkResult) {
    return RegOpenKeyExW(hKey, WideName(lpSubKey).c_str(), ulOptions, samDesired, phkResult);
}

LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     BYTE* lpData, DWORD* lpcbData) {
    const std::wstring name = WideName(lpValueName);
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExW(hKey, name.c_str(), lpReserved, &type, nullptr, &size);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    if (lpType != nullptr) {
        *lpType = type;
    }
    if (!IsText(type)) {
        return RegQueryValueExW(hKey, name.c_str(), lpReserved, nullptr, lpData, lpcbData);
    }
    std::vector<BYTE> wide(size);
    result = RegQueryValueExW(hKey, name.c_str(), lpReserved, nullptr, wide.data(), &size);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    const std::string text =
        Narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(wide.data()), size / 2));
    if (lpcbData == nullptr) {
        return lpData == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    }
    const DWORD needed = static_cast<DWORD>(text.size());
    if (lpData != nullptr && *lpcbData < needed) {
        *lpcbData = needed;
        return ERROR_MORE_DATA;
    }
    if (lpData != nullptr) {
        text.copy(reinterpret_cast<char*>(lpData), needed);
    }
    *lpcbData = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                   const BYTE* lpData, DWORD cbData) {
    const std::wstring name = WideName(lpValueName);
    if (!IsText(dwType) || lpData == nullptr) {
        return RegSetValueExW(hKey, name.c_str(), Reserved, dwType, lpData, cbData);
    }
    // The text as stored here, terminating null bytes included.
    const std::wstring text =
        Widen(std::string_view(reinterpret_cast<const char*>(lpData), cbData));
    return RegSetValueExW(hKey, name.c_str(), Reserved, dwType,
                          reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

LONG RegDeleteValue(HKEY hKey, const char* lpValueName) {
    return RegDeleteValueW(hKey, WideName(lpValueName).c_str());
}

void RegSetStoreOwner(const std::string& /*company*/, const std::string& /*application*/) {
    // The registry itself keeps every application's settings under its own key.
}

// The registry keeps its own order; writes made together need nothing more.
RegistryBatch::RegistryBatch() = default;
RegistryBatch::~RegistryBatch() = default;
