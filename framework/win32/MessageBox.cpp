// The Win32 half of the message box: the system's, over the active window.
#include "framework/dialog/MessageBox.h"

#include "framework/core/WinApp.h"
#include "framework/win32/Win32Support.h"

int AfxShowMessageBox(const std::string& text, UINT nType) {
    const CWinApp* app = AfxGetApp();
    const std::wstring caption = Widen(app != nullptr ? app->m_pszAppName : std::string());
    return MessageBoxW(GetActiveWindow(), Widen(text).c_str(), caption.c_str(), nType);
}
