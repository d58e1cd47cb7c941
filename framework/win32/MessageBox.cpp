// The Win32 half of the message box: the system's, centred over the active window.
#include "framework/window/MessageBox.h"

#include "framework/win32/Win32Support.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/WinApp.h"

int AfxShowMessageBox(const std::string& text, UINT nType) {
    const CWinApp* app = AfxGetApp();
    const std::wstring caption = Widen(app != nullptr ? app->m_strAppName : std::string());
    // Over the window the user is working in: a dialog's own box over the dialog.
    HWND owner = GetActiveWindow();
    if (owner == nullptr && app != nullptr && app->m_pMainWnd != nullptr) {
        owner = app->m_pMainWnd->GetSafeHwnd();
    }
    const CCentredDialogs centred(owner);
    return MessageBoxW(owner, Widen(text).c_str(), caption.c_str(), nType);
}
