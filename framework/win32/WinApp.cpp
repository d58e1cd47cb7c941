// The Win32 half of CWinApp: the message loop with its idle processing, printer set-up, the
// entry.
#include "framework/window/WinApp.h"

#include <commctrl.h>
#include <commdlg.h>

#include "framework/core/CommandLineInfo.h"
#include "framework/win32/Win32Support.h"
#include "framework/window/DocTemplate.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/SplitterWnd.h"
#include "platform/Arguments.h"

struct CWinApp::Impl {
    // The printer chosen in the set-up dialog, kept for the next time.
    HGLOBAL hDevMode = nullptr;
    HGLOBAL hDevNames = nullptr;
    ~Impl() {
        GlobalFree(hDevMode);
        GlobalFree(hDevNames);
    }
};

CWinApp::CWinApp(const char* pszAppName) : m_strAppName(pszAppName != nullptr ? pszAppName : "") {}

CWinApp::~CWinApp() = default;

namespace {

// Whether handling msg may have changed what the update handlers say: paints, the caret's timer
// and a mouse that did not move leave the user interface as it was.
bool IsIdleMessage(const MSG& msg) {
    static POINT lastMouse{-1, -1};
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
        const bool moved = msg.pt.x != lastMouse.x || msg.pt.y != lastMouse.y;
        lastMouse = msg.pt;
        return moved;
    }
    constexpr UINT kSystemTimer = 0x0118;
    return msg.message != WM_PAINT && msg.message != kSystemTimer;
}

}  // namespace

int CWinApp::ExitInstance() {
    SaveStdProfileSettings();
    m_pImpl.reset();
    return 0;
}

int CWinApp::Run() {
    EnableIdleProcessing();
    bool bIdle = true;
    long lIdleCount = 0;
    MSG msg;
    for (;;) {
        // Idle work runs while the queue is empty, and then the loop waits: it never spins.
        while (bIdle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            bIdle = OnIdle(lIdleCount++);
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        if (!AfxRunThreadCall(msg)) {
            HWND frame = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
            HACCEL accelerators = frame != nullptr ? AfxGetAccelerators(frame) : nullptr;
            // While a splitter's bar moves by the keyboard, every key is the splitter's, before
            // the frame's accelerators: the arrows move the bar, not the panes.
            const auto* splitter = dynamic_cast<const CSplitterWnd*>(AfxFromHandle(msg.hwnd));
            if (splitter != nullptr && splitter->IsTracking()) {
                accelerators = nullptr;
            }
            if (accelerators == nullptr || !TranslateAcceleratorW(frame, accelerators, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (IsIdleMessage(msg)) {
            bIdle = true;
            lIdleCount = 0;
        }
    }
    return ExitInstance();
}

void CWinApp::EnableIdleProcessing() {
    // The message loop of Run calls OnIdle whenever its queue runs empty.
}

void CWinApp::OnFilePrintSetup() {
    if (!m_pImpl) {
        m_pImpl.reset(new Impl);
    }
    PAGESETUPDLGW setup{};
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    setup.hDevMode = m_pImpl->hDevMode;
    setup.hDevNames = m_pImpl->hDevNames;
    const CCentredDialogs centred(setup.hwndOwner);
    if (PageSetupDlgW(&setup)) {
        m_pImpl->hDevMode = setup.hDevMode;
        m_pImpl->hDevNames = setup.hDevNames;
    }
}

bool AfxIsFlagCharacter(char c) {
    return c == '-' || c == '/';
}

int CWinApp::RunOnWindowSystem(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_TAB_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    return RunInstance(GetProgramArguments(argc, argv));
}
