// The Win32 half of the progress dialog: a dialog resource run by the system, polled by a timer,
// its bar the common controls' progress bar.
#include "framework/dialog/ProgressDialog.h"

#include <commctrl.h>
#include <windows.h>

#include <vector>

#include "framework/core/ResourceTypes.h"
#include "framework/win32/DialogTemplate.h"
#include "framework/win32/Win32Support.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/WinApp.h"

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kShownMessage = WM_APP + 1;  // posted once the dialog is up
constexpr int kBarSteps = 1000;             // a range of 64-bit bytes in the bar's int

CProgressDialog* OwnerOf(HWND hDlg) {
    return reinterpret_cast<CProgressDialog*>(GetWindowLongPtrW(hDlg, DWLP_USER));
}

void ShowStatus(HWND hDlg, const CProgressDialog& owner) {
    const CProgressDialog::CStatus status = owner.GetStatus();
    SetDlgItemTextW(hDlg, static_cast<int>(owner.GetTextId()), Widen(status.text).c_str());
    HWND bar = GetDlgItem(hDlg, static_cast<int>(owner.GetBarId()));
    if (bar == nullptr) {
        return;
    }
    // While the range is not known the bar moves to and fro.
    const bool bMarquee = status.range == 0;
    const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
    if (bMarquee != ((style & PBS_MARQUEE) != 0)) {
        SetWindowLongPtrW(bar, GWL_STYLE, bMarquee ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
        SendMessageW(bar, PBM_SETMARQUEE, bMarquee ? TRUE : FALSE, 30);
    }
    if (!bMarquee) {
        const std::uint64_t pos = status.pos < status.range ? status.pos : status.range;
        SendMessageW(bar, PBM_SETRANGE32, 0, kBarSteps);
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(pos * kBarSteps / status.range), 0);
    }
}

INT_PTR CALLBACK ProgressProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hDlg, DWLP_USER, lParam);
        ShowStatus(hDlg, *OwnerOf(hDlg));
        SetTimer(hDlg, kPollTimer, CProgressDialog::kPollInterval, nullptr);
        PostMessageW(hDlg, kShownMessage, 0, 0);
        return TRUE;
    }
    CProgressDialog* owner = OwnerOf(hDlg);
    if (owner == nullptr) {
        return FALSE;
    }
    switch (message) {
        case kShownMessage:
            owner->OnShown();
            return TRUE;
        case WM_TIMER:
            if (wParam != kPollTimer) {
                return FALSE;
            }
            if (owner->IsWorkDone()) {
                KillTimer(hDlg, kPollTimer);
                EndDialog(hDlg, IDOK);
            } else {
                ShowStatus(hDlg, *owner);
            }
            return TRUE;
        case WM_COMMAND:
            // Cancel, Esc and the close button ask the work to stop; the dialog closes once it
            // has.
            if (LOWORD(wParam) == IDCANCEL) {
                owner->Cancel();
                EnableWindow(GetDlgItem(hDlg, IDCANCEL), FALSE);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void CProgressDialog::RunModal(const DialogDef& def) {
    const std::vector<WORD> dialogTemplate = BuildDialogTemplate(def, false);
    CWnd* pParent = m_pParentWnd;
    if (pParent == nullptr && AfxGetApp() != nullptr) {
        pParent = AfxGetApp()->m_pMainWnd;
    }
    HWND parent = pParent != nullptr ? pParent->GetSafeHwnd() : nullptr;
    // The command's wait cursor must not hide the pointer from the person who may cancel.
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    const CCentredDialogs centred(parent);
    DialogBoxIndirectParamW(AfxGetInstanceHandle(),
                            reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), parent,
                            &ProgressProc, reinterpret_cast<LPARAM>(this));
    SetCursor(previous);
}
