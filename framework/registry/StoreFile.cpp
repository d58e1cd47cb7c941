#include "framework/registry/StoreFile.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>
#include <utility>

#include "framework/registry/RegistryText.h"
#include "platform/Clock.h"

StoreLoad loadStoreFile(const std::string& path) {
    StoreLoad load;
    CInputFile file;
    if (!file.Open(path)) {
        load.status = IsMissing(path) ? StoreLoad::Missing : StoreLoad::Unreadable;
        return load;
    }
    std::string text;
    char buffer[16384];
    for (;;) {
        std::size_t got = 0;
        if (!file.Read(buffer, sizeof buffer, got, nullptr)) {
            load.status = StoreLoad::Unreadable;
            return load;
        }
        if (got == 0) {
            break;
        }
        text.append(buffer, got);
    }
    // An empty file holds nobody's settings; it is treated like a missing one.
    if (text.empty()) {
        load.status = StoreLoad::Missing;
        return load;
    }
    if (auto tree = parseRegistryText(text)) {
        load.status = StoreLoad::Loaded;
        load.tree = std::move(*tree);
    } else {
        load.status = StoreLoad::Unparsable;
    }
    return load;
}

bool saveStoreFile(const std::string& path, const RegistryTree& tree) {
    return ReplaceFileContents(path, formatRegistryText(tree));
}

bool setAsideStoreFile(const std::string& path) {
    const std::tm local = LocalTime(std::time(nullptr));
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".bad-" + stamp;
    for (int n = 1; n < 1000; ++n) {
        const std::string target = n == 1 ? base : base + "-" + std::to_string(n);
        if (IsMissing(target)) {
            return RenameFile(path, target);
        }
    }
    return false;
}

StoreFileLock::StoreFileLock(const std::string& storePath) : m_lock(storePath + ".lock") {
    // Another copy holds the lock only for one short read-modify-write. Wait for it, but not for
    // ever: a stopped process must not freeze this one.
    std::chrono::nanoseconds waited{0};
    std::chrono::nanoseconds step = std::chrono::microseconds(500);
    constexpr std::chrono::nanoseconds kGiveUp = std::chrono::seconds(10);
    for (;;) {
        switch (m_lock.TryLock()) {
            case CFileLock::Taken:
                m_bLocked = true;
                return;
            case CFileLock::Failed:
                return;
            case CFileLock::Busy:
                break;
        }
        if (waited >= kGiveUp) {
            return;
        }
        std::this_thread::sleep_for(step);
        waited += step;
        step = std::min<std::chrono::nanoseconds>(step * 2, std::chrono::milliseconds(20));
    }
}
