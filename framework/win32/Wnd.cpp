// The Win32 half of CWnd: the window handle, the framework's window classes and the path from a
// window's messages to the CWnd's handlers.
#include "framework/window/Wnd.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <map>
#include <set>
#include <utility>

#include "framework/registry/Registry.h"
#include "framework/win32/Win32Support.h"
#include "framework/window/ScrollBar.h"

namespace {

constexpr wchar_t kOwnerProperty[] = L"TessiverWnd";

// The CWnd whose window AfxCreateWindow is creating: it attaches from inside the creation, when
// the window cannot be subclassed yet (the creation would fail), so that comes afterwards.
CWnd* g_pCreating = nullptr;
constexpr UINT kCallMessage = WM_APP + 1;

struct PostedCall {
    HWND hWnd;
    std::function<void()> call;
};

// Calls posted and not yet run, by number; a window that goes takes its calls with it.
std::map<WPARAM, PostedCall>& PostedCalls() {
    static std::map<WPARAM, PostedCall> calls;
    return calls;
}

void RunPostedCall(WPARAM id) {
    auto& calls = PostedCalls();
    const auto it = calls.find(id);
    if (it == calls.end()) {
        return;
    }
    const std::function<void()> call = std::move(it->second.call);
    calls.erase(it);
    call();
}

// Every window a CWnd owns passes through here first: when the window goes, its CWnd lets go of
// it, so that nothing reaches a window that is no more.
LRESULT CALLBACK OwnedWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    if (message == WM_NCDESTROY) {
        if (CWnd* pWnd = AfxFromHandle(hWnd)) {
            pWnd->Detach();
            pWnd->GetImpl().Release();
        }
        std::erase_if(PostedCalls(),
                      [hWnd](const auto& entry) { return entry.second.hWnd == hWnd; });
    }
    return DefSubclassProc(hWnd, message, wParam, lParam);
}

// The deepest of the framework's windows at pt (in hWnd's client area, in pixels), from hWnd down:
// the child windows under the point, then back up to the first that belongs to a CWnd.
CWnd* FrameworkWindowAt(HWND hWnd, POINT pt) {
    HWND at = hWnd;
    for (;;) {
        HWND child = ChildWindowFromPointEx(at, pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child == nullptr || child == at) {
            break;
        }
        MapWindowPoints(at, child, &pt, 1);
        at = child;
    }
    for (; at != nullptr; at = at == hWnd ? nullptr : GetParent(at)) {
        if (CWnd* pWnd = AfxFromHandle(at)) {
            return pWnd;
        }
    }
    return nullptr;
}

// The shell's drop (WM_DROPFILES): the files' paths in the order the drop lists them, and where
// the drop landed. The shell has already ended the drag, as a copy.
void DeliverDroppedFiles(CWnd* pWnd, HWND hWnd, HDROP hDrop) {
    CDropFiles drop;
    const UINT count = DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(hDrop, i, nullptr, 0), L'\0');
        const UINT length =
            DragQueryFileW(hDrop, i, path.data(), static_cast<UINT>(path.size() + 1));
        path.resize(length);
        drop.items.push_back({Narrow(path), true});
    }
    POINT pt{};
    DragQueryPoint(hDrop, &pt);
    DragFinish(hDrop);
    drop.pWndAt = FrameworkWindowAt(hWnd, pt);
    if (drop.pWndAt == nullptr) {
        drop.pWndAt = pWnd;
    }
    pWnd->OnDropFiles(drop);
}

}  // namespace

UINT AfxDpiOf(HWND hWnd) {
    if (hWnd == nullptr) {
        return 96;
    }
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = AfxUserFunction<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(hWnd); dpi != 0) {
            return dpi;
        }
    }
    static const UINT systemDpi = [] {
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
    }();
    return systemDpi;
}

int AfxSystemMetric(int nIndex, UINT dpi) {
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto getSystemMetricsForDpi =
        AfxUserFunction<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    return getSystemMetricsForDpi != nullptr ? getSystemMetricsForDpi(nIndex, dpi)
                                             : GetSystemMetrics(nIndex);
}

HINSTANCE AfxGetInstanceHandle() {
    return GetModuleHandleW(nullptr);
}

CWnd* AfxFromHandle(HWND hWnd) {
    return hWnd != nullptr ? static_cast<CWnd*>(GetPropW(hWnd, kOwnerProperty)) : nullptr;
}

const wchar_t* AfxRegisterClass(const wchar_t* name, WNDPROC wndProc, UINT style,
                                HBRUSH background) {
    static std::set<std::wstring> registered;
    if (registered.insert(name).second) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = style;
        wc.lpfnWndProc = wndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = background;
        wc.lpszClassName = name;
        wc.hIcon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(128));
        RegisterClassExW(&wc);
    }
    return name;
}

HWND AfxCreateWindow(CWnd* pWnd, const wchar_t* className, const std::wstring& title, DWORD style,
                     int x, int y, int cx, int cy, HWND parent, UINT nID) {
    HMENU id =
        (style & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
    CWnd* previous = std::exchange(g_pCreating, pWnd);
    HWND hWnd = CreateWindowExW(0, className, title.c_str(), style, x, y, cx, cy, parent, id,
                                AfxGetInstanceHandle(), pWnd);
    g_pCreating = previous;
    if (hWnd != nullptr) {
        SetWindowSubclass(hWnd, &OwnedWindowProc, 0, 0);
    }
    return hWnd;
}

LRESULT AfxDefaultMessage(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: {
            const UINT dpi = AfxDpiOf(hWnd);
            pWnd->OnSize(static_cast<UINT>(wParam), AfxUnscale(LOWORD(lParam), dpi),
                         AfxUnscale(HIWORD(lParam), dpi));
            return 0;
        }
        case WM_SHOWWINDOW:
            pWnd->OnShowWindow(wParam != 0, static_cast<UINT>(lParam));
            return DefWindowProcW(hWnd, message, wParam, lParam);
        case WM_CLOSE: {
            // What a window stores as it closes is one change of the settings.
            const RegistryBatch batch;
            pWnd->OnClose();
            return 0;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (lParam != 0) {
                AfxDeliverScroll(reinterpret_cast<HWND>(lParam), wParam);
                return 0;
            }
            break;
        case WM_LBUTTONDBLCLK: {
            const UINT dpi = AfxDpiOf(hWnd);
            pWnd->OnLButtonDblClk(static_cast<UINT>(wParam),
                                  CPoint{AfxUnscale(GET_X_LPARAM(lParam), dpi),
                                         AfxUnscale(GET_Y_LPARAM(lParam), dpi)});
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE: {
            // Delivered, then given the system's default processing.
            const UINT dpi = AfxDpiOf(hWnd);
            const auto flags = static_cast<UINT>(wParam);
            const CPoint point{AfxUnscale(GET_X_LPARAM(lParam), dpi),
                               AfxUnscale(GET_Y_LPARAM(lParam), dpi)};
            if (message == WM_LBUTTONDOWN) {
                pWnd->OnLButtonDown(flags, point);
            } else if (message == WM_LBUTTONUP) {
                pWnd->OnLButtonUp(flags, point);
            } else {
                pWnd->OnMouseMove(flags, point);
            }
            break;
        }
        case kCallMessage:
            RunPostedCall(wParam);
            return 0;
        case WM_DROPFILES:
            DeliverDroppedFiles(pWnd, hWnd, reinterpret_cast<HDROP>(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

void AfxPostCall(HWND hWnd, std::function<void()> call) {
    static WPARAM next = 0;
    const WPARAM id = ++next;
    PostedCalls().emplace(id, PostedCall{hWnd, std::move(call)});
    const bool posted = hWnd != nullptr
                            ? PostMessageW(hWnd, kCallMessage, id, 0) != 0
                            : PostThreadMessageW(GetCurrentThreadId(), kCallMessage, id, 0) != 0;
    if (!posted) {
        PostedCalls().erase(id);
    }
}

bool AfxRunThreadCall(const MSG& msg) {
    if (msg.hwnd != nullptr || msg.message != kCallMessage) {
        return false;
    }
    RunPostedCall(msg.wParam);
    return true;
}

void AfxDeliverScroll(HWND hBar, WPARAM wParam) {
    auto* bar = dynamic_cast<CScrollBar*>(AfxFromHandle(hBar));
    if (bar == nullptr) {
        return;
    }
    const UINT code = LOWORD(wParam);
    UINT pos = HIWORD(wParam);
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        // The message carries 16 bits; the bar knows all 32.
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(hBar, SB_CTL, &info)) {
            pos = static_cast<UINT>(info.nTrackPos);
        }
    }
    bar->SendRequest(code, pos);
}

void CWnd::Impl::Release() {
    if (images != nullptr) {
        ImageList_Destroy(std::exchange(images, nullptr));
    }
    if (accelerators != nullptr) {
        DestroyAcceleratorTable(std::exchange(accelerators, nullptr));
    }
    if (statusFont != nullptr) {
        DeleteObject(std::exchange(statusFont, nullptr));
    }
    toolBarId = 0;
}

CWnd::CWnd() : m_pImpl(std::make_unique<Impl>()) {}

CWnd::~CWnd() {
    if (m_hWnd != nullptr) {
        // The window goes without telling this half-destroyed object anything.
        HWND hWnd = Detach();
        m_pImpl->Release();
        DestroyWindow(hWnd);
    }
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    SetPropW(hWnd, kOwnerProperty, this);
    if (this != g_pCreating) {
        SetWindowSubclass(hWnd, &OwnedWindowProc, 0, 0);
    }
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        RemoveWindowSubclass(hWnd, &OwnedWindowProc, 0);
        RemovePropW(hWnd, kOwnerProperty);
        m_hWnd = nullptr;
    }
    return hWnd;
}

void CWnd::DragAcceptFiles(bool bAccept) {
    if (m_hWnd != nullptr) {
        ::DragAcceptFiles(m_hWnd, bAccept ? TRUE : FALSE);
    }
}

void CWnd::GetClientRect(CRect* pRect) const {
    *pRect = CRect();
    if (m_hWnd != nullptr) {
        ::GetClientRect(m_hWnd, pRect);
        const UINT dpi = AfxDpiOf(m_hWnd);
        pRect->right = AfxUnscale(pRect->right, dpi);
        pRect->bottom = AfxUnscale(pRect->bottom, dpi);
    }
}

void CWnd::GetChildRect(CRect* pRect) const {
    *pRect = CRect();
    if (m_hWnd != nullptr) {
        ::GetWindowRect(m_hWnd, pRect);
        MapWindowPoints(nullptr, GetParent(m_hWnd), reinterpret_cast<POINT*>(pRect), 2);
        const UINT dpi = AfxDpiOf(m_hWnd);
        *pRect = CRect(AfxUnscale(pRect->left, dpi), AfxUnscale(pRect->top, dpi),
                       AfxUnscale(pRect->right, dpi), AfxUnscale(pRect->bottom, dpi));
    }
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight) {
    if (m_hWnd != nullptr) {
        // Edge by edge, so that windows side by side stay side by side at any scale.
        const UINT dpi = AfxDpiOf(m_hWnd);
        const int left = AfxScale(x, dpi);
        const int top = AfxScale(y, dpi);
        ::MoveWindow(m_hWnd, left, top, AfxScale(x + nWidth, dpi) - left,
                     AfxScale(y + nHeight, dpi) - top, TRUE);
    }
}

void CWnd::Invalidate(bool bErase) {
    if (m_hWnd != nullptr) {
        InvalidateRect(m_hWnd, nullptr, bErase ? TRUE : FALSE);
    }
}

void CWnd::UpdateWindow() {
    if (m_hWnd != nullptr) {
        ::UpdateWindow(m_hWnd);
    }
}

void CWnd::ShowWindow(int nCmdShow) {
    if (m_hWnd != nullptr) {
        ::ShowWindow(m_hWnd, nCmdShow);
    }
}

bool CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && ::IsWindowVisible(m_hWnd) != 0;
}

bool CWnd::IsShown() const {
    return m_hWnd != nullptr && (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void CWnd::SetFocus() {
    if (m_hWnd != nullptr) {
        ::SetFocus(m_hWnd);
    }
}

bool CWnd::HasFocus() const {
    return m_hWnd != nullptr && GetFocus() == m_hWnd;
}

void CWnd::ScrollWindow(int xAmount, int yAmount) {
    if (m_hWnd != nullptr) {
        const UINT dpi = AfxDpiOf(m_hWnd);
        ::ScrollWindow(m_hWnd, AfxScale(xAmount, dpi), AfxScale(yAmount, dpi), nullptr, nullptr);
    }
}

CWnd* CWnd::SetCapture() {
    return m_hWnd != nullptr ? AfxFromHandle(::SetCapture(m_hWnd)) : GetCapture();
}

CWnd* CWnd::GetCapture() {
    return AfxFromHandle(::GetCapture());
}

void CWnd::ReleaseCapture() {
    ::ReleaseCapture();
}
