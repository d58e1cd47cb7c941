#pragma once

// The per-user store: the current user's hive in one file of the registry's text export format
// (RegistryText.h), with the registry's rules (Registry.h). Its calls take and give what the
// registry calls do, on keys of the store; the file is read afresh at every call and changed only
// under its lock (StoreFile.h). Outside Windows the registry calls are these; the store is plain
// C++ on the platform seam and builds and is tested everywhere, while the Windows program keeps
// the system's registry.

#include <cstdint>
#include <string>

#include "framework/core/Platform.h"

// An open key of the store.
struct StoreKey;

// The store's root, the current user's hive: a fixed value, never closed. The same value as the
// registry's HKEY_CURRENT_USER.
inline StoreKey* StoreCurrentUser() {
    return reinterpret_cast<StoreKey*>(std::uintptr_t{0x80000001u});
}

// Opens lpSubKey below hKey, creating it and every missing key above it; see RegCreateKeyEx.
LONG StoreCreateKeyEx(StoreKey* hKey, const char* lpSubKey, DWORD Reserved, char* lpClass,
                      DWORD dwOptions, REGSAM samDesired, void* lpSecurityAttributes,
                      StoreKey** phkResult, DWORD* lpdwDisposition);
LONG StoreOpenKeyEx(StoreKey* hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired,
                    StoreKey** phkResult);
LONG StoreQueryValueEx(StoreKey* hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                       BYTE* lpData, DWORD* lpcbData);
LONG StoreSetValueEx(StoreKey* hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                     const BYTE* lpData, DWORD cbData);
LONG StoreDeleteValue(StoreKey* hKey, const char* lpValueName);
LONG StoreCloseKey(StoreKey* hKey);

// Where the store's file lives: the path given here when not empty, otherwise
// ${XDG_CONFIG_HOME:-$HOME/.config}/<company>/<application>.reg for the owner below; nowhere
// (every call fails) before an owner is named. Tests point it at a scratch folder.
void SetRegistryStorePath(std::string path);
std::string GetRegistryStorePath();
void SetRegistryStoreOwner(const std::string& company, const std::string& application);

// Gathers the store calls a thread makes between the first StoreBeginBatch and the matching last
// StoreEndBatch into one change: the file is read once for them all, calls inside see their own
// changes, and what they change reaches the file in one read-modify-write at the end, merged
// into what other copies of the program wrote meanwhile.
void StoreBeginBatch();
void StoreEndBatch();
