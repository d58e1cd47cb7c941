#pragma once

// The current user's hive outside Windows: an in-memory tree of keys and typed values, its text
// form (the registry's text export format, so a person can read it and the registry editor can
// import it), and the file that holds it, changed only by read-modify-write under a lock and
// replaced atomically.

#ifndef _WIN32
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RegistryValue {
    std::string name;  // as first created
    std::uint32_t type = 0;
    std::string data;  // raw bytes
};

struct RegistryKeyNode {
    // Below HKEY_CURRENT_USER, components joined by backslashes, each as first created; the root
    // itself is the empty path.
    std::string path;
    std::vector<RegistryValue> values;
};

// Compares registry names: ASCII letters without regard to case, every other byte exactly.
bool registryNamesEqual(std::string_view a, std::string_view b);

// Splits a sub-key path into its components. Empty components (a trailing or doubled backslash)
// are skipped; a leading backslash or a line break makes the path invalid.
std::optional<std::vector<std::string_view>> splitRegistryPath(std::string_view path);

class RegistryTree {
public:
    RegistryTree();  // holds only the root

    // Reads the text export form; nullopt when the text is not in that form.
    static std::optional<RegistryTree> parse(std::string_view text);
    std::string format() const;

    RegistryKeyNode* findKey(std::string_view path);
    const RegistryKeyNode* findKey(std::string_view path) const;

    // Finds or creates the key named by its components from the root, creating missing keys on
    // the way. Keys that exist keep their case. 'created' tells whether any key was added.
    RegistryKeyNode& createKey(const std::vector<std::string_view>& components, bool& created);

    static const RegistryValue* findValue(const RegistryKeyNode& key, std::string_view name);
    // Replaces the value's type and data, keeping the case of its first name.
    static void setValue(RegistryKeyNode& key, std::string_view name, std::uint32_t type,
                         std::string data);
    static bool deleteValue(RegistryKeyNode& key, std::string_view name);

private:
    RegistryKeyNode& addKey(std::string path);

    std::vector<RegistryKeyNode> m_keys;  // the root first, parents before children
};

// The store file. A missing file is an empty hive; an unreadable one is an error; one that does
// not parse is reported as such so that a writer can set it aside.
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
