#pragma once

// The registry calls the program makes, under their platform names and meanings, taking the
// program's UTF-8 names and texts. On Windows they call the system's registry, converting names
// and texts to UTF-16 and back (framework/win32/Registry.cpp); elsewhere they call the per-user
// store that keeps the current user's hive in one file of the registry's text export format
// (framework/qt/Registry.cpp), with the same rules: typed values, key and value names that
// compare without regard to case and keep the case they were created with, keys created with
// their missing parents, and the registry's limits (a key name of at most 255 characters, a key
// at most 512 levels deep, a value name of at most 16,383 characters, a value's data of at most
// 1 MB as in its standard format). A file breaking a limit does not parse, and is set aside.
//
// Every call reports failure only through its result code: nothing throws, nothing is shown.

#include <string>

#include "framework/core/Platform.h"

// Opens lpSubKey below hKey, creating it and every missing key above it. lpSubKey null or empty
// opens hKey itself again. *lpdwDisposition (optional) tells whether the key was created. A key
// name over the limit gives ERROR_INVALID_PARAMETER, a path too deep ERROR_BADKEY.
LONG RegCreateKeyEx(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                    REGSAM samDesired, void* lpSecurityAttributes, PHKEY phkResult,
                    DWORD* lpdwDisposition);

// Opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist, and the errors above for a
// path over the limits.
LONG RegOpenKeyEx(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired,
                  PHKEY phkResult);

// Reads a value (null or empty name: the key's default value). With lpData null only the size is
// returned in *lpcbData; a buffer smaller than the data gives ERROR_MORE_DATA with the size
// needed in *lpcbData and the buffer untouched. Text (REG_SZ) comes as UTF-8 with its null byte.
LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     BYTE* lpData, DWORD* lpcbData);

// Stores cbData bytes as a value of type dwType, replacing any value of that name whatever its
// type. Text (REG_SZ) is UTF-8, stored with its terminating null byte counted in cbData. A name
// over the limit gives ERROR_INVALID_PARAMETER.
LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                   const BYTE* lpData, DWORD cbData);

LONG RegDeleteValue(HKEY hKey, const char* lpValueName);

// RegCloseKey, which takes no text, is the platform's own (framework/core/Platform.h).

// Gathers the registry calls a thread makes while it lives into one change of the settings, for
// writes that belong together (the window's state at exit, a dialog's values). Outside Windows
// the store's file is read once for them all, and what they change reaches the file in one
// read-modify-write when the outermost batch ends, merged into what other copies of the program
// wrote meanwhile; calls inside see their own changes. The registry itself needs nothing of this.
class RegistryBatch {
public:
    RegistryBatch();
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;
};

// The application names the owner of its settings, as its registry key is
// HKEY_CURRENT_USER\Software\<company>\<application>. Outside Windows the store's file is named
// after them; the registry itself needs nothing.
void RegSetStoreOwner(const std::string& company, const std::string& application);

// The application profile: entries in sections below one key of HKEY_CURRENT_USER (for example
// "Software\Corvessa\Tessiver", section "Recent File List", entry "File1"). Writing creates the
// section; reading never does, and gives the default when the entry is absent or not of the kind
// asked for (text as REG_SZ, integers as REG_DWORD).
bool RegWriteProfileString(const std::string& profileKey, const std::string& section,
                           const std::string& entry, const std::string& value);
bool RegWriteProfileInt(const std::string& profileKey, const std::string& section,
                        const std::string& entry, int value);
std::string RegGetProfileString(const std::string& profileKey, const std::string& section,
                                const std::string& entry, const std::string& defaultValue);
int RegGetProfileInt(const std::string& profileKey, const std::string& section,
                     const std::string& entry, int defaultValue);
bool RegDeleteProfileEntry(const std::string& profileKey, const std::string& section,
                           const std::string& entry);
