#pragma once

// The per-user store pointed at a scratch folder, and the calls its tests make through it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/registry/RegistryStore.h"
#include "framework/registry/StoreFile.h"
#include "tests/common/ScratchDir.h"

namespace store {

namespace fs = std::filesystem;
using namespace std::string_literals;

inline std::string readFile(const fs::path& path) {
    return CScratchDir::Read(path.string());
}

inline void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<fs::path> setAsideFiles(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("Tessiver.reg.bad-")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

inline LONG setValue(const std::string& keyPath, const std::string& name, DWORD type,
                     const std::string& data) {
    StoreKey* hKey = nullptr;
    LONG result =
        StoreCreateKeyEx(StoreCurrentUser(), keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
    if (result == ERROR_SUCCESS) {
        result =
            StoreSetValueEx(hKey, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size()));
        StoreCloseKey(hKey);
    }
    return result;
}

// A value's type and data, as queryValue gives them.
inline std::pair<DWORD, std::string> typed(DWORD type, std::string data) {
    return {type, std::move(data)};
}

// The value's type and data, read through a freshly opened key.
inline std::optional<std::pair<DWORD, std::string>> queryValue(const std::string& keyPath,
                                                               const std::string& name) {
    StoreKey* hKey = nullptr;
    if (StoreOpenKeyEx(StoreCurrentUser(), keyPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::pair<DWORD, std::string>> value;
    if (StoreQueryValueEx(hKey, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string data(size, '\0');
        if (StoreQueryValueEx(hKey, name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
            data.resize(size);
            value.emplace(type, data);
        }
    }
    StoreCloseKey(hKey);
    return value;
}

inline bool keyExists(const std::string& keyPath) {
    StoreKey* hKey = nullptr;
    if (StoreOpenKeyEx(StoreCurrentUser(), keyPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return false;
    }
    StoreCloseKey(hKey);
    return true;
}

// Points the store at a scratch folder for one test and puts the previous location back after.
class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = GetRegistryStorePath();
        m_folder = fs::path(m_dir.Path()) / "Corvessa";
        m_store = m_folder / "Tessiver.reg";
        SetRegistryStorePath(m_store.string());
    }
    void TearDown() override { SetRegistryStorePath(m_previous); }

    CScratchDir m_dir;
    std::string m_previous;
    fs::path m_folder;
    fs::path m_store;
};

const std::string kKey = "Software\\Corvessa\\Tessiver\\Test";

}  // namespace store
