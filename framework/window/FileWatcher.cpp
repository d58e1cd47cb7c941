#include "framework/window/FileWatcher.h"

#include <algorithm>

#include "platform/File.h"

void CFileWatcher::Watch(std::vector<std::string> paths, std::function<void()> onChange) {
    std::vector<std::string> wanted;
    for (std::string& path : paths) {
        if (!path.empty() && std::find(wanted.begin(), wanted.end(), path) == wanted.end()) {
            wanted.push_back(std::move(path));
        }
    }
    m_onChange = wanted.empty() ? std::function<void()>() : std::move(onChange);
    if (wanted == m_paths) {
        return;
    }
    m_paths = std::move(wanted);
    Follow();
}

void CFileWatcher::Changed() {
    if (m_paths.empty() || !m_onChange) {
        return;
    }
    // A copy: the call may watch other files, or none.
    const std::function<void()> onChange = m_onChange;
    onChange();
}

std::vector<std::string> CFileWatcher::GetFolders() const {
    std::vector<std::string> folders;
    for (const std::string& path : m_paths) {
        const std::filesystem::path folder = PathFromUtf8(path).parent_path();
        const std::u8string text = folder.u8string();
        std::string name(text.begin(), text.end());
        if (!name.empty() && std::find(folders.begin(), folders.end(), name) == folders.end()) {
            folders.push_back(std::move(name));
        }
    }
    return folders;
}
