#include "document/RegistryKey.h"

#include <algorithm>
#include <vector>

CRegistryKey::CRegistryKey(std::string strSubKey, HKEY hRoot) {
    char keyClass[] = "string";
    // On failure the key stays null and every operation quietly does nothing.
    RegCreateKeyEx(hRoot, strSubKey.c_str(), 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                   nullptr, &m_hKey, nullptr);
}

CRegistryKey::~CRegistryKey() {
    if (m_hKey != nullptr) {
        RegCloseKey(m_hKey);
    }
}

void CRegistryKey::WriteText(std::string strName, std::string strText) {
    if (m_hKey == nullptr) {
        return;
    }
    const char* text = strText.c_str();
    const auto size = static_cast<DWORD>(std::char_traits<char>::length(text) + 1);
    RegSetValueEx(m_hKey, strName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
}

void CRegistryKey::WriteInt(std::string strName, DWORD dwValue) {
    if (m_hKey == nullptr) {
        return;
    }
    const BYTE data[4] = {static_cast<BYTE>(dwValue), static_cast<BYTE>(dwValue >> 8),
                          static_cast<BYTE>(dwValue >> 16), static_cast<BYTE>(dwValue >> 24)};
    RegSetValueEx(m_hKey, strName.c_str(), 0, REG_DWORD, data, sizeof data);
}

DWORD CRegistryKey::ReadInt(std::string strName, DWORD dwDefault) const {
    BYTE data[4] = {};
    DWORD size = sizeof data;
    // Absent, longer than four bytes or no key: all give the default.
    if (m_hKey == nullptr ||
        RegQueryValueEx(m_hKey, strName.c_str(), nullptr, nullptr, data, &size) != ERROR_SUCCESS) {
        return dwDefault;
    }
    return static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
           static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
}

void CRegistryKey::ReadText(std::string strName, std::string& strText) const {
    strText.clear();
    DWORD size = 0;
    if (m_hKey != nullptr) {
        RegQueryValueEx(m_hKey, strName.c_str(), nullptr, nullptr, nullptr, &size);
    }
    if (size == 0) {
        return;
    }
    // One byte more than the data, zeroed, so text stored without its null byte still ends.
    std::vector<BYTE> buffer(size + 1, 0);
    DWORD read = size + 1;
    if (RegQueryValueEx(m_hKey, strName.c_str(), nullptr, nullptr, buffer.data(), &read) !=
        ERROR_SUCCESS) {
        return;
    }
    const auto end = std::find(buffer.begin(), buffer.begin() + std::min(read, size + 1), BYTE{0});
    strText.assign(buffer.begin(), end);
}
