#pragma once

// The registry calls the program makes, under their platform names and meanings. On Windows they
// are the system's own, taking the program's UTF-8 names and texts; elsewhere the framework keeps
// the current user's hive in one file of the registry's text export format (RegistryTree.h,
// RegistryText.h and RegistryFile.h), with the same rules: typed values, key and value names that
// compare without regard to case and keep the case they were created with, keys created with
// their missing parents, and the registry's limits (a key name of at most 255 characters, a key
// at most 512 levels deep, a value name of at most 16,383 characters, a value's data of at most
// 1 MB as in its standard format). A file breaking a limit does not parse, and is set aside.
//
// Every call reports failure only through its result code: nothing throws, nothing is shown.

#include <string>

#include "framework/core/Platform.h"

#ifdef _WIN32
// The program's strings are UTF-8 bytes. These forms take them and call the system's wide forms,
// so that names and texts outside the ANSI code page (a path, say) are stored as they are; text
// data (REG_SZ) is UTF-16 in the registry and UTF-8, null byte counted, here. RegCloseKey is the
// system's own.
#undef RegCreateKeyEx
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteValue
LONG RegCreateKeyEx(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                    REGSAM samDesired, void* lpSecurityAttributes, PHKEY phkResult,
                    DWORD* lpdwDisposition);
LONG RegOpenKeyEx(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired,
                  PHKEY phkResult);
LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     BYTE* lpData, DWORD* lpcbData);
LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                   const BYTE* lpData, DWORD cbData);
LONG RegDeleteValue(HKEY hKey, const char* lpValueName);
#else
#include <cstdint>

using BYTE = std::uint8_t;
using REGSAM = DWORD;

// An open key. The predefined roots are fixed values that are never closed.
struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;

// A macro, as on Windows, so that it is usable before any static initialisation has run.
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_OUTOFMEMORY = 14;
constexpr LONG ERROR_LOCK_VIOLATION = 33;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_BAD_PATHNAME = 161;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NOACCESS = 998;
constexpr LONG ERROR_BADKEY = 1010;
constexpr LONG ERROR_CANTREAD = 1012;
constexpr LONG ERROR_CANTWRITE = 1013;

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
// needed in *lpcbData and the buffer untouched.
LONG RegQueryValueEx(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     BYTE* lpData, DWORD* lpcbData);

// Stores cbData bytes as a value of type dwType, replacing any value of that name whatever its
// type. Text (REG_SZ) is stored with its terminating null byte counted in cbData. A name over the
// limit gives ERROR_INVALID_PARAMETER.
LONG RegSetValueEx(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                   const BYTE* lpData, DWORD cbData);

LONG RegDeleteValue(HKEY hKey, const char* lpValueName);

LONG RegCloseKey(HKEY hKey);

// Where the store file lives: the path given here when not empty, otherwise
// ${XDG_CONFIG_HOME:-$HOME/.config}/<company>/<application>.reg for the owner below; nowhere
// (every call fails) before an owner is named. Tests point it at a scratch folder.
void SetRegistryStorePath(std::string path);
std::string GetRegistryStorePath();
#endif

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
