// The registry calls of the Qt half: the per-user store, whose keys are this platform's HKEYs.
#include "framework/registry/Registry.h"

#include "framework/registry/RegistryStore.h"

LONG RegCreateKeyEx(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                    REGSAM samDesired, void* lpSecurityAttributes, PHKEY phkResult,
                    DWORD* lpdwDisposition) {
    return StoreCreateKeyEx(hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired,
                            lpSecurityAttributes, phkResult, lpdwDisposition);
}

LONG RegOpenKeyEx(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired,
                  PHKEY phkResult) {
    return StoreOpenKeyEx(hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     BYTE* lpData, DWORD* lpcbData) {
    return StoreQueryValueEx(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                   const BYTE* lpData, DWORD cbData) {
    return StoreSetValueEx(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}

LONG RegDeleteValue(HKEY hKey, const char* lpValueName) {
    return StoreDeleteValue(hKey, lpValueName);
}

LONG RegCloseKey(HKEY hKey) {
    return StoreCloseKey(hKey);
}

void RegSetStoreOwner(const std::string& company, const std::string& application) {
    SetRegistryStoreOwner(company, application);
}

RegistryBatch::RegistryBatch() {
    StoreBeginBatch();
}

RegistryBatch::~RegistryBatch() {
    StoreEndBatch();
}
