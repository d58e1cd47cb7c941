#pragma once

// The current user's hive as the per-user store keeps it, in memory: keys with their sub-keys and
// typed values, named as the registry names them (compared without regard to case, kept in the case
// they were first created with). Whatever adds keys or values checks the registry's limits first.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The registry's limits. Names count bytes, as the program's 8-bit strings count characters; a
// name within them here is within them in the registry's own characters too.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxKeyDepth = 512;  // levels below HKEY_CURRENT_USER
constexpr std::size_t kMaxValueNameLength = 16383;
constexpr std::size_t kMaxValueDataSize = 1024 * 1024;  // bytes, in the standard format

// Compares registry names: ASCII letters without regard to case, every other byte exactly.
bool registryNamesEqual(std::string_view a, std::string_view b);
// Orders registry names as the registry editor lists them: bytes, ASCII letters without regard to
// case.
bool registryNameLess(std::string_view a, std::string_view b);

// Splits a sub-key path into its components. Empty components (a trailing or doubled backslash)
// are skipped; a leading backslash or a line break makes the path invalid. A path deeper than the
// limit is split only as far as one level beyond it, which is enough to refuse it.
std::optional<std::vector<std::string_view>> splitRegistryPath(std::string_view path);

enum class KeyPathCheck { Within, NameTooLong, TooDeep };
KeyPathCheck checkKeyPathLimits(const std::vector<std::string_view>& components);

struct RegistryValue {
    std::string name;  // as first created
    std::uint32_t type = 0;
    std::string data;  // raw bytes
};

// Sub-keys and values are found by name through hash indexes, so that reading a file of many
// keys or values, or of deep paths, costs time in proportion to its size.
class RegistryNode {
public:
    RegistryNode(std::string name, RegistryNode* parent)
        : m_name(std::move(name)), m_parent(parent) {}
    RegistryNode(const RegistryNode&) = delete;
    RegistryNode& operator=(const RegistryNode&) = delete;

    const std::string& name() const { return m_name; }
    // Components joined by backslashes, each as first created; the root's path is empty.
    std::string path() const;

    RegistryNode* findSubKey(std::string_view name) const;
    RegistryNode& createSubKey(std::string_view name, bool& created);
    std::vector<const RegistryNode*> subKeysInOrder() const;  // by registryNameLess

    // In the order they were first set.
    const std::vector<RegistryValue>& values() const { return m_values; }
    const RegistryValue* findValue(std::string_view name) const;
    // Replaces the value's type and data, keeping the case of its first name.
    void setValue(std::string_view name, std::uint32_t type, std::string data);
    bool deleteValue(std::string_view name);

private:
    // Hash and compare names as the registry does; a name to look up needs no copy.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const noexcept;
    };
    struct NameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const {
            return registryNamesEqual(a, b);
        }
    };

    std::string m_name;
    RegistryNode* m_parent;
    // Keyed by each sub-key's own name, which stays in place as long as the sub-key.
    std::unordered_map<std::string_view, std::unique_ptr<RegistryNode>, NameHash, NameEqual>
        m_subKeys;
    std::vector<RegistryValue> m_values;
    std::unordered_map<std::string, std::size_t, NameHash, NameEqual> m_valueIndex;
};

class RegistryTree {
public:
    RegistryTree() : m_root(std::make_unique<RegistryNode>(std::string(), nullptr)) {}

    RegistryNode& root() { return *m_root; }
    const RegistryNode& root() const { return *m_root; }

    RegistryNode* findKey(const std::vector<std::string_view>& components) const;
    RegistryNode* findKey(std::string_view path) const;
    // Finds or creates the key, creating missing keys on the way. Keys that exist keep their
    // case. 'created' tells whether any key was added.
    RegistryNode& createKey(const std::vector<std::string_view>& components, bool& created);

private:
    std::unique_ptr<RegistryNode> m_root;  // held apart, so that a tree moves without its keys
};
