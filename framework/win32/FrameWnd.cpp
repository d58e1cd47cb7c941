// The Win32 half of CFrameWnd: an overlapped window with the resource's menu and accelerators,
// its bars docked top and bottom and its main pane (the child numbered AFX_IDW_PANE_FIRST)
// stretched over what they leave.
#include "framework/window/FrameWnd.h"

#include <commctrl.h>
#include <windowsx.h>
#include <utility>

#include <vector>

#include "framework/core/AfxRes.h"
#include "framework/core/CmdUI.h"
#include "framework/core/Resources.h"
#include "framework/win32/Win32Support.h"
#include "framework/window/ControlBar.h"
#include "framework/window/ToolBar.h"
#include "framework/window/View.h"
#include "framework/window/WinApp.h"

namespace {

// Menu items show the state the update handlers give their commands when their popup opens.
void UpdateMenuPopup(CFrameWnd* pFrame, HMENU popup) {
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(popup, i);
        if (id == 0 || id == static_cast<UINT>(-1)) {
            continue;  // a separator or a popup
        }
        CCmdUI state(id);
        pFrame->UpdateCommand(state);
        EnableMenuItem(popup, static_cast<UINT>(i),
                       MF_BYPOSITION | (state.m_bEnabled ? MF_ENABLED : MF_GRAYED));
        if (state.m_nCheck) {
            CheckMenuItem(popup, static_cast<UINT>(i),
                          MF_BYPOSITION | (*state.m_nCheck != 0 ? MF_CHECKED : MF_UNCHECKED));
        }
        if (state.m_text) {
            ModifyMenuW(popup, static_cast<UINT>(i), MF_BYPOSITION | MF_STRING, id,
                        Widen(*state.m_text).c_str());
        }
    }
}

// A toolbar button's tooltip: the second line of its command's prompt, while the bar shows tips.
void GetToolTip(CFrameWnd* pFrame, NMTTDISPINFOW* info) {
    static std::wstring text;
    text.clear();
    const auto id = static_cast<UINT>(info->hdr.idFrom);
    if (auto* bar = dynamic_cast<CToolBar*>(pFrame->GetControlBar(AFX_IDW_TOOLBAR));
        bar != nullptr && (bar->GetBarStyle() & CBRS_TOOLTIPS) != 0) {
        for (int i = 0; i < bar->GetCount(); ++i) {
            if (bar->GetItemID(i) == id) {
                text = Widen(bar->GetButtonTip(i));
            }
        }
    }
    info->lpszText = text.data();
}

// The frame moved to a screen of another dpi: the system's rectangle for it there, the bars'
// images and fonts at the new dpi, and everything laid out and drawn again.
void OnDpiChanged(CFrameWnd* pFrame, HWND hWnd, UINT dpi, const RECT& suggested) {
    using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto systemParametersInfoForDpi =
        AfxUserFunction<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    if (auto* bar = dynamic_cast<CToolBar*>(pFrame->GetControlBar(AFX_IDW_TOOLBAR))) {
        AfxScaleToolBarImages(bar->GetSafeHwnd());
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (CControlBar* bar = pFrame->GetControlBar(AFX_IDW_STATUS_BAR);
        bar != nullptr && systemParametersInfoForDpi != nullptr &&
        systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        if (HFONT font = CreateFontIndirectW(&metrics.lfStatusFont)) {
            SendMessageW(bar->GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            // The status bar's font for the frame's dpi, once the frame has moved to another
            // screen.
            if (HFONT old = std::exchange(pFrame->GetImpl().statusFont, font)) {
                DeleteObject(old);
            }
        }
    }
    SetWindowPos(hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Laid out again even where the size in pixels stayed: it is another size at this dpi.
    RECT client;
    GetClientRect(hWnd, &client);
    AfxDefaultMessage(pFrame, hWnd, WM_SIZE, SIZE_RESTORED,
                      MAKELPARAM(client.right, client.bottom));
    if (HWND pane = GetDlgItem(hWnd, AFX_IDW_PANE_FIRST)) {
        GetClientRect(pane, &client);
        SendMessageW(pane, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    RedrawWindow(hWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK FrameProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* pFrame = AfxWndOfMessage<CFrameWnd>(hWnd, message, lParam);
    if (pFrame == nullptr) {
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_COMMAND:
            // Menu items, accelerators and toolbar buttons alike.
            pFrame->OnCommand(LOWORD(wParam));
            return 0;
        case WM_INITMENUPOPUP:
            UpdateMenuPopup(pFrame, reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_NOTIFY:
            if (reinterpret_cast<NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
                GetToolTip(pFrame, reinterpret_cast<NMTTDISPINFOW*>(lParam));
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (CView* view = pFrame->GetActiveView()) {
                view->SetFocus();
            }
            return 0;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            // Turned over the frame while it has the focus: the active view scrolls.
            if (CView* view = pFrame->GetActiveView(); view != nullptr && view->IsWindow()) {
                return SendMessageW(view->GetSafeHwnd(), message, wParam, lParam);
            }
            break;
        case WM_DPICHANGED:
            OnDpiChanged(pFrame, hWnd, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DESTROY:
            if (HFONT font = std::exchange(pFrame->GetImpl().statusFont, nullptr)) {
                // The status bar goes with the frame, after this: it keeps drawing with the
                // system's font until then.
                if (CControlBar* bar = pFrame->GetControlBar(AFX_IDW_STATUS_BAR);
                    bar != nullptr && bar->IsWindow()) {
                    SendMessageW(bar->GetSafeHwnd(), WM_SETFONT, 0, FALSE);
                }
                DeleteObject(font);
            }
            if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == pFrame) {
                PostQuitMessage(0);
            }
            return 0;
        default:
            break;
    }
    return AfxDefaultMessage(pFrame, hWnd, message, wParam, lParam);
}

}  // namespace

HACCEL AfxGetAccelerators(HWND hFrame) {
    CWnd* pFrame = AfxFromHandle(hFrame);
    return pFrame != nullptr ? pFrame->GetImpl().accelerators : nullptr;
}

bool CFrameWnd::CreateFrameWindow(UINT nIDResource) {
    const wchar_t* className = AfxRegisterClass(L"TessiverFrame", &FrameProc, 0,
                                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    HWND hWnd = AfxCreateWindow(this, className, Widen(m_strTitle),
                                (m_dwStyle & ~FWS_ADDTOTITLE) | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, 0);
    if (hWnd == nullptr) {
        return false;
    }
    if (HICON icon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(nIDResource))) {
        SendMessageW(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
    LoadMenu(nIDResource);
    LoadAccelerators(nIDResource);
    return true;
}

void CFrameWnd::LoadMenu(UINT nIDResource) {
    const MenuDef* def = AfxFindMenu(nIDResource);
    if (def == nullptr) {
        return;
    }
    HMENU bar = CreateMenu();
    for (const MenuPopupDef& popupDef : def->popups) {
        HMENU popup = CreatePopupMenu();
        for (const MenuItemDef& item : popupDef.items) {
            if (item.text == nullptr) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            } else {
                // The text after a TAB shows as the shortcut text; no key is bound by it.
                AppendMenuW(popup, MF_STRING, item.id, Widen(item.text).c_str());
            }
        }
        AppendMenuW(bar, MF_POPUP | MF_STRING | (popupDef.bRightAligned ? MF_RIGHTJUSTIFY : 0),
                    reinterpret_cast<UINT_PTR>(popup), Widen(popupDef.title).c_str());
    }
    SetMenu(GetSafeHwnd(), bar);
}

void CFrameWnd::LoadAccelerators(UINT nIDResource) {
    const AcceleratorTableDef* def = AfxFindAccelerators(nIDResource);
    if (def == nullptr) {
        return;
    }
    std::vector<ACCEL> table;
    for (const AccelDef& accel : def->entries) {
        table.push_back({static_cast<BYTE>(accel.flags), static_cast<WORD>(accel.key),
                         static_cast<WORD>(accel.id)});
    }
    if (HACCEL accelerators =
            CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()))) {
        GetImpl().accelerators = accelerators;
    }
}

void CFrameWnd::RecalcLayout() {
    HWND hWnd = GetSafeHwnd();
    if (hWnd == nullptr) {
        return;
    }
    RECT area;
    ::GetClientRect(hWnd, &area);
    for (CControlBar* bar : m_controlBars) {
        if (!bar->IsShown()) {
            continue;
        }
        // The bars size themselves to their frame's width on a size message.
        const bool bToolBar = dynamic_cast<CToolBar*>(bar) != nullptr;
        SendMessageW(bar->GetSafeHwnd(), bToolBar ? TB_AUTOSIZE : WM_SIZE, 0, 0);
        RECT place;  // in pixels, as the client area here
        ::GetWindowRect(bar->GetSafeHwnd(), &place);
        if ((bar->GetBarStyle() & CBRS_ALIGN_BOTTOM) != 0) {
            area.bottom -= place.bottom - place.top;
        } else {
            area.top += place.bottom - place.top;
        }
    }
    if (HWND pane = GetDlgItem(hWnd, AFX_IDW_PANE_FIRST)) {
        ::MoveWindow(pane, area.left, area.top, area.right - area.left,
                     std::max<LONG>(area.bottom - area.top, 0), TRUE);
    }
}

void CFrameWnd::SetWindowText(const std::string& text) {
    SetWindowTextW(GetSafeHwnd(), Widen(text).c_str());
}

std::string CFrameWnd::GetWindowText() const {
    HWND hWnd = GetSafeHwnd();
    if (hWnd == nullptr) {
        return {};
    }
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(hWnd)) + 1);
    const int length = GetWindowTextW(hWnd, text.data(), static_cast<int>(text.size()));
    return Narrow(std::wstring_view(text.data(), static_cast<std::size_t>(length)));
}

void CFrameWnd::PostCall(CWnd* pWnd, std::function<void()> call) {
    AfxPostCall(pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr, std::move(call));
}

void CFrameWnd::EnableDocking(DWORD /*dwDockStyle*/) {
    // The bars stay docked where their styles put them.
}

void CFrameWnd::DockControlBar(CControlBar* /*pBar*/, UINT /*nDockBarID*/,
                               const CRect* /*lpRect*/) {
    RecalcLayout();
}

bool CFrameWnd::GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const {
    if (GetSafeHwnd() == nullptr || lpwndpl == nullptr) {
        return false;
    }
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    return ::GetWindowPlacement(GetSafeHwnd(), lpwndpl) != 0;
}

bool CFrameWnd::SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) {
    if (GetSafeHwnd() == nullptr || lpwndpl == nullptr) {
        return false;
    }
    WINDOWPLACEMENT placement = *lpwndpl;
    placement.length = sizeof placement;
    return ::SetWindowPlacement(GetSafeHwnd(), &placement) != 0;
}

void CFrameWnd::OnClose() {
    HWND hWnd = GetSafeHwnd();
    if (hWnd == nullptr || m_bClosing) {
        return;
    }
    // The window goes; the main window's going ends the message loop.
    m_bClosing = true;
    DestroyWindow(hWnd);
    m_bClosing = false;
}
