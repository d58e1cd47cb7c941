#include "framework/registry/RegistryStore.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "framework/registry/RegistryTree.h"
#include "framework/registry/StoreFile.h"

// An open key of the store names its key by path; the store file is read afresh at every call,
// so a handle stays meaningful whatever other copies of the program write meanwhile.
struct StoreKey {
    std::string path;
};

namespace {

// The only state the store keeps between calls is where it lives, which tests change. It is read
// and written under its own mutex.
struct StoreLocation {
    std::mutex mutex;
    std::string overridePath;
    std::string owner;  // "<company>/<application>", as the application names itself
};

StoreLocation& storeLocation() {
    static StoreLocation location;
    return location;
}

// Runs one registry call so that no exception leaves it: a failed allocation is an error code.
template <class Call>
LONG guarded(Call call) noexcept {
    try {
        return call();
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}

bool isPredefinedKey(StoreKey* hKey) {
    const auto value = reinterpret_cast<std::uintptr_t>(hKey);
    return value >= 0x80000000u && value <= 0x8000000Fu;
}

// The path below the root (the current user's hive) that hKey names.
std::optional<std::string> keyPathOf(StoreKey* hKey, LONG& error) {
    if (hKey == nullptr) {
        error = ERROR_INVALID_HANDLE;
        return std::nullopt;
    }
    if (hKey == StoreCurrentUser()) {
        return std::string();
    }
    if (isPredefinedKey(hKey)) {
        error = ERROR_ACCESS_DENIED;  // the store holds only the current user's hive
        return std::nullopt;
    }
    return hKey->path;
}

// The components of hKey's path followed by those of lpSubKey; on failure the registry's error
// for a malformed path or one that breaks a limit.
std::optional<std::vector<std::string_view>> fullPath(const std::string& base, const char* lpSubKey,
                                                      LONG& error) {
    auto components = splitRegistryPath(base);
    const auto sub = splitRegistryPath(lpSubKey != nullptr ? lpSubKey : "");
    if (!components || !sub) {
        error = ERROR_BAD_PATHNAME;
        return std::nullopt;
    }
    components->insert(components->end(), sub->begin(), sub->end());
    switch (checkKeyPathLimits(*components)) {
        case KeyPathCheck::NameTooLong:
            error = ERROR_INVALID_PARAMETER;
            return std::nullopt;
        case KeyPathCheck::TooDeep:
            error = ERROR_BADKEY;
            return std::nullopt;
        case KeyPathCheck::Within:
            break;
    }
    return components;
}

// One change of the hive: applied to the tree, it says whether it changed anything and returns
// the call's result. It owns what it needs, since a batch applies it again at its end.
using Change = std::function<LONG(RegistryTree& tree, bool& changed)>;

// The registry calls of one thread between the first StoreBeginBatch and the last StoreEndBatch: the
// hive read once, the changes applied to that copy as they are made and kept, to be applied
// again to the latest file at the end, in one read-modify-write.
struct Batch {
    int depth = 0;
    std::optional<std::string> path;  // the store read, once something was read
    StoreLoad::Status status = StoreLoad::Missing;
    RegistryTree tree;
    std::vector<Change> changes;
};

thread_local Batch t_batch;

// The batch that serves calls on the store at path, read on first use; null outside a batch, or
// when the store was moved during it (tests do).
Batch* activeBatch(const std::string& path) {
    if (t_batch.depth == 0) {
        return nullptr;
    }
    if (!t_batch.path) {
        StoreLoad load = loadStoreFile(path);
        t_batch.path = path;
        t_batch.status = load.status;
        t_batch.tree = std::move(load.tree);
    }
    return *t_batch.path == path ? &t_batch : nullptr;
}

// Calls read(tree) on the hive as it stands: as last saved, or inside a batch with the batch's
// changes. A file that does not parse reads as empty; the next change sets it aside.
template <class Read>
LONG readStore(Read read) {
    const std::string path = GetRegistryStorePath();
    if (path.empty()) {
        return ERROR_PATH_NOT_FOUND;
    }
    if (Batch* batch = activeBatch(path)) {
        return batch->status == StoreLoad::Unreadable ? ERROR_CANTREAD : read(batch->tree);
    }
    StoreLoad load = loadStoreFile(path);
    if (load.status == StoreLoad::Unreadable) {
        return ERROR_CANTREAD;
    }
    return read(load.tree);
}

// Read the latest file under the lock, apply the change, save the result atomically when
// something changed.
LONG readModifyWrite(const std::string& path, const Change& change) {
    const std::filesystem::path folder = PathFromUtf8(path).parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            return ERROR_PATH_NOT_FOUND;
        }
    }
    const StoreFileLock lock(path);
    if (!lock.isLocked()) {
        return ERROR_LOCK_VIOLATION;
    }
    StoreLoad load = loadStoreFile(path);
    if (load.status == StoreLoad::Unreadable) {
        return ERROR_CANTREAD;
    }
    bool changed = false;
    if (load.status == StoreLoad::Unparsable) {
        if (!setAsideStoreFile(path)) {
            return ERROR_CANTWRITE;
        }
        changed = true;  // a fresh file replaces it
    }
    const LONG result = change(load.tree, changed);
    if (changed) {
        RemoveAbandonedReplacements(path);
        if (!saveStoreFile(path, load.tree)) {
            return ERROR_CANTWRITE;
        }
    }
    return result;
}

// One change: at once in its own read-modify-write, or inside a batch to the batch's copy, kept
// for the batch's end. Within a batch a failure to save shows only there, and goes unreported
// like every failure of the store.
LONG modifyStore(Change change) {
    const std::string path = GetRegistryStorePath();
    if (path.empty()) {
        return ERROR_PATH_NOT_FOUND;
    }
    Batch* batch = activeBatch(path);
    if (batch == nullptr) {
        return readModifyWrite(path, change);
    }
    if (batch->status == StoreLoad::Unreadable) {
        return ERROR_CANTREAD;
    }
    bool changed = false;
    const LONG result = change(batch->tree, changed);
    if (changed) {
        batch->changes.push_back(std::move(change));
    }
    return result;
}

std::string joinRegistryPath(const std::vector<std::string_view>& components) {
    std::string path;
    for (const std::string_view component : components) {
        if (!path.empty()) {
            path += '\\';
        }
        path += component;
    }
    return path;
}

}  // namespace

void SetRegistryStorePath(std::string path) {
    StoreLocation& location = storeLocation();
    const std::lock_guard guard(location.mutex);
    location.overridePath = std::move(path);
}

void SetRegistryStoreOwner(const std::string& company, const std::string& application) {
    StoreLocation& location = storeLocation();
    const std::lock_guard guard(location.mutex);
    location.owner = company.empty() || application.empty() ? "" : company + "/" + application;
}

void StoreBeginBatch() {
    ++t_batch.depth;
}

void StoreEndBatch() {
    if (--t_batch.depth > 0) {
        return;
    }
    Batch batch = std::move(t_batch);
    t_batch = Batch();
    if (batch.path && !batch.changes.empty()) {
        try {
            readModifyWrite(*batch.path, [&batch](RegistryTree& tree, bool& changed) {
                for (const Change& change : batch.changes) {
                    bool changedHere = false;
                    change(tree, changedHere);
                    changed = changed || changedHere;
                }
                return ERROR_SUCCESS;
            });
        } catch (...) {
            // Out of memory: the changes are lost, as a failed write's are.
        }
    }
}

std::string GetRegistryStorePath() {
    std::string owner;
    {
        StoreLocation& location = storeLocation();
        const std::lock_guard guard(location.mutex);
        if (!location.overridePath.empty()) {
            return location.overridePath;
        }
        owner = location.owner;
    }
    if (owner.empty()) {
        return std::string();
    }
    std::string config;
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        config = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        config = std::string(home) + "/.config";
    } else {
        return std::string();
    }
    return config + "/" + owner + ".reg";
}

LONG StoreCreateKeyEx(StoreKey* hKey, const char* lpSubKey, DWORD Reserved, char* /*lpClass*/,
                    DWORD /*dwOptions*/, REGSAM /*samDesired*/, void* /*lpSecurityAttributes*/,
                    StoreKey** phkResult, DWORD* lpdwDisposition) {
    return guarded([&]() -> LONG {
        if (phkResult == nullptr) {
            return ERROR_INVALID_PARAMETER;
        }
        *phkResult = nullptr;
        if (Reserved != 0) {
            return ERROR_INVALID_PARAMETER;
        }
        LONG error = ERROR_SUCCESS;
        const auto base = keyPathOf(hKey, error);
        if (!base) {
            return error;
        }
        const auto components = fullPath(*base, lpSubKey, error);
        if (!components) {
            return error;
        }

        // Opening a key that exists writes nothing, so it works in a store that can be read but
        // not written.
        std::optional<std::string> path;
        readStore([&](const RegistryTree& tree) {
            if (const RegistryNode* key = tree.findKey(*components)) {
                path = key->path();
            }
            return ERROR_SUCCESS;
        });
        DWORD disposition = REG_OPENED_EXISTING_KEY;
        if (!path) {
            struct Created {
                std::string path;
                bool created = false;
            };
            auto out = std::make_shared<Created>();
            const LONG result = modifyStore([keyPath = joinRegistryPath(*components), out](
                                                RegistryTree& latest, bool& changed) {
                const auto again = splitRegistryPath(keyPath);
                bool created = false;
                out->path = latest.createKey(*again, created).path();
                out->created = created;
                changed = changed || created;
                return ERROR_SUCCESS;
            });
            if (result != ERROR_SUCCESS) {
                return result;
            }
            path = out->path;
            disposition = out->created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        }
        *phkResult = new StoreKey{std::move(*path)};
        if (lpdwDisposition != nullptr) {
            *lpdwDisposition = disposition;
        }
        return ERROR_SUCCESS;
    });
}

LONG StoreOpenKeyEx(StoreKey* hKey, const char* lpSubKey, DWORD ulOptions, REGSAM /*samDesired*/,
                  StoreKey** phkResult) {
    return guarded([&]() -> LONG {
        if (phkResult == nullptr) {
            return ERROR_INVALID_PARAMETER;
        }
        *phkResult = nullptr;
        if (ulOptions != 0) {
            return ERROR_INVALID_PARAMETER;
        }
        LONG error = ERROR_SUCCESS;
        const auto base = keyPathOf(hKey, error);
        if (!base) {
            return error;
        }
        const auto components = fullPath(*base, lpSubKey, error);
        if (!components) {
            return error;
        }
        return readStore([&](const RegistryTree& tree) {
            const RegistryNode* key = tree.findKey(*components);
            if (key == nullptr) {
                return ERROR_FILE_NOT_FOUND;
            }
            *phkResult = new StoreKey{key->path()};
            return ERROR_SUCCESS;
        });
    });
}

LONG StoreQueryValueEx(StoreKey* hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType,
                     BYTE* lpData, DWORD* lpcbData) {
    return guarded([&]() -> LONG {
        if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
            return ERROR_INVALID_PARAMETER;
        }
        LONG error = ERROR_SUCCESS;
        const auto path = keyPathOf(hKey, error);
        if (!path) {
            return error;
        }
        return readStore([&](const RegistryTree& tree) {
            const RegistryNode* key = tree.findKey(*path);
            const RegistryValue* value =
                key != nullptr ? key->findValue(lpValueName != nullptr ? lpValueName : "")
                               : nullptr;
            if (value == nullptr) {
                return ERROR_FILE_NOT_FOUND;
            }
            const auto size = static_cast<DWORD>(value->data.size());
            if (lpType != nullptr) {
                *lpType = value->type;
            }
            if (lpData != nullptr) {
                if (*lpcbData < size) {
                    *lpcbData = size;
                    return ERROR_MORE_DATA;
                }
                std::memcpy(lpData, value->data.data(), size);
            }
            if (lpcbData != nullptr) {
                *lpcbData = size;
            }
            return ERROR_SUCCESS;
        });
    });
}

LONG StoreSetValueEx(StoreKey* hKey, const char* lpValueName, DWORD Reserved, DWORD dwType,
                   const BYTE* lpData, DWORD cbData) {
    return guarded([&]() -> LONG {
        if (Reserved != 0) {
            return ERROR_INVALID_PARAMETER;
        }
        if (lpData == nullptr && cbData != 0) {
            return ERROR_NOACCESS;
        }
        const std::string_view name = lpValueName != nullptr ? lpValueName : "";
        // The registry holds no longer name or data, and a value line cannot carry a line break
        // in a name.
        if (name.size() > kMaxValueNameLength || cbData > kMaxValueDataSize ||
            name.find_first_of("\r\n") != std::string_view::npos) {
            return ERROR_INVALID_PARAMETER;
        }
        LONG error = ERROR_SUCCESS;
        const auto path = keyPathOf(hKey, error);
        if (!path) {
            return error;
        }
        const auto components = splitRegistryPath(*path);
        if (!components) {
            return ERROR_BAD_PATHNAME;
        }
        return modifyStore([keyPath = *path, name = std::string(name), dwType,
                            data = std::string(reinterpret_cast<const char*>(lpData), cbData)](
                               RegistryTree& tree, bool& changed) {
            // The key is recreated if the file lost it since it was opened (set aside as
            // unparsable, or removed by hand), so the value is not lost.
            bool created = false;
            RegistryNode& key = tree.createKey(*splitRegistryPath(keyPath), created);
            const RegistryValue* old = key.findValue(name);
            if (created || old == nullptr || old->type != dwType || old->data != data) {
                key.setValue(name, dwType, data);
                changed = true;
            }
            return ERROR_SUCCESS;
        });
    });
}

LONG StoreDeleteValue(StoreKey* hKey, const char* lpValueName) {
    return guarded([&]() -> LONG {
        LONG error = ERROR_SUCCESS;
        const auto path = keyPathOf(hKey, error);
        if (!path) {
            return error;
        }
        return modifyStore(
            [keyPath = *path, name = std::string(lpValueName != nullptr ? lpValueName : "")](
                RegistryTree& tree, bool& changed) {
                RegistryNode* key = tree.findKey(keyPath);
                if (key == nullptr || !key->deleteValue(name)) {
                    return ERROR_FILE_NOT_FOUND;
                }
                changed = true;
                return ERROR_SUCCESS;
            });
    });
}

LONG StoreCloseKey(StoreKey* hKey) {
    if (hKey == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (!isPredefinedKey(hKey)) {
        delete hKey;
    }
    return ERROR_SUCCESS;
}
