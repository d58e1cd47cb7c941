// The Win32 half of CFileWatcher: a change notification on each folder that holds a watched file
// (names, sizes and last write times of the files in it), looked at by a thread timer from
// whatever message loop runs, the modal loops of dialogs and menus included.
#include "framework/window/FileWatcher.h"

#include <map>
#include <vector>

#include "framework/win32/Win32Support.h"

namespace {

constexpr UINT kPollMilliseconds = 200;
constexpr DWORD kChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

}  // namespace

struct CFileWatcher::Impl {
    struct Folder {
        std::wstring path;
        HANDLE handle = INVALID_HANDLE_VALUE;  // none while the folder cannot be watched
    };

    Impl() = default;
    ~Impl() {
        Close();
        if (timer != 0) {
            KillTimer(nullptr, timer);
            Timers().erase(timer);
        }
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    void Close() {
        for (Folder& folder : folders) {
            if (folder.handle != INVALID_HANDLE_VALUE) {
                FindCloseChangeNotification(folder.handle);
            }
        }
        folders.clear();
    }

    // Whether anything changed since the last look. A folder that could not be watched is tried
    // again; once it can, what it holds may have changed too.
    bool Look() {
        bool changed = false;
        for (Folder& folder : folders) {
            if (folder.handle == INVALID_HANDLE_VALUE) {
                folder.handle = FindFirstChangeNotificationW(folder.path.c_str(), FALSE, kChanges);
                changed = changed || folder.handle != INVALID_HANDLE_VALUE;
                continue;
            }
            if (WaitForSingleObject(folder.handle, 0) != WAIT_OBJECT_0) {
                continue;
            }
            changed = true;
            if (!FindNextChangeNotification(folder.handle)) {
                // The folder went: watched again once it is back.
                FindCloseChangeNotification(folder.handle);
                folder.handle = INVALID_HANDLE_VALUE;
            }
        }
        return changed;
    }

    static std::map<UINT_PTR, CFileWatcher*>& Timers() {
        static std::map<UINT_PTR, CFileWatcher*> timers;
        return timers;
    }
    static void CALLBACK OnTimer(HWND /*hWnd*/, UINT /*message*/, UINT_PTR id, DWORD /*time*/) {
        const auto it = Timers().find(id);
        if (it != Timers().end() && it->second->m_pImpl->Look()) {
            it->second->Changed();
        }
    }

    std::vector<Folder> folders;
    UINT_PTR timer = 0;
};

CFileWatcher::CFileWatcher() = default;
CFileWatcher::~CFileWatcher() = default;

void CFileWatcher::Follow() {
    if (!m_pImpl) {
        if (m_paths.empty()) {
            return;
        }
        m_pImpl = std::make_unique<Impl>();
    }
    Impl& impl = *m_pImpl;
    impl.Close();
    for (const std::string& folder : GetFolders()) {
        Impl::Folder watched{Widen(folder)};
        watched.handle = FindFirstChangeNotificationW(watched.path.c_str(), FALSE, kChanges);
        impl.folders.push_back(std::move(watched));
    }
    if (impl.folders.empty() && impl.timer != 0) {
        KillTimer(nullptr, impl.timer);
        Impl::Timers().erase(impl.timer);
        impl.timer = 0;
    } else if (!impl.folders.empty() && impl.timer == 0) {
        impl.timer = SetTimer(nullptr, 0, kPollMilliseconds, &Impl::OnTimer);
        if (impl.timer != 0) {
            Impl::Timers()[impl.timer] = this;
        }
    }
}
