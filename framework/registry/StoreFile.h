#pragma once

// The per-user store's file and its lock: read whole, changed only by read-modify-write under an
// inter-process lock, and replaced atomically, so that two running copies lose nothing and a
// crash never leaves half a file.

#include <string>

#include "framework/registry/RegistryTree.h"
#include "platform/File.h"

// A missing file is an empty hive; an unreadable one is an error; one that does not parse (or
// breaks one of the registry's limits) is reported as such so that a writer can set it aside.
struct StoreLoad {
    enum Status { Loaded, Missing, Unparsable, Unreadable };
    Status status = Missing;
    RegistryTree tree;
};
StoreLoad loadStoreFile(const std::string& path);

// Writes a new file beside the old one, flushes it to disk and renames it over the old one, so a
// reader sees either the old or the new file, never part of one.
bool saveStoreFile(const std::string& path, const RegistryTree& tree);

// Moves an unparsable file out of the way, to <path>.bad-<date>-<time>[-n].
bool setAsideStoreFile(const std::string& path);

// Holds the store's inter-process lock (a lock file beside the store) for its lifetime. The lock
// dies with its holder, so a crashed writer never blocks the others. Its holder may remove what
// writers killed mid-save left beside the store (RemoveAbandonedReplacements).
class StoreFileLock {
public:
    explicit StoreFileLock(const std::string& storePath);

    bool isLocked() const { return m_bLocked; }

private:
    CFileLock m_lock;
    bool m_bLocked = false;
};
