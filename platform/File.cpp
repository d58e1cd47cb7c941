#include "platform/File.h"

#include <algorithm>
#include <cctype>
#include <system_error>

bool CInputFile::Open(const std::string& path, std::string* pReason) {
    Close();
    m_path = path;
    m_sizeHint = 0;
    return OpenHandle(pReason);
}

std::filesystem::path PathFromUtf8(std::string_view path) {
    return std::filesystem::path(
        std::u8string_view(reinterpret_cast<const char8_t*>(path.data()), path.size()));
}

void RemoveAbandonedReplacements(const std::string& path) {
    const std::filesystem::path store = PathFromUtf8(path);
    const std::u8string prefix = store.filename().u8string() + u8".";
    std::error_code error;
    const std::filesystem::path folder =
        store.has_parent_path() ? store.parent_path() : std::filesystem::path(".");
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::u8string name = entry.path().filename().u8string();
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](char8_t c) { return c < 0x80 && std::isalnum(c); })) {
            std::error_code ignored;
            std::filesystem::remove(entry.path(), ignored);
        }
    }
}
