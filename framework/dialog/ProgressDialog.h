#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "framework/core/Platform.h"

class CWnd;
struct DialogDef;

// Work that may take long, run on a thread of its own while the interface waits for it, so that
// no command runs in between. Once the work has run for a while, a modal dialog laid out from a
// dialog resource shows over the main window what it is doing (a STATIC control), how far it has
// come (a progress bar, class "msctls_progress32", moving to and fro while the range is not
// known), and a Cancel button (IDCANCEL; Esc and the close button do the same). Cancel sets the
// cancel flag, which the work reads and ends soon after; the dialog stays until the work has
// ended. Work that ends sooner never shows the dialog.
class CProgressDialog {
public:
    // The status the dialog shows: what the work is doing, and pos of range (0: not known).
    struct CStatus {
        std::string text;
        std::uint64_t pos = 0;
        std::uint64_t range = 0;
    };

    CProgressDialog(UINT nIDTemplate, UINT nTextId, UINT nBarId, CWnd* pParentWnd = nullptr);
    ~CProgressDialog();
    CProgressDialog(const CProgressDialog&) = delete;
    CProgressDialog& operator=(const CProgressDialog&) = delete;

    // Runs work on a thread of its own and returns once it has ended, throwing what it threw. The
    // dialog shows once the work has run for delayMs milliseconds. Without a thread to be had the
    // work runs on this one, and without the dialog resource it runs without a dialog.
    void Run(const std::function<void()>& work, int delayMs = 500);

    // From the work's thread: what the dialog is to show.
    void SetStatus(std::string text, std::uint64_t pos, std::uint64_t range);
    CStatus GetStatus() const;
    // The flag that Cancel sets, for the work to read (it may wait on it: Cancel notifies).
    const std::atomic<bool>& GetCancelFlag() const { return m_cancel; }
    void Cancel();
    // Whether the dialog showed during the last Run.
    bool WasShown() const { return m_bShown; }
    // Whether the work has ended; the platform halves close the dialog then.
    bool IsWorkDone() const { return m_bDone.load(); }

    UINT GetTextId() const { return m_nTextId; }
    UINT GetBarId() const { return m_nBarId; }

    // How often the platform halves look at the status and at the work's end, in milliseconds.
    static constexpr int kPollInterval = 25;

    // The platform halves call this once the dialog is up: it tells the hook, if any.
    void OnShown();

private:
    // The platform's half: the dialog laid out from def, modal over the main window, showing the
    // status until the work is done.
    void RunModal(const DialogDef& def);

    UINT m_nIDTemplate;
    UINT m_nTextId;
    UINT m_nBarId;
    CWnd* m_pParentWnd;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_bDone{false};
    bool m_bShown = false;
    mutable std::mutex m_mutex;
    std::condition_variable m_doneChanged;
    CStatus m_status;
};

// Called on the interface thread whenever a progress dialog has shown, instead of waiting for a
// person: tests cancel from it. An empty hook removes it; returns the previous one.
using ProgressDialogHook = std::function<void(CProgressDialog&)>;
ProgressDialogHook SetProgressDialogHook(ProgressDialogHook hook);
