#pragma once

// The file that holds the hive outside Windows: read whole, changed only by read-modify-write
// under an inter-process lock, and replaced atomically, so that two running copies lose nothing
// and a crash never leaves half a file.

#ifndef _WIN32
#include <string>

#include "framework/registry/RegistryTree.h"

// A missing file is an empty hive; an unreadable one is an error; one that does not parse (or
// breaks one of the registry's limits) is reported as such so that a writer can set it aside.
struct RegistryLoad {
    enum Status { Loaded, Missing, Unparsable, Unreadable };
    Status status = Missing;
    RegistryTree tree;
};
RegistryLoad loadRegistryFile(const std::string& path);

// Writes a new file beside the old one, flushes it to disk and renames it over the old one, so a
// reader sees either the old or the new file, never part of one.
bool saveRegistryFile(const std::string& path, const RegistryTree& tree);

// Removes what writers killed mid-save left beside the store. Only the lock's holder may call it.
void removeAbandonedSaves(const std::string& path);

// Moves an unparsable file out of the way, to <path>.bad-<date>-<time>[-n].
bool setAsideRegistryFile(const std::string& path);

// Holds the store's inter-process lock (a lock file beside the store) for its lifetime. The lock
// dies with its holder, so a crashed writer never blocks the others.
class RegistryFileLock {
public:
    explicit RegistryFileLock(const std::string& storePath);
    ~RegistryFileLock();
    RegistryFileLock(const RegistryFileLock&) = delete;
    RegistryFileLock& operator=(const RegistryFileLock&) = delete;

    bool isLocked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
#endif
