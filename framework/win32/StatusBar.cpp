// The Win32 half of CStatusBar: a status bar control with one part per pane.
#include "framework/window/StatusBar.h"

#include <commctrl.h>

#include <vector>

#include "framework/win32/Win32Support.h"

bool CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    HWND parent = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    // No size grip: the panes fill the bar at their own widths.
    HWND bar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr,
                               WS_CHILD | WS_CLIPSIBLINGS | (dwStyle & WS_VISIBLE), 0, 0, 0, 0,
                               parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                               AfxGetInstanceHandle(), nullptr);
    if (bar == nullptr) {
        return false;
    }
    Attach(bar);
    InitBar(pParentWnd, dwStyle, nID);
    return true;
}

void CStatusBar::CreatePanes(const std::vector<std::string>& texts) {
    HWND bar = GetSafeHwnd();
    HDC hdc = GetDC(bar);
    HGDIOBJ old = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0)));
    const UINT dpi = AfxDpiOf(bar);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::wstring text = Widen(texts[i]);
        SIZE extent{};
        GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), &extent);
        m_panes[i].cx = AfxUnscale(extent.cx, dpi);
    }
    SelectObject(hdc, old);
    ReleaseDC(bar, hdc);
    LayoutPanes();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SetPaneText(static_cast<int>(i), texts[i]);
    }
}

void CStatusBar::LayoutPanes() {
    HWND bar = GetSafeHwnd();
    if (bar == nullptr || m_panes.empty()) {
        return;
    }
    std::vector<int> edges;
    const UINT dpi = AfxDpiOf(bar);
    int right = 0;
    for (const Pane& pane : m_panes) {
        right += pane.cx;
        edges.push_back(AfxScale(right, dpi));
    }
    SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

std::string CStatusBar::GetPaneText(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return {};
    }
    HWND bar = GetSafeHwnd();
    std::wstring text(LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, nIndex, 0)), L'\0');
    std::vector<wchar_t> buffer(text.size() + 1);
    SendMessageW(bar, SB_GETTEXTW, nIndex, reinterpret_cast<LPARAM>(buffer.data()));
    return Narrow(std::wstring_view(buffer.data(), text.size()));
}

bool CStatusBar::SetPaneText(int nIndex, const std::string& text) {
    if (nIndex < 0 || nIndex >= GetCount()) {
        return false;
    }
    // Only changes are sent: the bar repaints on every one, and idle time sets the texts often.
    if (GetPaneText(nIndex) != text) {
        SendMessageW(GetSafeHwnd(), SB_SETTEXTW, nIndex,
                     reinterpret_cast<LPARAM>(Widen(text).c_str()));
    }
    return true;
}
