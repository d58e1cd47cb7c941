// The Win32 half of CSplitterWnd: its window paints the splitter bars and the corner box and
// turns mouse and keys into bar tracking; the tracker is a thin dark window over the panes.
#include "framework/window/SplitterWnd.h"

#include <windowsx.h>
#include <utility>

#include "framework/win32/Win32Support.h"

namespace {

constexpr int kKeyboardStep = 8;

void PaintSplitter(CSplitterWnd* pSplitter, HWND hWnd) {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(hWnd, &paint);
    RECT client;
    GetClientRect(hWnd, &client);
    const UINT dpi = AfxDpiOf(hWnd);
    // The splitter bars and the corner box belong to the splitter: nothing else covers them.
    for (int col = 0; col + 1 < pSplitter->GetColumnCount(); ++col) {
        const int left = pSplitter->SplitterBarLeft(col);
        RECT bar{AfxScale(left, dpi), 0, AfxScale(left + pSplitter->SplitterBarWidth(), dpi),
                 client.bottom};
        FillRect(hdc, &bar, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(hdc, &bar, EDGE_RAISED, BF_LEFT | BF_RIGHT);
    }
    const CRect corner = pSplitter->CornerBox();
    if (corner.Width() > 0 && corner.Height() > 0) {
        const RECT box{AfxScale(corner.left, dpi), AfxScale(corner.top, dpi),
                       AfxScale(corner.right, dpi), AfxScale(corner.bottom, dpi)};
        FillRect(hdc, &box, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(hWnd, &paint);
}

bool OnKey(CSplitterWnd* pSplitter, WPARAM key) {
    if (!pSplitter->IsTracking()) {
        return false;
    }
    const int step = (GetKeyState(VK_CONTROL) & 0x8000) != 0 ? 1 : kKeyboardStep;
    switch (key) {
        case VK_LEFT:
            pSplitter->TrackBy(-step);
            break;
        case VK_RIGHT:
            pSplitter->TrackBy(step);
            break;
        case VK_RETURN:
            pSplitter->StopTracking(true);
            break;
        case VK_ESCAPE:
            pSplitter->StopTracking(false);
            break;
        default:
            break;
    }
    return true;
}

LRESULT CALLBACK SplitterProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* pSplitter = AfxWndOfMessage<CSplitterWnd>(hWnd, message, lParam);
    if (pSplitter == nullptr) {
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
    const UINT dpi = AfxDpiOf(hWnd);
    const int x = AfxUnscale(GET_X_LPARAM(lParam), dpi);
    const int y = AfxUnscale(GET_Y_LPARAM(lParam), dpi);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the panes and bars cover everything but what WM_PAINT draws
        case WM_PAINT:
            PaintSplitter(pSplitter, hWnd);
            return 0;
        case WM_LBUTTONDOWN:
            if (pSplitter->IsTracking()) {
                pSplitter->StopTracking(true);  // a click ends the keyboard split, keeping it
            } else if (const int col = pSplitter->HitSplitterBar(x, y); col >= 0) {
                SetCapture(hWnd);
                pSplitter->StartTracking(col, x - pSplitter->SplitterBarLeft(col), false);
            }
            return 0;
        case WM_MOUSEMOVE:
            if (pSplitter->IsTracking()) {
                pSplitter->TrackTo(x);
            }
            return 0;
        case WM_SETCURSOR: {
            POINT at;
            GetCursorPos(&at);
            ScreenToClient(hWnd, &at);
            if (reinterpret_cast<HWND>(wParam) == hWnd &&
                (pSplitter->IsTracking() ||
                 pSplitter->HitSplitterBar(AfxUnscale(at.x, dpi), AfxUnscale(at.y, dpi)) >= 0)) {
                SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE)));
                return TRUE;
            }
            break;
        }
        case WM_LBUTTONUP:
            if (pSplitter->IsTracking() && !pSplitter->IsKeyboardTracking()) {
                ReleaseCapture();
                pSplitter->StopTracking(true);
            }
            return 0;
        case WM_KEYDOWN:
            if (OnKey(pSplitter, wParam)) {
                return 0;
            }
            break;
        case WM_KILLFOCUS:
            // Going elsewhere during the keyboard split keeps the old split.
            if (pSplitter->IsKeyboardTracking()) {
                pSplitter->StopTracking(false);
            }
            return 0;
        default:
            break;
    }
    return AfxDefaultMessage(pSplitter, hWnd, message, wParam, lParam);
}

}  // namespace

bool CSplitterWnd::CreateSplitterWindow(CWnd* pParentWnd) {
    const wchar_t* className =
        AfxRegisterClass(L"TessiverSplitter", &SplitterProc, 0, GetSysColorBrush(COLOR_BTNFACE));
    HWND parent = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    RECT area{0, 0, 0, 0};
    if (parent != nullptr) {
        ::GetClientRect(parent, &area);
    }
    // On its own (tests), a window without a frame: its client area is all of it.
    const DWORD style = parent != nullptr ? WS_CHILD | WS_CLIPCHILDREN : WS_POPUP | WS_CLIPCHILDREN;
    return AfxCreateWindow(this, className, L"", style, 0, 0, area.right, area.bottom, parent,
                           m_nID) != nullptr;
}

int CSplitterWnd::ScrollBarExtent() const {
    const UINT dpi = AfxDpiOf(GetSafeHwnd());
    return AfxUnscale(AfxSystemMetric(SM_CXVSCROLL, dpi), dpi);
}

void CSplitterWnd::ShowTracker(bool bShow) {
    HWND hWnd = GetSafeHwnd();
    HWND& tracker = GetImpl().tracker;
    if (!bShow) {
        if (tracker != nullptr) {
            DestroyWindow(std::exchange(tracker, nullptr));
        }
        return;
    }
    if (tracker == nullptr) {
        tracker = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_BLACKRECT, 0, 0, 0, 0, hWnd,
                                  nullptr, AfxGetInstanceHandle(), nullptr);
    }
    RECT client;
    ::GetClientRect(hWnd, &client);
    const UINT dpi = AfxDpiOf(hWnd);
    const int left = AfxScale(TrackerLeft(), dpi);
    SetWindowPos(tracker, HWND_TOP, left, 0,
                 AfxScale(TrackerLeft() + SplitterBarWidth(), dpi) - left, client.bottom,
                 SWP_SHOWWINDOW);
}

void CSplitterWnd::TakeKeyboard() {
    GetImpl().focusBefore = GetFocus();
    ::SetFocus(GetSafeHwnd());
}

void CSplitterWnd::GiveKeyboardBack() {
    HWND before = std::exchange(GetImpl().focusBefore, nullptr);
    if (before != nullptr && ::IsWindow(before)) {
        ::SetFocus(before);
    }
}
