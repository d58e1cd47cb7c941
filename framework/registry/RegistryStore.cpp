#ifndef _WIN32
#include "framework/registry/RegistryStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::uint32_t kTypeText = 1;
constexpr std::uint32_t kTypeBinary = 3;
constexpr std::uint32_t kTypeDword = 4;
// Hex data lines are wrapped, as the registry editor does, to stay readable.
constexpr std::size_t kHexLineWidth = 78;

char foldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           registryNamesEqual(text.substr(0, prefix.size()), prefix);
}

std::string_view trimmed(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && isSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = foldCase(c);
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Reads up to maxDigits hex digits (at least one) as a number.
std::optional<std::uint32_t> parseHexNumber(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) {
        return std::nullopt;
    }
    std::uint32_t n = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) {
            return std::nullopt;
        }
        n = (n << 4) | static_cast<std::uint32_t>(d);
    }
    return n;
}

// Reads a quoted string starting at s[pos] == '"', with \\ and \" as the only escapes; leaves pos
// after the closing quote.
std::optional<std::string> parseQuoted(std::string_view s, std::size_t& pos) {
    if (pos >= s.size() || s[pos] != '"') {
        return std::nullopt;
    }
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\') {
            if (++pos >= s.size() || (s[pos] != '\\' && s[pos] != '"')) {
                return std::nullopt;
            }
        }
        out += s[pos];
    }
    return std::nullopt;
}

std::string quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

// Text data the quoted form carries exactly: one terminating null and no control characters
// (a line break would end the line).
bool isQuotableText(std::string_view data) {
    if (data.empty() || data.back() != '\0') {
        return false;
    }
    data.remove_suffix(1);
    return std::none_of(data.begin(), data.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

std::optional<std::string> parseHexBytes(std::string_view list) {
    std::string bytes;
    list = trimmed(list);
    if (list.empty()) {
        return bytes;
    }
    while (true) {
        const std::size_t comma = list.find(',');
        const auto byte = parseHexNumber(trimmed(list.substr(0, comma)), 2);
        if (!byte) {
            return std::nullopt;
        }
        bytes += static_cast<char>(*byte);
        if (comma == std::string_view::npos) {
            return bytes;
        }
        list.remove_prefix(comma + 1);
    }
}

void appendHex(std::string& out, std::string_view prefix, std::string_view data) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += prefix;
    std::size_t column = prefix.size();
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        std::string piece{kDigits[b >> 4], kDigits[b & 0xF]};
        if (i + 1 < data.size()) {
            piece += ',';
        }
        if (i > 0 && column + piece.size() > kHexLineWidth) {
            out += "\\\n  ";
            column = 2;
        }
        out += piece;
        column += piece.size();
    }
}

void appendValue(std::string& out, const RegistryValue& value) {
    const std::string head = (value.name.empty() ? std::string("@") : quote(value.name)) + "=";
    if (value.type == kTypeText && isQuotableText(value.data)) {
        out += head;
        out += quote(std::string_view(value.data).substr(0, value.data.size() - 1));
    } else if (value.type == kTypeDword && value.data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) {
            n = (n << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
        }
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", n);
        out += head;
        out += text;
    } else if (value.type == kTypeBinary) {
        appendHex(out, head + "hex:", value.data);
    } else {
        char type[24];
        std::snprintf(type, sizeof type, "hex(%x):", value.type);
        appendHex(out, head + type, value.data);
    }
    out += '\n';
}

// Orders keys as the registry editor lists them: parents before children, siblings by name
// without regard to case.
bool keyPathLess(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char ca = a[i] == '\\' ? '\0' : foldCase(a[i]);
        const char cb = b[i] == '\\' ? '\0' : foldCase(b[i]);
        if (ca != cb) {
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
        }
    }
    return a.size() < b.size();
}

// Splits a value line into its name and the data text after '='.
std::optional<std::pair<std::string, std::string_view>> splitValueLine(std::string_view line) {
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
        pos = 1;
    } else if (auto n = parseQuoted(line, pos)) {
        name = std::move(*n);
    } else {
        return std::nullopt;
    }
    const std::string_view rest = trimmed(line.substr(pos));
    if (rest.empty() || rest[0] != '=') {
        return std::nullopt;
    }
    return std::pair{std::move(name), trimmed(rest.substr(1))};
}

bool isHexValueLine(std::string_view line) {
    const auto parts = splitValueLine(line);
    return parts && startsWithNoCase(parts->second, "hex");
}

// Parses one value line (already joined with its continuation lines) into the key.
bool parseValueLine(std::string_view line, RegistryKeyNode& key) {
    auto parts = splitValueLine(line);
    if (!parts) {
        return false;
    }
    const std::string& name = parts->first;
    std::string_view rest = parts->second;
    if (!rest.empty() && rest[0] == '"') {
        std::size_t p = 0;
        auto text = parseQuoted(rest, p);
        if (!text || !trimmed(rest.substr(p)).empty()) {
            return false;
        }
        *text += '\0';
        RegistryTree::setValue(key, name, kTypeText, std::move(*text));
        return true;
    }
    if (startsWithNoCase(rest, "dword:")) {
        const auto n = parseHexNumber(trimmed(rest.substr(6)), 8);
        if (!n) {
            return false;
        }
        std::string data(4, '\0');
        for (std::size_t i = 0; i < 4; ++i) {
            data[i] = static_cast<char>((*n >> (8 * i)) & 0xFF);
        }
        RegistryTree::setValue(key, name, kTypeDword, std::move(data));
        return true;
    }
    if (startsWithNoCase(rest, "hex")) {
        rest.remove_prefix(3);
        std::uint32_t type = kTypeBinary;
        if (!rest.empty() && rest[0] == '(') {
            const std::size_t close = rest.find(')');
            if (close == std::string_view::npos) {
                return false;
            }
            const auto t = parseHexNumber(rest.substr(1, close - 1), 8);
            if (!t) {
                return false;
            }
            type = *t;
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest[0] != ':') {
            return false;
        }
        auto bytes = parseHexBytes(rest.substr(1));
        if (!bytes) {
            return false;
        }
        RegistryTree::setValue(key, name, type, std::move(*bytes));
        return true;
    }
    return false;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

bool registryNamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldCase(x) == foldCase(y);
           });
}

std::optional<std::vector<std::string_view>> splitRegistryPath(std::string_view path) {
    std::vector<std::string_view> components;
    if (!path.empty() && path[0] == '\\') {
        return std::nullopt;
    }
    if (path.find_first_of("\r\n") != std::string_view::npos) {
        return std::nullopt;
    }
    while (!path.empty()) {
        const std::size_t slash = path.find('\\');
        const std::string_view component = path.substr(0, slash);
        if (!component.empty()) {
            components.push_back(component);
        }
        if (slash == std::string_view::npos) {
            break;
        }
        path.remove_prefix(slash + 1);
    }
    return components;
}

RegistryTree::RegistryTree() : m_keys(1) {}

std::optional<RegistryTree> RegistryTree::parse(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    if (lines.empty() || trimmed(lines[0]) != kHeader) {
        return std::nullopt;
    }

    RegistryTree tree;
    std::optional<std::size_t> current;  // index of the section's key
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = trimmed(lines[i]);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                return std::nullopt;
            }
            const std::string_view name = line.substr(1, line.size() - 2);
            if (!startsWithNoCase(name, kRootName)) {
                return std::nullopt;
            }
            std::string_view sub = name.substr(kRootName.size());
            if (!sub.empty() && sub[0] != '\\') {
                return std::nullopt;
            }
            const auto components = splitRegistryPath(sub.empty() ? sub : sub.substr(1));
            if (!components) {
                return std::nullopt;
            }
            bool created = false;
            const std::string path = tree.createKey(*components, created).path;
            current = static_cast<std::size_t>(tree.findKey(path) - tree.m_keys.data());
            continue;
        }
        if ((line[0] != '"' && line[0] != '@') || !current) {
            return std::nullopt;
        }
        // A hex list may go on over lines that end in a backslash.
        std::string joined(line);
        const bool isHex = isHexValueLine(line);
        while (isHex && !joined.empty() && joined.back() == '\\') {
            joined.pop_back();
            if (++i >= lines.size()) {
                return std::nullopt;
            }
            joined += trimmed(lines[i]);
        }
        if (!parseValueLine(joined, tree.m_keys[*current])) {
            return std::nullopt;
        }
    }
    return tree;
}

std::string RegistryTree::format() const {
    std::vector<const RegistryKeyNode*> keys;
    for (const RegistryKeyNode& key : m_keys) {
        keys.push_back(&key);
    }
    std::sort(keys.begin(), keys.end(), [](const RegistryKeyNode* a, const RegistryKeyNode* b) {
        return keyPathLess(a->path, b->path);
    });

    std::string out(kHeader);
    out += "\n\n";
    for (const RegistryKeyNode* key : keys) {
        // The root always exists; it has a section only when it holds values.
        if (key->path.empty() && key->values.empty()) {
            continue;
        }
        out += '[';
        out += kRootName;
        if (!key->path.empty()) {
            out += '\\';
            out += key->path;
        }
        out += "]\n";
        for (const RegistryValue& value : key->values) {
            appendValue(out, value);
        }
        out += '\n';
    }
    return out;
}

RegistryKeyNode* RegistryTree::findKey(std::string_view path) {
    const auto it = std::find_if(m_keys.begin(), m_keys.end(), [&](const RegistryKeyNode& key) {
        return registryNamesEqual(key.path, path);
    });
    return it == m_keys.end() ? nullptr : &*it;
}

const RegistryKeyNode* RegistryTree::findKey(std::string_view path) const {
    return const_cast<RegistryTree*>(this)->findKey(path);
}

RegistryKeyNode& RegistryTree::addKey(std::string path) {
    m_keys.push_back(RegistryKeyNode{std::move(path), {}});
    return m_keys.back();
}

RegistryKeyNode& RegistryTree::createKey(const std::vector<std::string_view>& components,
                                         bool& created) {
    created = false;
    std::string path;
    for (const std::string_view component : components) {
        std::string candidate = path;
        if (!candidate.empty()) {
            candidate += '\\';
        }
        candidate += component;
        if (const RegistryKeyNode* key = findKey(candidate)) {
            path = key->path;
        } else {
            path = addKey(std::move(candidate)).path;
            created = true;
        }
    }
    return *findKey(path);
}

const RegistryValue* RegistryTree::findValue(const RegistryKeyNode& key, std::string_view name) {
    const auto it = std::find_if(key.values.begin(), key.values.end(), [&](const RegistryValue& v) {
        return registryNamesEqual(v.name, name);
    });
    return it == key.values.end() ? nullptr : &*it;
}

void RegistryTree::setValue(RegistryKeyNode& key, std::string_view name, std::uint32_t type,
                            std::string data) {
    if (auto* value = const_cast<RegistryValue*>(findValue(key, name))) {
        value->type = type;
        value->data = std::move(data);
    } else {
        key.values.push_back(RegistryValue{std::string(name), type, std::move(data)});
    }
}

bool RegistryTree::deleteValue(RegistryKeyNode& key, std::string_view name) {
    const auto it = std::find_if(key.values.begin(), key.values.end(), [&](const RegistryValue& v) {
        return registryNamesEqual(v.name, name);
    });
    if (it == key.values.end()) {
        return false;
    }
    key.values.erase(it);
    return true;
}

RegistryLoad loadRegistryFile(const std::string& path) {
    RegistryLoad load;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        load.status = (errno == ENOENT || errno == ENOTDIR) ? RegistryLoad::Missing
                                                            : RegistryLoad::Unreadable;
        return load;
    }
    std::string text;
    char buffer[16384];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            load.status = RegistryLoad::Unreadable;
            return load;
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    // An empty file holds nobody's settings; it is treated like a missing one.
    if (text.empty()) {
        load.status = RegistryLoad::Missing;
        return load;
    }
    if (auto tree = RegistryTree::parse(text)) {
        load.status = RegistryLoad::Loaded;
        load.tree = std::move(*tree);
    } else {
        load.status = RegistryLoad::Unparsable;
    }
    return load;
}

bool saveRegistryFile(const std::string& path, const RegistryTree& tree) {
    const std::string text = tree.format();
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; the file is complete either way.
    const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void removeAbandonedSaves(const std::string& path) {
    // New files are named <store>.XXXXXX by mkostemp; the lock file and set-aside files differ.
    const std::string folder = folderOf(path);
    const std::string prefix = path.substr(path.rfind('/') + 1) + ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)); })) {
            std::error_code ignored;
            std::filesystem::remove(entry.path(), ignored);
        }
    }
}

bool setAsideRegistryFile(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".bad-" + stamp;
    for (int n = 1; n < 1000; ++n) {
        const std::string target = n == 1 ? base : base + "-" + std::to_string(n);
        struct stat st;
        if (::lstat(target.c_str(), &st) == 0) {
            continue;
        }
        return ::rename(path.c_str(), target.c_str()) == 0;
    }
    return false;
}

RegistryFileLock::RegistryFileLock(const std::string& storePath) {
    const std::string lockPath = storePath + ".lock";
    m_fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        return;
    }
    // Another copy holds the lock only for one short read-modify-write. Wait for it, but not for
    // ever: a stopped process must not freeze this one.
    std::int64_t waitedNs = 0;
    long stepNs = 500'000;
    constexpr std::int64_t kGiveUpNs = 10'000'000'000;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK || waitedNs >= kGiveUpNs) {
            ::close(m_fd);
            m_fd = -1;
            return;
        }
        const timespec pause{0, stepNs};
        ::nanosleep(&pause, nullptr);
        waitedNs += stepNs;
        stepNs = std::min(stepNs * 2, 20'000'000L);
    }
}

RegistryFileLock::~RegistryFileLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // releases the lock
    }
}
#endif
