#include "framework/registry/RegistryText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::uint32_t kTypeText = 1;
constexpr std::uint32_t kTypeBinary = 3;
constexpr std::uint32_t kTypeDword = 4;
// Hex data lines are wrapped, as the registry editor does, to stay readable.
constexpr std::size_t kHexLineWidth = 78;

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

// Takes the next line off the text, without its LF or CR LF.
bool nextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) {
        return false;
    }
    const std::size_t end = text.find('\n');
    line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
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
// after the closing quote. Fails on a string longer than maxSize.
std::optional<std::string> parseQuoted(std::string_view s, std::size_t& pos,
                                       std::size_t maxSize = kMaxValueDataSize) {
    if (pos >= s.size() || s[pos] != '"') {
        return std::nullopt;
    }
    // Taken a run at a time up to the next quote or escape: values may be long. The closing
    // quote is searched for once, and backslashes only before it.
    std::string out;
    std::size_t close = s.find('"', pos + 1);
    for (++pos; close != std::string_view::npos;) {
        const std::size_t backslash = s.substr(0, close).find('\\', pos);
        const std::size_t stop = std::min(backslash, close);
        if (out.size() + (stop - pos) > maxSize) {
            return std::nullopt;
        }
        out.append(s.substr(pos, stop - pos));
        if (stop == close) {
            pos = close + 1;
            return out;
        }
        // An escape: the quote it escapes was taken for the closing one.
        pos = stop + 1;
        if (pos >= s.size() || (s[pos] != '\\' && s[pos] != '"') || out.size() == maxSize) {
            return std::nullopt;
        }
        out += s[pos];
        if (pos == close) {
            close = s.find('"', pos + 1);
        }
        ++pos;
    }
    return std::nullopt;
}

std::string quote(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    out += '"';
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

// Splits a value line into its name and the data text after '='.
std::optional<std::pair<std::string, std::string_view>> splitValueLine(std::string_view line) {
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
        pos = 1;
    } else if (auto n = parseQuoted(line, pos, kMaxValueNameLength)) {
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
bool parseValueLine(std::string_view line, RegistryNode& key) {
    auto parts = splitValueLine(line);
    if (!parts || parts->first.size() > kMaxValueNameLength) {
        return false;
    }
    const std::string& name = parts->first;
    std::string_view rest = parts->second;
    if (!rest.empty() && rest[0] == '"') {
        std::size_t p = 0;
        // The data holds a terminating null besides the text.
        auto text = parseQuoted(rest, p, kMaxValueDataSize - 1);
        if (!text || !trimmed(rest.substr(p)).empty()) {
            return false;
        }
        *text += '\0';
        key.setValue(name, kTypeText, std::move(*text));
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
        key.setValue(name, kTypeDword, std::move(data));
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
        if (!bytes || bytes->size() > kMaxValueDataSize) {
            return false;
        }
        key.setValue(name, type, std::move(*bytes));
        return true;
    }
    return false;
}

// The key a section line names, created if new; null when the line is no section of this hive
// or its path breaks a limit.
RegistryNode* parseSectionLine(std::string_view line, RegistryTree& tree) {
    if (line.back() != ']') {
        return nullptr;
    }
    const std::string_view name = line.substr(1, line.size() - 2);
    if (!startsWithNoCase(name, kRootName)) {
        return nullptr;
    }
    const std::string_view sub = name.substr(kRootName.size());
    if (!sub.empty() && sub[0] != '\\') {
        return nullptr;
    }
    const auto components = splitRegistryPath(sub.empty() ? sub : sub.substr(1));
    if (!components || checkKeyPathLimits(*components) != KeyPathCheck::Within) {
        return nullptr;
    }
    bool created = false;
    return &tree.createKey(*components, created);
}

}  // namespace

std::optional<RegistryTree> parseRegistryText(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::string_view line;
    if (!nextLine(text, line) || trimmed(line) != kHeader) {
        return std::nullopt;
    }
    RegistryTree tree;
    RegistryNode* current = nullptr;  // the section's key
    while (nextLine(text, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            current = parseSectionLine(line, tree);
            if (current == nullptr) {
                return std::nullopt;
            }
            continue;
        }
        if ((line[0] != '"' && line[0] != '@') || current == nullptr) {
            return std::nullopt;
        }
        if (!isHexValueLine(line)) {
            if (!parseValueLine(line, *current)) {
                return std::nullopt;
            }
            continue;
        }
        // A hex list may go on over lines that end in a backslash; one that holds more bytes
        // than a value may is refused before it is all joined.
        std::string joined(line);
        auto commas = static_cast<std::size_t>(std::count(joined.begin(), joined.end(), ','));
        while (joined.back() == '\\') {
            joined.pop_back();
            std::string_view next;
            if (!nextLine(text, next) || commas >= kMaxValueDataSize) {
                return std::nullopt;
            }
            next = trimmed(next);
            commas += static_cast<std::size_t>(std::count(next.begin(), next.end(), ','));
            joined += next;
        }
        if (!parseValueLine(joined, *current)) {
            return std::nullopt;
        }
    }
    return tree;
}

std::string formatRegistryText(const RegistryTree& tree) {
    std::string out(kHeader);
    out += "\n\n";
    // Depth first, without recursion; each pending key comes with the length of its parent's
    // section name, which the section being built starts with.
    std::string section = "[" + std::string(kRootName);
    std::vector<std::pair<const RegistryNode*, std::size_t>> pending{
        {&tree.root(), section.size()}};
    while (!pending.empty()) {
        const auto [key, parentLength] = pending.back();
        pending.pop_back();
        section.resize(parentLength);
        const bool isRoot = key == &tree.root();
        if (!isRoot) {
            section += '\\';
            section += key->name();
        }
        // The root always exists; it has a section only when it holds values.
        if (!isRoot || !key->values().empty()) {
            out += section;
            out += "]\n";
            for (const RegistryValue& value : key->values()) {
                appendValue(out, value);
            }
            out += '\n';
        }
        const auto subKeys = key->subKeysInOrder();
        for (auto it = subKeys.rbegin(); it != subKeys.rend(); ++it) {
            pending.emplace_back(*it, section.size());
        }
    }
    return out;
}
