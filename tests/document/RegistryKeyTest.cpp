// CRegistryKey on the per-user store, pointed at a scratch folder.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "document/RegistryKey.h"
#include "framework/registry/Registry.h"
#include "framework/registry/RegistryStore.h"
#include "tests/common/ScratchDir.h"

namespace {

using namespace std::string_literals;

#ifdef _WIN32
// The real registry: the tests work below a key of their own and delete it afterwards.
const std::string kBase = "Software\\Corvessa Registry Tests";
#else
const std::string kBase = "software";
#endif
const std::string kOptions = kBase + "\\Corvessa\\Tessiver\\Options";
constexpr DWORD kDefault = 0xDEADBEEF;

// Stores raw data of any type, as another program (or an older version) might have.
void seed(const std::string& name, DWORD type, const std::string& data) {
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kOptions.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(hKey, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(hKey);
}

// The stored type and bytes of a value, or nothing.
std::optional<std::pair<DWORD, std::string>> stored(const std::string& name) {
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, kOptions.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::string data(64, '\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result = RegQueryValueEx(hKey, name.c_str(), nullptr, &type,
                                        reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(hKey);
    if (result != ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(size);
    return std::make_pair(type, data);
}

bool keyExists(const std::string& path) {
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(hKey);
    return true;
}

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        m_previous = GetRegistryStorePath();
        SetRegistryStorePath(m_dir.Path("Corvessa/Tessiver.reg"));
#endif
    }
    void TearDown() override {
#ifdef _WIN32
        RegDeleteTreeA(HKEY_CURRENT_USER, kBase.c_str());
#else
        SetRegistryStorePath(m_previous);
#endif
    }

    CScratchDir m_dir;
    std::string m_previous;
};

TEST_F(RegistryKeyTest, OpeningCreatesTheKeyEvenWithoutWrites) {
    ASSERT_FALSE(keyExists(kOptions));
    { const CRegistryKey key(kOptions, HKEY_CURRENT_USER); }
    EXPECT_TRUE(keyExists(kOptions));
}

// Data of any type reads as an integer when it has four bytes at most (the default otherwise),
// and as text up to its first null byte.
TEST_F(RegistryKeyTest, ReadsDataWhateverItsType) {
    const struct {
        const char* label;
        std::optional<std::pair<DWORD, std::string>> value;  // nothing: the value is absent
        DWORD readInt;
        std::string readText;
    } cases[] = {
        {"absent", std::nullopt, kDefault, ""},
        {"dword without null", std::pair{REG_DWORD, "abcd"s}, 0x64636261, "abcd"},
        {"long text", std::pair{REG_SZ, "abcdef\0"s}, kDefault, "abcdef"},
        {"short text", std::pair{REG_SZ, "ab\0"s}, 0x6261, "ab"},
        {"four-byte text", std::pair{REG_SZ, "abc\0"s}, 0x636261, "abc"},
        {"two-byte binary", std::pair{REG_BINARY, "\x34\x12"s}, 0x1234, "4\x12"},
        {"empty binary", std::pair{REG_BINARY, ""s}, 0, ""},
        {"five-byte binary", std::pair{REG_BINARY, "\x01\x02\x03\x04\x05"s}, kDefault,
         "\x01\x02\x03\x04\x05"},
        {"inner null", std::pair{REG_BINARY, "a\0b"s}, 0x620061, "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.value) {
            seed(c.label, c.value->first, c.value->second);
        }
        const CRegistryKey key(kOptions, HKEY_CURRENT_USER);
        EXPECT_EQ(key.ReadInt(c.label, kDefault), c.readInt);
        std::string text = "stale";
        key.ReadText(c.label, text);
        EXPECT_EQ(text, c.readText);
    }
}

// Texts are stored with a null byte, up to their first; integers as little-endian DWORDs. Each is
// read back through a new key object, as the next run of the program would.
TEST_F(RegistryKeyTest, WritesNullTerminatedTextsAndLittleEndianIntegers) {
    const std::pair<std::string, std::string> texts[] = {
        {"", ""},
        {"C:\\Data\\source file.txt", "C:\\Data\\source file.txt"},
        {"Gr\xC3\xBC\xC3\x9F \xE6\x96\x87", "Gr\xC3\xBC\xC3\x9F \xE6\x96\x87"},
#ifndef _WIN32
        // Bytes that are no UTF-8: the registry itself holds UTF-16 and keeps only UTF-8 whole.
        {"Gr\xFC\xDF \xC3\xA9", "Gr\xFC\xDF \xC3\xA9"},
#endif
        {"ab\0cd"s, "ab"},
    };
    for (const auto& [written, read] : texts) {
        SCOPED_TRACE(testing::PrintToString(written));
        CRegistryKey(kOptions, HKEY_CURRENT_USER).WriteText("Source Path", written);
        std::string text = "stale";
        CRegistryKey(kOptions, HKEY_CURRENT_USER).ReadText("Source Path", text);
        EXPECT_EQ(text, read);
        EXPECT_EQ(stored("source path"), std::make_pair(DWORD{REG_SZ}, read + '\0'));
    }
    CRegistryKey(kOptions, HKEY_CURRENT_USER).WriteInt("top", 0x12345678);
    EXPECT_EQ(stored("top"), std::make_pair(DWORD{REG_DWORD}, "\x78\x56\x34\x12"s));
    EXPECT_EQ(CRegistryKey(kOptions, HKEY_CURRENT_USER).ReadInt("TOP", kDefault), 0x12345678u);
}

}  // namespace
