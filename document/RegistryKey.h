#pragma once

#include <string>

#include "framework/registry/Registry.h"

// One registry key, open for the lifetime of a local object, for the program's own settings
// (the remembered source path, the window placement). Every failure is silent: a key that could
// not be opened reads as empty and ignores writes.
class CRegistryKey {
public:
    // Opens the sub-key below hRoot, creating it and its missing parents.
    CRegistryKey(std::string strSubKey, HKEY hRoot);
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Stores the text up to its first null byte as REG_SZ, the null byte counted.
    void WriteText(std::string strName, std::string strText);
    void WriteInt(std::string strName, DWORD dwValue);

    // The value's data as a little-endian integer when it fits in four bytes, whatever its type;
    // dwDefault otherwise.
    DWORD ReadInt(std::string strName, DWORD dwDefault) const;
    // The value's data up to its first null byte, whatever its type; empty when there is none.
    void ReadText(std::string strName, std::string& strText) const;

private:
    HKEY m_hKey = nullptr;
};
