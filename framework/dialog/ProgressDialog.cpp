#include "framework/dialog/ProgressDialog.h"

#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

#include "framework/core/Resources.h"

namespace {

ProgressDialogHook& Hook() {
    static ProgressDialogHook hook;
    return hook;
}

}  // namespace

ProgressDialogHook SetProgressDialogHook(ProgressDialogHook hook) {
    ProgressDialogHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

CProgressDialog::CProgressDialog(UINT nIDTemplate, UINT nTextId, UINT nBarId, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_nTextId(nTextId), m_nBarId(nBarId), m_pParentWnd(pParentWnd) {}

CProgressDialog::~CProgressDialog() = default;

void CProgressDialog::Run(const std::function<void()>& work, int delayMs) {
    m_cancel = false;
    m_bDone = false;
    m_bShown = false;
    {
        const std::lock_guard lock(m_mutex);
        m_status = {};
    }
    std::exception_ptr error;
    const auto body = [this, &work, &error] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        {
            const std::lock_guard lock(m_mutex);
            m_bDone = true;
        }
        m_doneChanged.notify_all();
    };
    std::thread worker;
    try {
        worker = std::thread(body);
    } catch (const std::system_error&) {
        // No thread to be had: the work runs here, as it would without the dialog.
        body();
    }
    if (worker.joinable()) {
        bool bDone = false;
        {
            std::unique_lock lock(m_mutex);
            bDone = m_doneChanged.wait_for(lock, std::chrono::milliseconds(delayMs),
                                           [this] { return m_bDone.load(); });
        }
        const DialogDef* def = bDone ? nullptr : AfxFindDialog(m_nIDTemplate);
        if (def != nullptr) {
            try {
                RunModal(*def);
            } catch (...) {
                // The dialog could not be shown or failed: the work stops before this goes on.
                Cancel();
                worker.join();
                throw;
            }
        }
        worker.join();
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

void CProgressDialog::SetStatus(std::string text, std::uint64_t pos, std::uint64_t range) {
    const std::lock_guard lock(m_mutex);
    m_status.text = std::move(text);
    m_status.pos = pos;
    m_status.range = range;
}

CProgressDialog::CStatus CProgressDialog::GetStatus() const {
    const std::lock_guard lock(m_mutex);
    return m_status;
}

void CProgressDialog::Cancel() {
    m_cancel = true;
    m_cancel.notify_all();
}

void CProgressDialog::OnShown() {
    m_bShown = true;
    if (Hook()) {
        Hook()(*this);
    }
}
