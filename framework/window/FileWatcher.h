#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Watches files on disk and says from the event loop when they may have changed. Each file is
// watched together with the folder that holds it, so that a file written in place, replaced by a
// rename, deleted or made anew is seen. It only says that something happened: a burst of changes
// may come as one call or as several, and the owner looks at the files to tell what changed
// (AfxGetFileStamp). Watching stops with an empty list and when the watcher goes.
//
// The platform's half delivers the system's signals: on Qt a QFileSystemWatcher; on Win32 the
// folders' change notifications, looked at from the message loop by a timer five times a
// second.
class CFileWatcher {
public:
    CFileWatcher();
    ~CFileWatcher();
    CFileWatcher(const CFileWatcher&) = delete;
    CFileWatcher& operator=(const CFileWatcher&) = delete;

    // Watches exactly these files (empty paths and repeats left out) and calls onChange from the
    // event loop after any of them or their folders changed. An empty list watches nothing.
    void Watch(std::vector<std::string> paths, std::function<void()> onChange);
    // The files watched, in the order given.
    const std::vector<std::string>& GetPaths() const { return m_paths; }
    bool IsWatching() const { return !m_paths.empty(); }

    struct Impl;  // the platform's watch

private:
    // The platform's half: watches m_paths and their folders, and nothing else.
    void Follow();
    // The platform's half calls it when the system said something changed.
    void Changed();
    // The folders that hold m_paths, each once.
    std::vector<std::string> GetFolders() const;

    std::unique_ptr<Impl> m_pImpl;
    std::vector<std::string> m_paths;
    std::function<void()> m_onChange;
};
