// The Win32 half of CView: the pane's window erases with the system window colour, then lets the
// view draw; it delivers the left button, double-clicks and wheel turns and takes no keys of its
// own.
#include "framework/window/View.h"

#include <windowsx.h>

#include "framework/draw/DC.h"
#include "framework/win32/Win32Support.h"

namespace {

LRESULT CALLBACK ViewProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* pView = AfxWndOfMessage<CView>(hWnd, message, lParam);
    if (pView == nullptr) {
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // erased while painting, so that nothing flickers
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC hdc = BeginPaint(hWnd, &paint);
            {
                CDC dc(hdc);
                if (!pView->OnEraseBkgnd(&dc)) {
                    FillRect(hdc, &paint.rcPaint, GetSysColorBrush(COLOR_WINDOW));
                }
                pView->OnDraw(&dc);
            }
            EndPaint(hWnd, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            pView->ActivateFromMouse();
            pView->SetFocus();
            if (message == WM_LBUTTONDOWN) {
                const UINT dpi = AfxDpiOf(hWnd);
                pView->OnLButtonDown(static_cast<UINT>(wParam),
                                     CPoint{AfxUnscale(GET_X_LPARAM(lParam), dpi),
                                            AfxUnscale(GET_Y_LPARAM(lParam), dpi)});
            }
            return 0;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hWnd, &at);
            const UINT dpi = AfxDpiOf(hWnd);
            at = {AfxUnscale(at.x, dpi), AfxUnscale(at.y, dpi)};
            const auto delta = static_cast<short>(GET_WHEEL_DELTA_WPARAM(wParam));
            const auto keys = static_cast<UINT>(GET_KEYSTATE_WPARAM(wParam));
            // Shift turns the wheel sideways.
            if (message == WM_MOUSEHWHEEL) {
                pView->OnMouseHWheel(keys, delta, at);
            } else if ((keys & MK_SHIFT) != 0) {
                pView->OnMouseHWheel(keys, static_cast<short>(-delta), at);
            } else {
                pView->OnMouseWheel(keys, delta, at);
            }
            return 0;
        }
        default:
            return AfxDefaultMessage(pView, hWnd, message, wParam, lParam);
    }
}

}  // namespace

bool CView::CreatePaneWindow(CWnd* pParent, const CRect& rect, UINT nID) {
    // Double-clicks delivered, the whole pane repainted after any change of its size.
    const wchar_t* className =
        AfxRegisterClass(L"TessiverView", &ViewProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    HWND parent = pParent != nullptr ? pParent->GetSafeHwnd() : nullptr;
    const DWORD style = parent != nullptr ? WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS : WS_POPUP;
    const UINT dpi = AfxDpiOf(parent);
    const int left = AfxScale(rect.left, dpi);
    const int top = AfxScale(rect.top, dpi);
    return AfxCreateWindow(this, className, L"", style, left, top, AfxScale(rect.right, dpi) - left,
                           AfxScale(rect.bottom, dpi) - top, parent, nID) != nullptr;
}
