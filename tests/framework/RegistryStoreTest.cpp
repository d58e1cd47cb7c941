// The per-user store: typed values and their text form, the registry's naming rules and limits,
// and a file that cannot be read, parsed or written. The same store on every platform.
#include <string>
#include <thread>
#include <utility>

#include "tests/framework/StoreFixture.h"

namespace {

using namespace store;

// Each value is stored with its type and bytes exactly, in its text form; saving the file again,
// for another value, carries it over unchanged.
TEST_F(RegistryStoreTest, ValuesKeepTheirTypeAndBytesInTheirTextForm) {
    const struct {
        DWORD type;
        std::string data;
        std::string line;  // how the value appears in the file
    } cases[] = {
        {REG_SZ, "C:\\a \"b\"\0"s, R"("v"="C:\\a \"b\"")"},
        {REG_SZ, "\0"s, R"("v"="")"},
        {REG_SZ, "Gr\xFC\xC3\x9F\0"s, "\"v\"=\"Gr\xFC\xC3\x9F\""},
        {REG_SZ, "a\nb\0"s, R"("v"=hex(1):61,0a,62,00)"},
        {REG_SZ, "ab", R"("v"=hex(1):61,62)"},
        {REG_SZ, "a\0b\0"s, R"("v"=hex(1):61,00,62,00)"},
        {REG_SZ, "", R"("v"=hex(1):)"},
        {REG_DWORD, "\x2a\0\0\0"s, R"("v"=dword:0000002a)"},
        {REG_DWORD, "\xff\xff\xff\xff", R"("v"=dword:ffffffff)"},
        {REG_DWORD, "\x34\x12", R"("v"=hex(4):34,12)"},
        {REG_BINARY, "\x01\xab", R"("v"=hex:01,ab)"},
        {REG_BINARY, "", R"("v"=hex:)"},
        {REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08", R"("v"=hex(b):01,02,03,04,05,06,07,08)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_EQ(setValue(kKey, "v", c.type, c.data), ERROR_SUCCESS);
        EXPECT_NE(readFile(m_store).find("\n" + c.line + "\n"), std::string::npos);
        ASSERT_EQ(setValue(kKey, "other", REG_SZ, c.line + '\0'), ERROR_SUCCESS);
        EXPECT_EQ(queryValue(kKey, "v"), std::make_pair(c.type, c.data));
    }
}

TEST_F(RegistryStoreTest, LongDataIsWrappedAndReadBack) {
    std::string data;
    for (int i = 0; i < 300; ++i) {
        data += static_cast<char>(i);
    }
    ASSERT_EQ(setValue(kKey, "Long \"name\"", REG_BINARY, data), ERROR_SUCCESS);
    std::istringstream lines(readFile(m_store));
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;
    }
    EXPECT_EQ(queryValue(kKey, "long \"NAME\""), typed(REG_BINARY, data));
}

// Names compare without regard to case and keep the case they were first created with.
TEST_F(RegistryStoreTest, FileListsKeysWithTheirParentsInOrderAndNamesInTheirFirstCase) {
    const std::string window = "Software\\Corvessa\\Tessiver\\Window";
    ASSERT_EQ(setValue(window, "top", REG_SZ, "x\0"s), ERROR_SUCCESS);
    ASSERT_EQ(setValue(window, "left", REG_DWORD, "\0\0\0\0"s), ERROR_SUCCESS);
    ASSERT_EQ(setValue("SOFTWARE\\corvessa\\TESSIVER\\window\\", "TOP", REG_DWORD, "\x2a\0\0\0"s),
              ERROR_SUCCESS);
    ASSERT_EQ(
        setValue("software\\corvessa\\tessiver\\Options", "Source Path", REG_SZ, "C:\\a.txt\0"s),
        ERROR_SUCCESS);
    EXPECT_EQ(readFile(m_store),
              "REGEDIT4\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software]\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Corvessa]\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Corvessa\\Tessiver]\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Corvessa\\Tessiver\\Options]\n"
              "\"Source Path\"=\"C:\\\\a.txt\"\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Corvessa\\Tessiver\\Window]\n"
              "\"top\"=dword:0000002a\n"
              "\"left\"=dword:00000000\n"
              "\n");
}

TEST_F(RegistryStoreTest, CreatingAKeyTellsWhetherItIsNew) {
    const std::pair<const char*, DWORD> cases[] = {
        {"Software\\Corvessa", REG_CREATED_NEW_KEY},
        {"SOFTWARE\\corvessa\\Tessiver", REG_CREATED_NEW_KEY},  // below the existing keys
        {"software\\CORVESSA\\tessiver\\", REG_OPENED_EXISTING_KEY}};
    for (const auto& [path, expected] : cases) {
        StoreKey* hKey = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(StoreCreateKeyEx(StoreCurrentUser(), path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                   &hKey, &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, expected) << path;
        StoreCloseKey(hKey);
    }
}

TEST_F(RegistryStoreTest, QueryReportsSizesAndShortBuffers) {
    ASSERT_EQ(setValue(kKey, "text", REG_SZ, "hello\0"s), ERROR_SUCCESS);
    StoreKey* hKey = nullptr;
    ASSERT_EQ(StoreOpenKeyEx(StoreCurrentUser(), kKey.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);

    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(StoreQueryValueEx(hKey, "text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, REG_SZ);

    BYTE buffer[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    size = 5;
    EXPECT_EQ(StoreQueryValueEx(hKey, "text", nullptr, nullptr, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(buffer[0], 0xEE);

    size = 6;
    EXPECT_EQ(StoreQueryValueEx(hKey, "text", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), "hello\0"s);
    EXPECT_EQ(buffer[6], 0xEE);

    EXPECT_EQ(StoreQueryValueEx(hKey, "absent", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(StoreDeleteValue(hKey, "TEXT"), ERROR_SUCCESS);
    EXPECT_EQ(StoreQueryValueEx(hKey, "text", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    StoreCloseKey(hKey);
    EXPECT_EQ(StoreQueryValueEx(nullptr, "text", nullptr, nullptr, nullptr, &size),
              ERROR_INVALID_HANDLE);
}

TEST_F(RegistryStoreTest, ReadsAFileWrittenByHand) {
    writeFile(m_store,
              "REGEDIT4\r\n"
              "\r\n"
              "; written by hand\r\n"
              "[hkey_current_user\\Software\\Corvessa\\Tessiver\\Window]\r\n"
              "@=\"default\"\r\n"
              "\"top\" = dword:2a\r\n"
              "\"blob\"=hex:01,02,\\\r\n"
              "  03,04\r\n");
    EXPECT_TRUE(keyExists("Software\\Corvessa"));
    EXPECT_EQ(queryValue("Software\\Corvessa\\Tessiver\\Window", ""), typed(REG_SZ, "default\0"s));
    EXPECT_EQ(queryValue("Software\\Corvessa\\Tessiver\\Window", "top"),
              typed(REG_DWORD, "\x2a\0\0\0"s));
    EXPECT_EQ(queryValue("Software\\Corvessa\\Tessiver\\Window", "blob"),
              typed(REG_BINARY, "\x01\x02\x03\x04"s));
}

// A path of the given number of levels below HKEY_CURRENT_USER.
std::string deepPath(std::size_t levels) {
    std::string path = "k";
    for (std::size_t i = 1; i < levels; ++i) {
        path += "\\k";
    }
    return path;
}

// What the limits allow is written and read back; one more fails and leaves the file as it was.
TEST_F(RegistryStoreTest, WritingKeepsTheRegistrysLimits) {
    const struct {
        const char* label;
        std::string keyPath;
        std::string valueName;
        LONG expected;
        std::string data = "x\0"s;
    } cases[] = {
        {"key name 255", "Software\\" + std::string(255, 'k'), "v", ERROR_SUCCESS},
        {"key name 256", "Software\\" + std::string(256, 'k'), "v", ERROR_INVALID_PARAMETER},
        {"depth 512", deepPath(512), "v", ERROR_SUCCESS},
        {"depth 513", deepPath(513), "v", ERROR_BADKEY},
        {"value name 16383", "Software", std::string(16383, 'v'), ERROR_SUCCESS},
        {"value name 16384", "Software", std::string(16384, 'v'), ERROR_INVALID_PARAMETER},
        {"data 1 MB", "Software", "v", ERROR_SUCCESS, std::string(1048575, 'd') + '\0'},
        {"data over 1 MB", "Software", "v", ERROR_INVALID_PARAMETER,
         std::string(1048576, 'd') + '\0'},
    };
    ASSERT_EQ(setValue(kKey, "kept", REG_DWORD, "\x05\0\0\0"s), ERROR_SUCCESS);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string before = readFile(m_store);
        EXPECT_EQ(setValue(c.keyPath, c.valueName, REG_SZ, c.data), c.expected);
        if (c.expected == ERROR_SUCCESS) {
            EXPECT_EQ(queryValue(c.keyPath, c.valueName), typed(REG_SZ, c.data));
        } else {
            EXPECT_EQ(readFile(m_store), before);
        }
    }
}

// A file holding one value, which may break a limit.
std::string fileWith(const std::string& keyPath, const std::string& valueName) {
    return "REGEDIT4\n\n[HKEY_CURRENT_USER\\" + keyPath + "]\n\"" + valueName + "\"=\"1\"\n";
}

// ",00" bytes after a first one, wrapped over continuation lines as the store writes them.
std::string hexLines(std::size_t bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes; ++i) {
        text += i % 24 == 0 ? ",\\\n  00" : ",00";
    }
    return text + "\n";
}

// A file that cannot be read: reading finds nothing and leaves it alone; the first write sets it
// aside before a fresh file is written.
TEST_F(RegistryStoreTest, ACorruptFileIsSetAsideBeforeAFreshFileIsWritten) {
    const std::pair<const char*, std::string> cases[] = {
        {"NoHeader", "[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"1\"\n"},
        {"Binary",
         "\x7f"
         "ELF\x02\x01\x01\0\0\0"s},
        {"ValueOutsideSection", "REGEDIT4\n\n\"a\"=\"1\"\n"},
        {"OtherHive", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\X]\n"},
        {"UnclosedSection", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X\n"},
        {"UnclosedQuote", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"1\n"},
        {"UnknownEscape", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"\\n\"\n"},
        {"BadDword", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=dword:1234567890\n"},
        {"BadHex", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=hex:0g\n"},
        {"CutContinuation", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=hex:01,\\\n"},
        {"KeyNameTooLong", fileWith("Software\\X\\" + std::string(256, 'k'), "a")},
        {"KeyTooDeep", fileWith("Software\\X\\" + deepPath(511), "a")},
        {"ValueNameTooLong", fileWith("Software\\X", std::string(16384, 'v'))},
        // Once read in time growing with the square of its depth.
        {"KeyPath100000Deep", fileWith("Software\\X\\" + deepPath(100000), "a")},
        // Larger than the registry holds: refused, so that it cannot slow every later call.
        {"TextDataOver1MB", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"" +
                                std::string(1048576, 't') + "\"\n"},
        {"HexDataOver1MB",
         "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=hex:00" + hexLines(1048576)}};
    for (const auto& [label, garbage] : cases) {
        SCOPED_TRACE(label);
        fs::remove_all(m_folder);
        writeFile(m_store, garbage);
        EXPECT_FALSE(queryValue("Software\\X", "a").has_value());
        EXPECT_EQ(readFile(m_store), garbage);
        EXPECT_TRUE(setAsideFiles(m_folder).empty());

        ASSERT_EQ(setValue("Software\\Y", "b", REG_SZ, "new\0"s), ERROR_SUCCESS);
        const auto aside = setAsideFiles(m_folder);
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFile(aside[0]), garbage);
        EXPECT_EQ(loadStoreFile(m_store.string()).status, StoreLoad::Loaded);
        EXPECT_FALSE(keyExists("Software\\X"));
        EXPECT_EQ(queryValue("Software\\Y", "b"), typed(REG_SZ, "new\0"s));
    }
}

TEST_F(RegistryStoreTest, ImpossibleLocationFailsQuietly) {
    writeFile(m_folder / "plain-file", "not a folder");
    SetRegistryStorePath((m_folder / "plain-file" / "Tessiver.reg").string());

    StoreKey* hKey = reinterpret_cast<StoreKey*>(std::uintptr_t{1});
    EXPECT_NE(StoreCreateKeyEx(StoreCurrentUser(), kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(hKey, nullptr);
    EXPECT_NE(StoreOpenKeyEx(StoreCurrentUser(), kKey.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
}

TEST_F(RegistryStoreTest, StoreThatCannotBeWrittenStillReads) {
    ASSERT_EQ(setValue(kKey, "kept", REG_DWORD, "\x05\0\0\0"s), ERROR_SUCCESS);
    const std::string before = readFile(m_store);
    // Nobody can take the lock when its file is a folder: every change must fail, reads not.
    const fs::path lock = m_store.string() + ".lock";
    fs::remove(lock);
    fs::create_directory(lock);

    StoreKey* hKey = nullptr;
    ASSERT_EQ(StoreCreateKeyEx(StoreCurrentUser(), kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    const BYTE data[4] = {6, 0, 0, 0};
    EXPECT_NE(StoreSetValueEx(hKey, "kept", 0, REG_DWORD, data, 4), ERROR_SUCCESS);
    StoreCloseKey(hKey);
    EXPECT_NE(setValue(kKey + "\\New", "x", REG_DWORD, "\0\0\0\0"s), ERROR_SUCCESS);
    EXPECT_EQ(queryValue(kKey, "kept"), typed(REG_DWORD, "\x05\0\0\0"s));
    EXPECT_EQ(readFile(m_store), before);
}

// Calls made inside a batch (nested or not) see their own changes, and leave the file alone until
// the batch ends; then everything reaches it in one read-modify-write, merged into what another
// writer saved meanwhile.
TEST_F(RegistryStoreTest, ABatchsChangesReachTheFileTogetherAtItsEnd) {
    ASSERT_EQ(setValue(kKey, "old", REG_DWORD, "\x01\0\0\0"s), ERROR_SUCCESS);
    std::string onDisk = readFile(m_store);
    {
        StoreBeginBatch();
        StoreBeginBatch();
        EXPECT_EQ(setValue(kKey, "a", REG_SZ, "x\0"s), ERROR_SUCCESS);
        StoreEndBatch();
        EXPECT_EQ(setValue(kKey + "\\New", "b", REG_DWORD, "\x02\0\0\0"s), ERROR_SUCCESS);
        StoreKey* hKey = nullptr;
        ASSERT_EQ(StoreOpenKeyEx(StoreCurrentUser(), kKey.c_str(), 0, KEY_READ, &hKey),
                  ERROR_SUCCESS);
        EXPECT_EQ(StoreDeleteValue(hKey, "old"), ERROR_SUCCESS);
        StoreCloseKey(hKey);
        EXPECT_EQ(queryValue(kKey, "a"), typed(REG_SZ, "x\0"s));
        EXPECT_EQ(queryValue(kKey + "\\New", "b"), typed(REG_DWORD, "\x02\0\0\0"s));
        EXPECT_FALSE(queryValue(kKey, "old").has_value());
        EXPECT_EQ(readFile(m_store), onDisk);
        // Another thread is outside the batch, as another copy of the program is.
        std::thread([] { setValue(kKey, "other", REG_SZ, "y\0"s); }).join();
        EXPECT_NE(readFile(m_store), onDisk);
        onDisk = readFile(m_store);
        EXPECT_FALSE(queryValue(kKey, "other").has_value());  // the batch read the file before
        StoreEndBatch();
    }
    EXPECT_NE(readFile(m_store), onDisk);
    EXPECT_EQ(queryValue(kKey, "a"), typed(REG_SZ, "x\0"s));
    EXPECT_EQ(queryValue(kKey + "\\New", "b"), typed(REG_DWORD, "\x02\0\0\0"s));
    EXPECT_EQ(queryValue(kKey, "other"), typed(REG_SZ, "y\0"s));
    EXPECT_FALSE(queryValue(kKey, "old").has_value());
}

}  // namespace
