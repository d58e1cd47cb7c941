// The application profile over the registry calls; the same on every platform.
#include <string>
#include <vector>

#include "framework/registry/Registry.h"

namespace {

// Closes the key it holds when it goes out of scope.
class OpenProfileKey {
public:
    OpenProfileKey(const std::string& profileKey, const std::string& section, bool create) {
        const std::string path = section.empty() ? profileKey : profileKey + "\\" + section;
        if (create) {
            RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &m_hKey, nullptr);
        } else {
            RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &m_hKey);
        }
    }
    ~OpenProfileKey() {
        if (m_hKey != nullptr) {
            RegCloseKey(m_hKey);
        }
    }
    OpenProfileKey(const OpenProfileKey&) = delete;
    OpenProfileKey& operator=(const OpenProfileKey&) = delete;

    HKEY get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

}  // namespace

bool RegWriteProfileString(const std::string& profileKey, const std::string& section,
                           const std::string& entry, const std::string& value) {
    const OpenProfileKey key(profileKey, section, true);
    return key.get() != nullptr &&
           RegSetValueEx(key.get(), entry.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(std::char_traits<char>::length(value.c_str()) + 1)) ==
               ERROR_SUCCESS;
}

bool RegWriteProfileInt(const std::string& profileKey, const std::string& section,
                        const std::string& entry, int value) {
    const auto n = static_cast<DWORD>(value);
    const BYTE data[4] = {static_cast<BYTE>(n), static_cast<BYTE>(n >> 8),
                          static_cast<BYTE>(n >> 16), static_cast<BYTE>(n >> 24)};
    const OpenProfileKey key(profileKey, section, true);
    return key.get() != nullptr &&
           RegSetValueEx(key.get(), entry.c_str(), 0, REG_DWORD, data, 4) == ERROR_SUCCESS;
}

std::string RegGetProfileString(const std::string& profileKey, const std::string& section,
                                const std::string& entry, const std::string& defaultValue) {
    const OpenProfileKey key(profileKey, section, false);
    DWORD type = 0;
    DWORD size = 0;
    if (key.get() == nullptr ||
        RegQueryValueEx(key.get(), entry.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return defaultValue;
    }
    std::vector<BYTE> buffer(size + 1, 0);
    DWORD read = size + 1;
    if (RegQueryValueEx(key.get(), entry.c_str(), nullptr, &type, buffer.data(), &read) !=
        ERROR_SUCCESS) {
        return defaultValue;
    }
    std::string text(reinterpret_cast<const char*>(buffer.data()), read);
    return text.substr(0, text.find('\0'));
}

int RegGetProfileInt(const std::string& profileKey, const std::string& section,
                     const std::string& entry, int defaultValue) {
    const OpenProfileKey key(profileKey, section, false);
    BYTE data[4] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    if (key.get() == nullptr ||
        RegQueryValueEx(key.get(), entry.c_str(), nullptr, &type, data, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != 4) {
        return defaultValue;
    }
    return static_cast<int>(static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
                            static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24);
}

bool RegDeleteProfileEntry(const std::string& profileKey, const std::string& section,
                           const std::string& entry) {
    const OpenProfileKey key(profileKey, section, false);
    return key.get() != nullptr && RegDeleteValue(key.get(), entry.c_str()) == ERROR_SUCCESS;
}
