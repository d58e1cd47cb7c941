// The per-user registry store outside Windows: typed values and their text form, the registry's
// naming rules and limits, and the file's safety when several copies write or one dies mid-save.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/registry/Registry.h"
#include "framework/registry/RegistryFile.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<fs::path> setAsideFiles(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("Tessiver.reg.bad-")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

LONG setValue(const std::string& keyPath, const std::string& name, DWORD type,
              const std::string& data) {
    HKEY hKey = nullptr;
    LONG result = RegCreateKeyEx(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
    if (result == ERROR_SUCCESS) {
        result =
            RegSetValueEx(hKey, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
        RegCloseKey(hKey);
    }
    return result;
}

// The value's type and data, read through a freshly opened key.
std::optional<std::pair<DWORD, std::string>> queryValue(const std::string& keyPath,
                                                        const std::string& name) {
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::pair<DWORD, std::string>> value;
    if (RegQueryValueEx(hKey, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string data(size, '\0');
        if (RegQueryValueEx(hKey, name.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
            data.resize(size);
            value.emplace(type, data);
        }
    }
    RegCloseKey(hKey);
    return value;
}

bool keyExists(const std::string& keyPath) {
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(hKey);
    return true;
}

// A child process running body, ending with body's result without running anything of this
// process's teardown. A child still running when the test ends is killed.
class ChildProcess {
public:
    explicit ChildProcess(const std::function<int()>& body) : m_pid(fork()) {
        if (m_pid == 0) {
            _exit(body());
        }
    }
    ~ChildProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            wait();
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    void killNow() { kill(m_pid, SIGKILL); }

    // The exit code, or -1 when it did not exit normally.
    int wait() {
        int status = 0;
        const bool reaped = waitpid(m_pid, &status, 0) == m_pid;
        m_pid = -1;
        return reaped && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid;
};

// Points the store at a scratch folder for one test and puts the previous location back after.
class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = GetRegistryStorePath();
        m_folder = fs::path(m_dir.path().toStdString()) / "Corvessa";
        m_store = m_folder / "Tessiver.reg";
        SetRegistryStorePath(m_store.string());
    }
    void TearDown() override { SetRegistryStorePath(m_previous); }

    QTemporaryDir m_dir;
    std::string m_previous;
    fs::path m_folder;
    fs::path m_store;
};

const std::string kKey = "Software\\Corvessa\\Tessiver\\Test";

struct ValueCase {
    const char* label;
    DWORD type;
    std::string data;
    std::string line;  // how the value appears in the file
};

class ValueRoundTripTest : public RegistryStoreTest,
                           public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueRoundTripTest, StoresTypeAndBytesExactlyInItsTextForm) {
    const ValueCase& c = GetParam();
    ASSERT_EQ(setValue(kKey, "v", c.type, c.data), ERROR_SUCCESS);
    EXPECT_NE(readFile(m_store).find("\n" + c.line + "\n"), std::string::npos) << readFile(m_store);

    // Saving the file again, for another value, must carry this one over unchanged.
    ASSERT_EQ(setValue(kKey, "other", REG_SZ, "x\0"s), ERROR_SUCCESS);
    EXPECT_EQ(queryValue(kKey, "v"), std::make_pair(c.type, c.data));
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueRoundTripTest,
    ::testing::Values(
        ValueCase{"Text", REG_SZ, "C:\\a \"b\"\0"s, R"("v"="C:\\a \"b\"")"},
        ValueCase{"EmptyText", REG_SZ, "\0"s, R"("v"="")"},
        ValueCase{"NonAsciiText", REG_SZ, "Gr\xFC\xC3\x9F\0"s, "\"v\"=\"Gr\xFC\xC3\x9F\""},
        ValueCase{"TextWithNewline", REG_SZ, "a\nb\0"s, R"("v"=hex(1):61,0a,62,00)"},
        ValueCase{"TextWithoutNull", REG_SZ, "ab", R"("v"=hex(1):61,62)"},
        ValueCase{"TextWithInnerNull", REG_SZ, "a\0b\0"s, R"("v"=hex(1):61,00,62,00)"},
        ValueCase{"EmptyTextData", REG_SZ, "", R"("v"=hex(1):)"},
        ValueCase{"Dword", REG_DWORD, "\x2a\0\0\0"s, R"("v"=dword:0000002a)"},
        ValueCase{"DwordAllBits", REG_DWORD, "\xff\xff\xff\xff", R"("v"=dword:ffffffff)"},
        ValueCase{"ShortDword", REG_DWORD, "\x34\x12", R"("v"=hex(4):34,12)"},
        ValueCase{"Binary", REG_BINARY, "\x01\xab", R"("v"=hex:01,ab)"},
        ValueCase{"EmptyBinary", REG_BINARY, "", R"("v"=hex:)"},
        ValueCase{"Qword", REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08",
                  R"("v"=hex(b):01,02,03,04,05,06,07,08)"}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.label); });

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
    EXPECT_EQ(queryValue(kKey, "long \"NAME\""), std::make_pair(REG_BINARY, data));
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
        HKEY hKey = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                 &hKey, &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, expected) << path;
        RegCloseKey(hKey);
    }
}

TEST_F(RegistryStoreTest, QueryReportsSizesAndShortBuffers) {
    ASSERT_EQ(setValue(kKey, "text", REG_SZ, "hello\0"s), ERROR_SUCCESS);
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);

    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(hKey, "text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, REG_SZ);

    BYTE buffer[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    size = 5;
    EXPECT_EQ(RegQueryValueEx(hKey, "text", nullptr, nullptr, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(buffer[0], 0xEE);

    size = 6;
    EXPECT_EQ(RegQueryValueEx(hKey, "text", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), "hello\0"s);
    EXPECT_EQ(buffer[6], 0xEE);

    EXPECT_EQ(RegQueryValueEx(hKey, "absent", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValue(hKey, "TEXT"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(hKey, "text", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(hKey);
    EXPECT_EQ(RegQueryValueEx(nullptr, "text", nullptr, nullptr, nullptr, &size),
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
    EXPECT_EQ(queryValue("Software\\Corvessa\\Tessiver\\Window", ""),
              std::make_pair(REG_SZ, "default\0"s));
    EXPECT_EQ(queryValue("Software\\Corvessa\\Tessiver\\Window", "top"),
              std::make_pair(REG_DWORD, "\x2a\0\0\0"s));
    EXPECT_EQ(queryValue("Software\\Corvessa\\Tessiver\\Window", "blob"),
              std::make_pair(REG_BINARY, "\x01\x02\x03\x04"s));
}

// A path of the given number of levels below HKEY_CURRENT_USER.
std::string deepPath(std::size_t levels) {
    std::string path = "k";
    for (std::size_t i = 1; i < levels; ++i) {
        path += "\\k";
    }
    return path;
}

struct LimitCase {
    const char* label;
    std::string keyPath;
    std::string valueName;
    LONG expected;
    std::string data = "x\0"s;
};

class LimitTest : public RegistryStoreTest, public ::testing::WithParamInterface<LimitCase> {};

// What the limits allow is written and read back; one more fails and leaves the file as it was.
TEST_P(LimitTest, WritingKeepsTheRegistrysLimits) {
    const LimitCase& c = GetParam();
    ASSERT_EQ(setValue(kKey, "kept", REG_DWORD, "\x05\0\0\0"s), ERROR_SUCCESS);
    const std::string before = readFile(m_store);
    EXPECT_EQ(setValue(c.keyPath, c.valueName, REG_SZ, c.data), c.expected);
    if (c.expected == ERROR_SUCCESS) {
        EXPECT_EQ(queryValue(c.keyPath, c.valueName), std::make_pair(REG_SZ, c.data));
    } else {
        EXPECT_EQ(readFile(m_store), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, LimitTest,
    ::testing::Values(
        LimitCase{"KeyName255", "Software\\" + std::string(255, 'k'), "v", ERROR_SUCCESS},
        LimitCase{"KeyName256", "Software\\" + std::string(256, 'k'), "v", ERROR_INVALID_PARAMETER},
        LimitCase{"Depth512", deepPath(512), "v", ERROR_SUCCESS},
        LimitCase{"Depth513", deepPath(513), "v", ERROR_BADKEY},
        LimitCase{"ValueName16383", "Software", std::string(16383, 'v'), ERROR_SUCCESS},
        LimitCase{"ValueName16384", "Software", std::string(16384, 'v'), ERROR_INVALID_PARAMETER},
        LimitCase{"Data1MB", "Software", "v", ERROR_SUCCESS, std::string(1048575, 'd') + '\0'},
        LimitCase{"DataOver1MB", "Software", "v", ERROR_INVALID_PARAMETER,
                  std::string(1048576, 'd') + '\0'}),
    [](const ::testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.label); });

struct CorruptCase {
    const char* label;
    std::string text;
};

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

class CorruptFileTest : public RegistryStoreTest,
                        public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptFileTest, IsSetAsideBeforeAFreshFileIsWritten) {
    const std::string garbage = GetParam().text;
    writeFile(m_store, garbage);

    // Reading finds nothing and leaves the file alone.
    EXPECT_FALSE(queryValue("Software\\X", "a").has_value());
    EXPECT_EQ(readFile(m_store), garbage);
    EXPECT_TRUE(setAsideFiles(m_folder).empty());

    ASSERT_EQ(setValue("Software\\Y", "b", REG_SZ, "new\0"s), ERROR_SUCCESS);
    const auto aside = setAsideFiles(m_folder);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(aside[0]), garbage);
    EXPECT_EQ(loadRegistryFile(m_store.string()).status, RegistryLoad::Loaded);
    EXPECT_FALSE(keyExists("Software\\X"));
    EXPECT_EQ(queryValue("Software\\Y", "b"), std::make_pair(REG_SZ, "new\0"s));
}

INSTANTIATE_TEST_SUITE_P(
    Files, CorruptFileTest,
    ::testing::Values(
        CorruptCase{"NoHeader", "[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"1\"\n"},
        CorruptCase{"Binary",
                    "\x7f"
                    "ELF\x02\x01\x01\0\0\0"s},
        CorruptCase{"ValueOutsideSection", "REGEDIT4\n\n\"a\"=\"1\"\n"},
        CorruptCase{"OtherHive", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\X]\n"},
        CorruptCase{"UnclosedSection", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X\n"},
        CorruptCase{"UnclosedQuote", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"1\n"},
        CorruptCase{"UnknownEscape",
                    "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"\\n\"\n"},
        CorruptCase{"BadDword",
                    "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=dword:1234567890\n"},
        CorruptCase{"BadHex", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=hex:0g\n"},
        CorruptCase{"CutContinuation",
                    "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=hex:01,\\\n"},
        CorruptCase{"KeyNameTooLong", fileWith("Software\\X\\" + std::string(256, 'k'), "a")},
        CorruptCase{"KeyTooDeep", fileWith("Software\\X\\" + deepPath(511), "a")},
        CorruptCase{"ValueNameTooLong", fileWith("Software\\X", std::string(16384, 'v'))},
        // Once read in time growing with the square of its depth.
        CorruptCase{"KeyPath100000Deep", fileWith("Software\\X\\" + deepPath(100000), "a")},
        // Larger than the registry holds: refused, so that it cannot slow every later call.
        CorruptCase{"TextDataOver1MB", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"" +
                                           std::string(1048576, 't') + "\"\n"},
        CorruptCase{"HexDataOver1MB", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=hex:00" +
                                          hexLines(1048576)}),
    [](const ::testing::TestParamInfo<CorruptCase>& info) {
        return std::string(info.param.label);
    });

TEST_F(RegistryStoreTest, ImpossibleLocationFailsQuietly) {
    writeFile(m_folder / "plain-file", "not a folder");
    SetRegistryStorePath((m_folder / "plain-file" / "Tessiver.reg").string());

    HKEY hKey = reinterpret_cast<HKEY>(std::uintptr_t{1});
    EXPECT_NE(RegCreateKeyEx(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(hKey, nullptr);
    EXPECT_NE(RegOpenKeyEx(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
    EXPECT_FALSE(RegWriteProfileInt("Software\\Corvessa\\Tessiver", "Settings", "PreviewPages", 1));
    EXPECT_EQ(RegGetProfileInt("Software\\Corvessa\\Tessiver", "Settings", "PreviewPages", 9), 9);
}

TEST_F(RegistryStoreTest, StoreThatCannotBeWrittenStillReads) {
    ASSERT_EQ(setValue(kKey, "kept", REG_DWORD, "\x05\0\0\0"s), ERROR_SUCCESS);
    const std::string before = readFile(m_store);
    // Nobody can take the lock when its file is a folder: every change must fail, reads not.
    const fs::path lock = m_store.string() + ".lock";
    fs::remove(lock);
    fs::create_directory(lock);

    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    const BYTE data[4] = {6, 0, 0, 0};
    EXPECT_NE(RegSetValueEx(hKey, "kept", 0, REG_DWORD, data, 4), ERROR_SUCCESS);
    RegCloseKey(hKey);
    EXPECT_NE(setValue(kKey + "\\New", "x", REG_DWORD, "\0\0\0\0"s), ERROR_SUCCESS);
    EXPECT_EQ(queryValue(kKey, "kept"), std::make_pair(REG_DWORD, "\x05\0\0\0"s));
    EXPECT_EQ(readFile(m_store), before);
}

// Calls made inside a batch (nested or not) see their own changes, and leave the file alone until
// the batch ends; then everything reaches it in one read-modify-write, merged into what another
// writer saved meanwhile.
TEST_F(RegistryStoreTest, ABatchsChangesReachTheFileTogetherAtItsEnd) {
    ASSERT_EQ(setValue(kKey, "old", REG_DWORD, "\x01\0\0\0"s), ERROR_SUCCESS);
    std::string onDisk = readFile(m_store);
    {
        const RegistryBatch batch;
        {
            const RegistryBatch inner;
            EXPECT_EQ(setValue(kKey, "a", REG_SZ, "x\0"s), ERROR_SUCCESS);
        }
        EXPECT_EQ(setValue(kKey + "\\New", "b", REG_DWORD, "\x02\0\0\0"s), ERROR_SUCCESS);
        HKEY hKey = nullptr;
        ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
        EXPECT_EQ(RegDeleteValue(hKey, "old"), ERROR_SUCCESS);
        RegCloseKey(hKey);
        EXPECT_EQ(queryValue(kKey, "a"), std::make_pair(REG_SZ, "x\0"s));
        EXPECT_EQ(queryValue(kKey + "\\New", "b"), std::make_pair(REG_DWORD, "\x02\0\0\0"s));
        EXPECT_FALSE(queryValue(kKey, "old").has_value());
        EXPECT_EQ(readFile(m_store), onDisk);
        // Another thread is outside the batch, as another copy of the program is.
        std::thread([] { setValue(kKey, "other", REG_SZ, "y\0"s); }).join();
        EXPECT_NE(readFile(m_store), onDisk);
        onDisk = readFile(m_store);
        EXPECT_FALSE(queryValue(kKey, "other").has_value());  // the batch read the file before
    }
    EXPECT_NE(readFile(m_store), onDisk);
    EXPECT_EQ(queryValue(kKey, "a"), std::make_pair(REG_SZ, "x\0"s));
    EXPECT_EQ(queryValue(kKey + "\\New", "b"), std::make_pair(REG_DWORD, "\x02\0\0\0"s));
    EXPECT_EQ(queryValue(kKey, "other"), std::make_pair(REG_SZ, "y\0"s));
    EXPECT_FALSE(queryValue(kKey, "old").has_value());
}

TEST_F(RegistryStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kWrites = 200;
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const auto writeMany = [](const char* prefix) {
        int failures = 0;
        for (int i = 0; i < kWrites; ++i) {
            const std::string n = std::to_string(i);
            failures += setValue(kKey, prefix + n, REG_SZ, n + '\0') != ERROR_SUCCESS;
        }
        return failures;
    };
    ChildProcess child([&] {
        char byte = 0;
        close(go[1]);
        if (read(go[0], &byte, 1) != 1) {
            return 2;
        }
        return writeMany("child") == 0 ? 0 : 1;
    });
    ASSERT_TRUE(child.started());
    close(go[0]);
    ASSERT_EQ(write(go[1], "g", 1), 1);
    close(go[1]);
    const int failures = writeMany("parent");
    ASSERT_EQ(child.wait(), 0);
    EXPECT_EQ(failures, 0);

    const RegistryLoad load = loadRegistryFile(m_store.string());
    ASSERT_EQ(load.status, RegistryLoad::Loaded);
    const RegistryKey* key = load.tree.findKey(kKey);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values().size(), 2u * kWrites);
    for (int i = 0; i < kWrites; ++i) {
        const std::string n = std::to_string(i);
        for (const char* prefix : {"child", "parent"}) {
            const RegistryValue* value = key->findValue(prefix + n);
            ASSERT_NE(value, nullptr) << prefix << n;
            EXPECT_EQ(value->data, n + '\0');
        }
    }
}

void expectWholeBlob(const fs::path& store, std::size_t size) {
    const RegistryLoad load = loadRegistryFile(store.string());
    ASSERT_EQ(load.status, RegistryLoad::Loaded);
    const RegistryKey* key = load.tree.findKey(kKey);
    ASSERT_NE(key, nullptr);
    const RegistryValue* blob = key->findValue("blob");
    ASSERT_NE(blob, nullptr);
    ASSERT_EQ(blob->data.size(), size);
    EXPECT_EQ(blob->data, std::string(size, blob->data[0]));
}

TEST_F(RegistryStoreTest, WriterKilledMidSaveLeavesAWholeFile) {
    // A large value makes each save long enough for the kill to land inside one.
    constexpr std::size_t kBlobSize = 64 * 1024;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        int saved[2];
        ASSERT_EQ(pipe(saved), 0);
        ChildProcess child([&] {
            close(saved[0]);
            for (int i = 0;; ++i) {
                const std::string blob(kBlobSize, static_cast<char>(i));
                const bool ok = setValue(kKey, "blob", REG_BINARY, blob) == ERROR_SUCCESS;
                if (i == 0 && (!ok || write(saved[1], "s", 1) != 1)) {
                    return 1;
                }
            }
        });
        ASSERT_TRUE(child.started());
        close(saved[1]);
        // Once it has saved, every read while it goes on saving sees one whole file; then it is
        // killed wherever it is and the file must still be whole.
        char ack = 0;
        ASSERT_EQ(read(saved[0], &ack, 1), 1);
        for (int i = 0; i < 30; ++i) {
            expectWholeBlob(m_store, kBlobSize);
        }
        child.killNow();
        child.wait();
        close(saved[0]);
        expectWholeBlob(m_store, kBlobSize);
    }
    // The dead writer's lock went with it, and the next save clears what it left half written.
    EXPECT_EQ(setValue(kKey, "after", REG_DWORD, "\x01\0\0\0"s), ERROR_SUCCESS);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(m_folder)) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Tessiver.reg", "Tessiver.reg.lock"}));
}

struct LocationCase {
    const char* label;
    std::optional<std::string> xdg;  // XDG_CONFIG_HOME; "@/" stands for the scratch folder
    std::string expected;            // relative to the scratch folder
};

class StoreLocationTest : public ::testing::TestWithParam<LocationCase> {};

// Restores one environment variable when it goes out of scope.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : m_name(name) {
        if (const char* value = std::getenv(name)) {
            m_value = value;
        }
    }
    ~SavedVariable() {
        if (m_value) {
            setenv(m_name, m_value->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_value;
};

TEST_P(StoreLocationTest, FollowsTheConfigurationFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string scratch = dir.path().toStdString();
    const SavedVariable home("HOME");
    const SavedVariable xdg("XDG_CONFIG_HOME");
    const std::string previous = GetRegistryStorePath();
    SetRegistryStorePath("");
    setenv("HOME", scratch.c_str(), 1);
    if (GetParam().xdg) {
        std::string value = *GetParam().xdg;
        if (value.starts_with("@/")) {
            value.replace(0, 1, scratch);
        }
        setenv("XDG_CONFIG_HOME", value.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    // No file before the application names itself; then one named after its key.
    EXPECT_EQ(GetRegistryStorePath(), "");
    RegSetStoreOwner("Corvessa", "Tessiver");
    const std::string path = GetRegistryStorePath();
    const bool written = RegWriteProfileInt("Software\\Corvessa\\Tessiver", "Settings", "x", 1);
    RegSetStoreOwner("", "");
    SetRegistryStorePath(previous);

    EXPECT_EQ(path, scratch + "/" + GetParam().expected);
    EXPECT_TRUE(written);
    EXPECT_TRUE(fs::exists(scratch + "/" + GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, StoreLocationTest,
    ::testing::Values(LocationCase{"Xdg", "@/config", "config/Corvessa/Tessiver.reg"},
                      LocationCase{"NoXdg", std::nullopt, ".config/Corvessa/Tessiver.reg"},
                      LocationCase{"EmptyXdg", "", ".config/Corvessa/Tessiver.reg"},
                      LocationCase{"RelativeXdg", "relative", ".config/Corvessa/Tessiver.reg"}),
    [](const ::testing::TestParamInfo<LocationCase>& info) {
        return std::string(info.param.label);
    });

TEST_F(RegistryStoreTest, ProfileEntriesLiveInSectionsBelowTheProfileKey) {
    const std::string profile = "Software\\Corvessa\\Tessiver";
    EXPECT_EQ(RegGetProfileString(profile, "Recent File List", "File1", "none"), "none");
    EXPECT_FALSE(keyExists(profile + "\\Recent File List"));  // reading creates nothing

    ASSERT_TRUE(RegWriteProfileString(profile, "Recent File List", "File1", "C:\\a.txt"));
    ASSERT_TRUE(RegWriteProfileInt(profile, "Settings", "PreviewPages", 1));
    ASSERT_TRUE(RegWriteProfileInt(profile, "Window\\Toolbar-Bar0", "XPos", -2));
    EXPECT_EQ(RegGetProfileString(profile, "recent file list", "file1", ""), "C:\\a.txt");
    EXPECT_EQ(RegGetProfileInt(profile, "Settings", "PreviewPages", 0), 1);
    EXPECT_EQ(RegGetProfileInt(profile, "Window\\Toolbar-Bar0", "XPos", 0), -2);
    EXPECT_TRUE(keyExists(profile + "\\Window\\Toolbar-Bar0"));
    // Entries of the other kind read as absent.
    EXPECT_EQ(RegGetProfileInt(profile, "Recent File List", "File1", 7), 7);
    EXPECT_EQ(RegGetProfileString(profile, "Settings", "PreviewPages", "d"), "d");

    EXPECT_TRUE(RegDeleteProfileEntry(profile, "Recent File List", "File1"));
    EXPECT_EQ(RegGetProfileString(profile, "Recent File List", "File1", "gone"), "gone");
}

}  // namespace
#endif
