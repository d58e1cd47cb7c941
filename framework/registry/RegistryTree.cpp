#include "framework/registry/RegistryTree.h"

#include <algorithm>

namespace {

unsigned char foldCase(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

}  // namespace

bool registryNamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldCase(x) == foldCase(y);
           });
}

bool registryNameLess(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return foldCase(x) < foldCase(y); });
}

std::size_t RegistryNode::NameHash::operator()(std::string_view name) const noexcept {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : name) {
        hash = (hash ^ foldCase(c)) * 1099511628211ull;
    }
    return static_cast<std::size_t>(hash);
}

std::optional<std::vector<std::string_view>> splitRegistryPath(std::string_view path) {
    if (!path.empty() && path[0] == '\\') {
        return std::nullopt;
    }
    std::vector<std::string_view> components;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            if (i > start) {
                components.push_back(path.substr(start, i - start));
            }
            if (components.size() > kMaxKeyDepth) {
                break;
            }
            start = i + 1;
        } else if (path[i] == '\r' || path[i] == '\n') {
            return std::nullopt;
        }
    }
    return components;
}

KeyPathCheck checkKeyPathLimits(const std::vector<std::string_view>& components) {
    if (components.size() > kMaxKeyDepth) {
        return KeyPathCheck::TooDeep;
    }
    const bool tooLong = std::any_of(components.begin(), components.end(), [](std::string_view c) {
        return c.size() > kMaxKeyNameLength;
    });
    return tooLong ? KeyPathCheck::NameTooLong : KeyPathCheck::Within;
}

std::string RegistryNode::path() const {
    std::vector<const RegistryNode*> chain;
    for (const RegistryNode* key = this; key->m_parent != nullptr; key = key->m_parent) {
        chain.push_back(key);
    }
    std::string out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!out.empty()) {
            out += '\\';
        }
        out += (*it)->m_name;
    }
    return out;
}

RegistryNode* RegistryNode::findSubKey(std::string_view name) const {
    const auto it = m_subKeys.find(name);
    return it == m_subKeys.end() ? nullptr : it->second.get();
}

RegistryNode& RegistryNode::createSubKey(std::string_view name, bool& created) {
    if (RegistryNode* key = findSubKey(name)) {
        return *key;
    }
    auto key = std::make_unique<RegistryNode>(std::string(name), this);
    RegistryNode& added = *key;
    m_subKeys.emplace(added.m_name, std::move(key));
    created = true;
    return added;
}

std::vector<const RegistryNode*> RegistryNode::subKeysInOrder() const {
    std::vector<const RegistryNode*> keys;
    keys.reserve(m_subKeys.size());
    for (const auto& entry : m_subKeys) {
        keys.push_back(entry.second.get());
    }
    std::sort(keys.begin(), keys.end(), [](const RegistryNode* a, const RegistryNode* b) {
        return registryNameLess(a->m_name, b->m_name);
    });
    return keys;
}

const RegistryValue* RegistryNode::findValue(std::string_view name) const {
    const auto it = m_valueIndex.find(name);
    return it == m_valueIndex.end() ? nullptr : &m_values[it->second];
}

void RegistryNode::setValue(std::string_view name, std::uint32_t type, std::string data) {
    if (const auto it = m_valueIndex.find(name); it != m_valueIndex.end()) {
        m_values[it->second].type = type;
        m_values[it->second].data = std::move(data);
        return;
    }
    m_valueIndex.emplace(name, m_values.size());
    m_values.push_back(RegistryValue{std::string(name), type, std::move(data)});
}

bool RegistryNode::deleteValue(std::string_view name) {
    const auto it = m_valueIndex.find(name);
    if (it == m_valueIndex.end()) {
        return false;
    }
    const std::size_t index = it->second;
    m_valueIndex.erase(it);
    m_values.erase(m_values.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& entry : m_valueIndex) {
        if (entry.second > index) {
            --entry.second;
        }
    }
    return true;
}

RegistryNode* RegistryTree::findKey(const std::vector<std::string_view>& components) const {
    RegistryNode* key = m_root.get();
    for (auto it = components.begin(); key != nullptr && it != components.end(); ++it) {
        key = key->findSubKey(*it);
    }
    return key;
}

RegistryNode* RegistryTree::findKey(std::string_view path) const {
    const auto components = splitRegistryPath(path);
    return components ? findKey(*components) : nullptr;
}

RegistryNode& RegistryTree::createKey(const std::vector<std::string_view>& components,
                                      bool& created) {
    created = false;
    RegistryNode* key = m_root.get();
    for (const std::string_view component : components) {
        key = &key->createSubKey(component, created);
    }
    return *key;
}
