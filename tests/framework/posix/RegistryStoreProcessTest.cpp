// The per-user store as the registry of a POSIX system: processes writing it at once or dying
// mid-save, its place in the configuration folder, and the application profile kept in it.
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/registry/Registry.h"
#include "tests/framework/StoreFixture.h"

namespace {

using namespace store;

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

    const StoreLoad load = loadStoreFile(m_store.string());
    ASSERT_EQ(load.status, StoreLoad::Loaded);
    const RegistryNode* key = load.tree.findKey(kKey);
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
    const StoreLoad load = loadStoreFile(store.string());
    ASSERT_EQ(load.status, StoreLoad::Loaded);
    const RegistryNode* key = load.tree.findKey(kKey);
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

// The file follows the configuration folder; each case runs in a child process, whose
// environment and store path go with it.
TEST(StoreLocation, FollowsTheConfigurationFolder) {
    const struct {
        std::optional<std::string> xdg;  // XDG_CONFIG_HOME; "@/" stands for the scratch folder
        std::string expected;            // relative to the scratch folder
    } cases[] = {
        {"@/config", "config/Corvessa/Tessiver.reg"},
        {std::nullopt, ".config/Corvessa/Tessiver.reg"},
        {"", ".config/Corvessa/Tessiver.reg"},
        {"relative", ".config/Corvessa/Tessiver.reg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xdg.value_or("unset"));
        const CScratchDir dir;
        const std::string scratch = dir.Path();
        const std::string expected = scratch + "/" + c.expected;
        ChildProcess child([&] {
            SetRegistryStorePath("");
            setenv("HOME", scratch.c_str(), 1);
            if (c.xdg) {
                std::string value = *c.xdg;
                if (value.starts_with("@/")) {
                    value.replace(0, 1, scratch);
                }
                setenv("XDG_CONFIG_HOME", value.c_str(), 1);
            } else {
                unsetenv("XDG_CONFIG_HOME");
            }
            // No file before the application names itself; then one named after its key.
            if (!GetRegistryStorePath().empty()) {
                return 1;
            }
            RegSetStoreOwner("Corvessa", "Tessiver");
            if (GetRegistryStorePath() != expected) {
                return 2;
            }
            return RegWriteProfileInt("Software\\Corvessa\\Tessiver", "Settings", "x", 1) ? 0 : 3;
        });
        ASSERT_TRUE(child.started());
        EXPECT_EQ(child.wait(), 0) << "1: a path too early, 2: another path, 3: not written";
        EXPECT_TRUE(fs::exists(expected));
    }
}

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
