#pragma once

// Private to the Win32 half of the framework: the framework's window classes and the path from a
// window's messages to its CWnd. Texts go to the system through Widen and come back through
// Narrow (platform/win32/SystemText.h).

#include <windows.h>

#include <functional>
#include <string>

#include "framework/window/Wnd.h"
#include "platform/win32/SystemText.h"

HINSTANCE AfxGetInstanceHandle();

// A function of user32 that older systems lack (those of screens with their own dpi), or null.
template <class Function>
Function AfxUserFunction(const char* name) {
    const FARPROC proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

// The framework's coordinates are pixels at 96 dpi, as the Qt half's are device-independent
// pixels: the program's 16-pixel rows and 40-pixel text column keep their size on any screen.
// The Win32 half turns them into the window's own pixels at every call into the system, and back
// for what the system reports; at 96 dpi both ways leave every number as it is.
// The dots per inch of the screen the window is on (of the system, where the system cannot say
// per window); 96 without a window.
UINT AfxDpiOf(HWND hWnd);
// n framework pixels in pixels at dpi, and back, rounded to the nearest.
inline int AfxScale(int n, UINT dpi) {
    return MulDiv(n, static_cast<int>(dpi), 96);
}
inline int AfxUnscale(int n, UINT dpi) {
    return MulDiv(n, 96, static_cast<int>(dpi));
}
// The system metric (SM_CXVSCROLL...) for a window at dpi.
int AfxSystemMetric(int nIndex, UINT dpi);

// The CWnd a window belongs to, or null.
CWnd* AfxFromHandle(HWND hWnd);

// What a window of the Win32 half keeps beyond its handle: what it uses but the system does not
// free with it (an image list, an accelerator table, a font), freed when the window goes or its
// CWnd does; and where a splitter's tracker and the keyboard were while a bar moves.
struct CWnd::Impl {
    Impl() = default;
    ~Impl() { Release(); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    void Release();

    HIMAGELIST images = nullptr;    // a toolbar's button images
    UINT toolBarId = 0;             // the toolbar resource they were made from
    HACCEL accelerators = nullptr;  // a frame's accelerator table
    HFONT statusFont = nullptr;     // a frame's status bar font, made for its screen's dpi
    HWND tracker = nullptr;         // a splitter's tracker while a bar moves
    HWND focusBefore = nullptr;     // the focus before a splitter took the keyboard
};

// The CWnd of class T that a message of one of the framework's windows is for: attached at
// WM_NCCREATE from the window's creation parameter; null before that, and for a CWnd of another
// class.
template <class T>
T* AfxWndOfMessage(HWND hWnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams)->Attach(hWnd);
    }
    return dynamic_cast<T*>(AfxFromHandle(hWnd));
}

// Turns the toolbar's images to its window's dpi (after the window moved to another screen).
void AfxScaleToolBarImages(HWND hBar);

// Registers the framework's own window class (once) and returns its name. Every window of the
// class delivers its messages through wndProc; its creation parameter is the CWnd.
const wchar_t* AfxRegisterClass(const wchar_t* name, WNDPROC wndProc, UINT style,
                                HBRUSH background);

// Creates a window of one of the framework's classes for pWnd, which receives it (Attach) before
// the window's first message is handled.
HWND AfxCreateWindow(CWnd* pWnd, const wchar_t* className, const std::wstring& title, DWORD style,
                     int x, int y, int cx, int cy, HWND parent, UINT nID);

// The messages every framework window handles the same way (size, show, close, the scroll bars
// it owns, posted calls); the rest goes to the system's default processing.
LRESULT AfxDefaultMessage(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Queues call for the window (dropped if the window goes first), or for the thread when hWnd is
// null; the message loop and the framework's windows run it.
void AfxPostCall(HWND hWnd, std::function<void()> call);
// Runs a call posted to the thread, when msg is one.
bool AfxRunThreadCall(const MSG& msg);

// The accelerator table of a frame window, or null.
HACCEL AfxGetAccelerators(HWND hFrame);

// A scroll request from the bar control hBar to its owner, with the 32-bit thumb position.
void AfxDeliverScroll(HWND hBar, WPARAM wParam);

// While it lives, every dialog this thread opens (the program's own, and the system's message
// boxes, file dialogs and property sheets) opens centred over its owner, or over hOwner when it
// has none, kept inside the work area of that window's screen.
class CCentredDialogs {
public:
    explicit CCentredDialogs(HWND hOwner);
    ~CCentredDialogs();
    CCentredDialogs(const CCentredDialogs&) = delete;
    CCentredDialogs& operator=(const CCentredDialogs&) = delete;

private:
    static LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_hHook = nullptr;
    HWND m_hOwner = nullptr;
    CCentredDialogs* m_pOuter = nullptr;  // the one this nests in, on the same thread
};
