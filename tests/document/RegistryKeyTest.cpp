// CRegistryKey on the per-user store, pointed at a scratch folder.
#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include "document/RegistryKey.h"
#include "framework/registry/Registry.h"

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
        ASSERT_TRUE(m_dir.isValid());
#ifndef _WIN32
        m_previous = GetRegistryStorePath();
        m_store = m_dir.path().toStdString() + "/Corvessa/Tessiver.reg";
        SetRegistryStorePath(m_store);
#endif
    }
    void TearDown() override {
#ifdef _WIN32
        RegDeleteTreeA(HKEY_CURRENT_USER, kBase.c_str());
#else
        SetRegistryStorePath(m_previous);
#endif
    }

    QTemporaryDir m_dir;
    std::string m_previous;
    std::string m_store;
};

TEST_F(RegistryKeyTest, OpeningCreatesTheKeyAndItsParentsEvenWithoutWrites) {
    ASSERT_FALSE(keyExists(kBase + "\\Corvessa"));
    { const CRegistryKey key(kOptions, HKEY_CURRENT_USER); }
    EXPECT_TRUE(keyExists(kBase + "\\CORVESSA"));
    EXPECT_TRUE(keyExists(kBase + "\\corvessa\\tessiver"));
    EXPECT_TRUE(keyExists(kOptions));
    EXPECT_FALSE(keyExists(kBase + "\\Corvessa\\Tessiver\\Window"));
}

struct ReadCase {
    const char* label;
    std::optional<std::pair<DWORD, std::string>> value;  // nothing: the value is absent
    DWORD readInt;
    std::string readText;
};

class RegistryKeyReadTest : public RegistryKeyTest,
                            public ::testing::WithParamInterface<ReadCase> {};

TEST_P(RegistryKeyReadTest, ReadsDataWhateverItsType) {
    const ReadCase& c = GetParam();
    if (c.value) {
        seed("v", c.value->first, c.value->second);
    }
    const CRegistryKey key(kOptions, HKEY_CURRENT_USER);
    EXPECT_EQ(key.ReadInt("v", kDefault), c.readInt);
    std::string text = "stale";
    key.ReadText("v", text);
    EXPECT_EQ(text, c.readText);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryKeyReadTest,
    ::testing::Values(
        ReadCase{"Absent", std::nullopt, kDefault, ""},
        ReadCase{"Dword", std::pair{REG_DWORD, "\x2a\x01\0\0"s}, 0x12A, "*\x01"},
        ReadCase{"DwordWithoutNull", std::pair{REG_DWORD, "abcd"s}, 0x64636261, "abcd"},
        ReadCase{"LongText", std::pair{REG_SZ, "abcdef\0"s}, kDefault, "abcdef"},
        ReadCase{"ShortText", std::pair{REG_SZ, "ab\0"s}, 0x6261, "ab"},
        ReadCase{"FourByteText", std::pair{REG_SZ, "abc\0"s}, 0x636261, "abc"},
        ReadCase{"TwoByteBinary", std::pair{REG_BINARY, "\x34\x12"s}, 0x1234, "4\x12"},
        ReadCase{"EmptyBinary", std::pair{REG_BINARY, ""s}, 0, ""},
        ReadCase{"FiveByteBinary", std::pair{REG_BINARY, "\x01\x02\x03\x04\x05"s}, kDefault,
                 "\x01\x02\x03\x04\x05"},
        ReadCase{"InnerNull", std::pair{REG_BINARY, "a\0b"s}, 0x620061, "a"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.label); });

class RegistryKeyTextTest : public RegistryKeyTest,
                            public ::testing::WithParamInterface<std::string> {};

TEST_P(RegistryKeyTextTest, TextRoundTripsAsNullTerminatedText) {
    const std::string text = GetParam();
    {
        CRegistryKey key(kOptions, HKEY_CURRENT_USER);
        key.WriteText("Source Path", text);
    }
    // Read through a new key object, as the next run of the program would.
    const CRegistryKey key(kOptions, HKEY_CURRENT_USER);
    std::string read;
    key.ReadText("Source Path", read);
    EXPECT_EQ(read, text);
    EXPECT_EQ(stored("source path"), std::make_pair(REG_SZ, text + '\0'));
}

INSTANTIATE_TEST_SUITE_P(Texts, RegistryKeyTextTest,
                         ::testing::Values("", "C:\\Data\\source file.txt", "C:\\a \"quoted\"\\\\b",
                                           "Gr\xFC\xDF \xC3\xA9", "line one\nline two\r\n",
                                           "tab\there"));

TEST_F(RegistryKeyTest, TextStopsAtItsFirstNullByte) {
    CRegistryKey key(kOptions, HKEY_CURRENT_USER);
    key.WriteText("v", "ab\0cd"s);
    EXPECT_EQ(stored("v"), std::make_pair(REG_SZ, "ab\0"s));
}

TEST_F(RegistryKeyTest, IntegersAreStoredAsLittleEndianDwords) {
    CRegistryKey key(kOptions, HKEY_CURRENT_USER);
    key.WriteInt("top", 0x12345678);
    EXPECT_EQ(stored("top"), std::make_pair(REG_DWORD, "\x78\x56\x34\x12"s));
    EXPECT_EQ(key.ReadInt("TOP", kDefault), 0x12345678u);
}

TEST_F(RegistryKeyTest, RewritingReplacesTheValueAlsoAcrossTypes) {
    CRegistryKey key(kOptions, HKEY_CURRENT_USER);
    key.WriteInt("Value", 7);
    key.WriteText("VALUE", "longer text");
    EXPECT_EQ(stored("value"), std::make_pair(REG_SZ, "longer text\0"s));
    EXPECT_EQ(key.ReadInt("value", kDefault), kDefault);

    key.WriteInt("value", 9);
    EXPECT_EQ(stored("Value"), std::make_pair(REG_DWORD, "\x09\0\0\0"s));
    EXPECT_EQ(key.ReadInt("Value", kDefault), 9u);
}

#ifndef _WIN32
TEST_F(RegistryKeyTest, KeyThatCannotBeOpenedReadsEmptyAndIgnoresWrites) {
    const std::string blocked = m_dir.path().toStdString() + "/blocked";
    std::ofstream(blocked) << "a file where the store's folder should be";
    SetRegistryStorePath(blocked + "/Tessiver.reg");

    CRegistryKey key(kOptions, HKEY_CURRENT_USER);
    key.WriteInt("top", 5);
    key.WriteText("Source Path", "C:\\a.txt");
    EXPECT_EQ(key.ReadInt("top", kDefault), kDefault);
    std::string text = "stale";
    key.ReadText("Source Path", text);
    EXPECT_EQ(text, "");
    EXPECT_FALSE(std::filesystem::exists(blocked + "/Tessiver.reg"));
}
#endif

}  // namespace
