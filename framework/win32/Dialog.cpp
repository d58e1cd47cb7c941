// The Win32 half of the dialogs: dialog resources run by the system from in-memory templates.
#include "framework/dialog/Dialog.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "framework/core/ResourceTypes.h"
#include "framework/core/Resources.h"
#include "framework/win32/DialogTemplate.h"
#include "framework/win32/Win32Support.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/WinApp.h"

namespace {

// Appends to a template in WORDs, as the system reads it.
class CTemplateWriter {
public:
    explicit CTemplateWriter(std::vector<WORD>& out) : m_out(out) {}
    void Word(WORD w) { m_out.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(std::string_view text) {
        for (const wchar_t c : Widen(text)) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    void AlignDword() {
        if (m_out.size() % 2 != 0) {
            Word(0);
        }
    }

private:
    std::vector<WORD>& m_out;
};

// The system's own classes go by their atoms.
WORD ClassAtom(std::string_view className) {
    if (className == "BUTTON") {
        return 0x0080;
    }
    if (className == "EDIT") {
        return 0x0081;
    }
    if (className == "STATIC") {
        return 0x0082;
    }
    return 0;
}

thread_local CCentredDialogs* t_pCentred = nullptr;  // the innermost on this thread

// Centres the dialog over the window, or leaves it where the system put it when the window is
// not there to be seen.
void CentreOver(HWND hDialog, HWND hOver) {
    if (hOver == nullptr || !IsWindowVisible(hOver) || IsIconic(hOver)) {
        return;
    }
    RECT dialog;
    RECT over;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(hDialog, &dialog) || !GetWindowRect(hOver, &over) ||
        !GetMonitorInfoW(MonitorFromWindow(hOver, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const RECT& work = monitor.rcWork;
    const LONG cx = dialog.right - dialog.left;
    const LONG cy = dialog.bottom - dialog.top;
    const LONG x = std::max(
        work.left, std::min(over.left + (over.right - over.left - cx) / 2, work.right - cx));
    const LONG y = std::max(
        work.top, std::min(over.top + (over.bottom - over.top - cy) / 2, work.bottom - cy));
    SetWindowPos(hDialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(hDlg);
        if (!dialog->OnInitDialog()) {
            EndDialog(hDlg, IDCANCEL);
        }
        return TRUE;
    }
    auto* dialog = dynamic_cast<CDialog*>(AfxFromHandle(hDlg));
    if (dialog != nullptr && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            dialog->UpdateData(true);
            EndDialog(hDlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

CCentredDialogs::CCentredDialogs(HWND hOwner)
    : m_hHook(SetWindowsHookExW(WH_CALLWNDPROCRET, &AfterMessage, nullptr, GetCurrentThreadId())),
      m_hOwner(hOwner),
      m_pOuter(std::exchange(t_pCentred, this)) {}

CCentredDialogs::~CCentredDialogs() {
    t_pCentred = m_pOuter;
    if (m_hHook != nullptr) {
        UnhookWindowsHookEx(m_hHook);
    }
}

LRESULT CALLBACK CCentredDialogs::AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
    // Once a dialog has laid itself out, and before it shows; its own pages and panels are
    // children and stay where they are.
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    CCentredDialogs* pCentred = t_pCentred;
    if (code == HC_ACTION && pCentred != nullptr && message->message == WM_INITDIALOG &&
        (GetWindowLongW(message->hwnd, GWL_STYLE) & WS_CHILD) == 0) {
        HWND owner = GetWindow(message->hwnd, GW_OWNER);
        CentreOver(message->hwnd, owner != nullptr ? owner : pCentred->m_hOwner);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<WORD> BuildDialogTemplate(const DialogDef& def, bool bPage) {
    std::vector<WORD> data;
    CTemplateWriter out(data);
    DWORD style = def.style | DS_SETFONT;
    if (bPage) {
        style &= ~static_cast<DWORD>(WS_DISABLED);
    }
    out.Dword(style);
    out.Dword(0);
    out.Word(static_cast<WORD>(def.items.size()));
    out.Word(0);
    out.Word(0);
    out.Word(static_cast<WORD>(def.cx));
    out.Word(static_cast<WORD>(def.cy));
    out.Word(0);  // no menu
    out.Word(0);  // the system's dialog class
    out.Text(def.caption);
    out.Word(static_cast<WORD>(def.nPointSize));
    out.Text(def.fontName);
    for (const DialogItemDef& item : def.items) {
        out.AlignDword();
        out.Dword(item.style);
        out.Dword(0);
        out.Word(static_cast<WORD>(item.x));
        out.Word(static_cast<WORD>(item.y));
        out.Word(static_cast<WORD>(item.cx));
        out.Word(static_cast<WORD>(item.cy));
        out.Word(static_cast<WORD>(item.id));
        if (const WORD atom = ClassAtom(item.className)) {
            out.Word(0xFFFF);
            out.Word(atom);
        } else {
            out.Text(item.className);
        }
        if (std::string_view(item.className) == "STATIC" && (item.style & 0x0F) == SS_ICON) {
            // An icon control names its icon resource by number.
            out.Word(0xFFFF);
            out.Word(static_cast<WORD>(item.iconId));
        } else {
            out.Text(item.text);
        }
        out.Word(0);  // no creation data
    }
    return data;
}

int CDialog::RunModal(const DialogDef& def) {
    const std::vector<WORD> dialogTemplate = BuildDialogTemplate(def, false);
    HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (parent == nullptr && AfxGetApp() != nullptr && AfxGetApp()->m_pMainWnd != nullptr) {
        parent = AfxGetApp()->m_pMainWnd->GetSafeHwnd();
    }
    const CCentredDialogs centred(parent);
    const INT_PTR result = DialogBoxIndirectParamW(
        AfxGetInstanceHandle(), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), parent,
        &DialogProc, reinterpret_cast<LPARAM>(this));
    return result == IDOK ? IDOK : result == -1 ? -1 : IDCANCEL;
}

HWND CDialog::GetDlgItem(UINT nID) const {
    return GetSafeHwnd() != nullptr ? ::GetDlgItem(GetSafeHwnd(), static_cast<int>(nID)) : nullptr;
}

std::string CDialog::GetDlgItemText(UINT nID) const {
    HWND control = GetDlgItem(nID);
    if (control == nullptr) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void CDialog::SetDlgItemText(UINT nID, std::string_view text) {
    if (HWND control = GetDlgItem(nID)) {
        SetWindowTextW(control, Widen(text).c_str());
        if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
            SendMessageW(control, EM_SETSEL, 0, -1);
        }
    }
}

bool CDialog::IsDlgButtonChecked(UINT nID) const {
    HWND control = GetDlgItem(nID);
    return control != nullptr && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CDialog::CheckDlgButton(UINT nID, bool bCheck) {
    if (HWND control = GetDlgItem(nID)) {
        SendMessageW(control, BM_SETCHECK, bCheck ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}
