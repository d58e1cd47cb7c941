// The Qt half of CFileWatcher: a QFileSystemWatcher on the files and their folders.
#include "framework/window/FileWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>

#include "framework/qt/QtSupport.h"

// The watcher stays once made: it may be asked to watch other files from inside its own signal.
struct CFileWatcher::Impl {
    QFileSystemWatcher watcher;
    QStringList files;
    QStringList folders;

    // Watches again what the system stopped watching: a file replaced by a rename or deleted
    // loses its watch, and gets it back once a file of its name is there again.
    void Rewatch() {
        const QStringList watchedFiles = watcher.files();
        const QStringList watchedFolders = watcher.directories();
        for (const QString& file : files) {
            if (!watchedFiles.contains(file) && QFileInfo::exists(file)) {
                watcher.addPath(file);
            }
        }
        for (const QString& folder : folders) {
            if (!watchedFolders.contains(folder) && QFileInfo::exists(folder)) {
                watcher.addPath(folder);
            }
        }
    }
};

CFileWatcher::CFileWatcher() = default;
CFileWatcher::~CFileWatcher() = default;

void CFileWatcher::Follow() {
    if (!m_pImpl) {
        if (m_paths.empty()) {
            return;
        }
        m_pImpl = std::make_unique<Impl>();
        const auto changed = [this] {
            m_pImpl->Rewatch();
            Changed();
        };
        QObject::connect(&m_pImpl->watcher, &QFileSystemWatcher::fileChanged, &m_pImpl->watcher,
                         changed);
        QObject::connect(&m_pImpl->watcher, &QFileSystemWatcher::directoryChanged,
                         &m_pImpl->watcher, changed);
    }
    Impl& impl = *m_pImpl;
    if (const QStringList watched = impl.watcher.files() + impl.watcher.directories();
        !watched.isEmpty()) {
        impl.watcher.removePaths(watched);
    }
    impl.files.clear();
    impl.folders.clear();
    for (const std::string& path : m_paths) {
        impl.files.push_back(FromBytes(path));
    }
    for (const std::string& folder : GetFolders()) {
        impl.folders.push_back(FromBytes(folder));
    }
    impl.Rewatch();
}
