// The Win32 half of CToolBar: a toolbar control with an image list from the program's bitmap of
// the same number; its tooltips come from the frame (the toolbar asks its parent for them).
#include "framework/window/ToolBar.h"

#include <commctrl.h>

#include <vector>

#include "framework/core/CmdUI.h"
#include "framework/core/ResourceTypes.h"
#include "framework/win32/Win32Support.h"
#include "framework/window/FrameWnd.h"

namespace {
// Where a button image shows no colour of its own.
constexpr COLORREF kImageMask = RGB(255, 0, 255);
}  // namespace

bool CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    HWND parent = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                   CCS_TOP | CCS_NODIVIDER | (dwStyle & WS_VISIBLE),
                               0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                               AfxGetInstanceHandle(), nullptr);
    if (bar == nullptr) {
        return false;
    }
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    Attach(bar);
    InitBar(pParentWnd, dwStyle, nID);
    return true;
}

bool CToolBar::CreateButtons(const ToolBarDef& def) {
    HWND bar = GetSafeHwnd();
    HIMAGELIST images = ImageList_LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(def.id),
                                             def.nButtonWidth, 0, kImageMask, IMAGE_BITMAP,
                                             LR_CREATEDIBSECTION);
    if (images == nullptr) {
        return false;
    }
    SetPropW(bar, kImageListProperty, images);
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    std::vector<TBBUTTON> buttons;
    int nImage = 0;
    for (const Button& button : m_buttons) {
        TBBUTTON item{};
        if (button.id == 0) {
            item.fsStyle = BTNS_SEP;
        } else {
            item.iBitmap = nImage++;
            item.idCommand = static_cast<int>(button.id);
            item.fsState = TBSTATE_ENABLED;
            item.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(item);
    }
    SendMessageW(bar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(bar, TB_AUTOSIZE, 0, 0);
    return true;
}

void CToolBar::ApplyButtonState(int nIndex, const CCmdUI& ui) {
    // By the button's place, not its command: the system's by-command messages reach only the
    // first button that carries the command.
    HWND bar = GetSafeHwnd();
    TBBUTTON button{};
    if (bar == nullptr ||
        !SendMessageW(bar, TB_GETBUTTON, nIndex, reinterpret_cast<LPARAM>(&button))) {
        return;
    }
    const auto with = [](BYTE state, BYTE flag, bool bOn) {
        return static_cast<BYTE>(bOn ? state | flag : state & ~flag);
    };
    BYTE state = with(button.fsState, TBSTATE_ENABLED, ui.m_bEnabled);
    if (ui.m_nCheck) {
        state = with(state, TBSTATE_CHECKED, *ui.m_nCheck != 0);
    }
    // Only changes are sent: the bar repaints on every one.
    if (state != button.fsState) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        info.fsState = state;
        SendMessageW(bar, TB_SETBUTTONINFOW, nIndex, reinterpret_cast<LPARAM>(&info));
    }
}

void CToolBar::EnableDocking(DWORD dwDockStyle) {
    // The bar stays docked where its style puts it; the record is kept for the bar state.
    CControlBar::EnableDocking(dwDockStyle);
}

void CToolBar::ApplyTooltips() {
    HWND bar = GetSafeHwnd();
    if (bar == nullptr) {
        return;
    }
    if (auto tips = reinterpret_cast<HWND>(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0))) {
        SendMessageW(tips, TTM_ACTIVATE, (m_dwStyle & CBRS_TOOLTIPS) != 0 ? TRUE : FALSE, 0);
    }
}
