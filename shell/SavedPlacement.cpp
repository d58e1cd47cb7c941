#include "shell/SavedPlacement.h"

#include <algorithm>

#include "document/RegistryKey.h"
#include "framework/window/FrameWnd.h"
#include "framework/window/WindowPlacement.h"

void LoadWindowPlacement(CFrameWnd* pWnd, std::string strKeyPath) {
    WINDOWPLACEMENT wp;
    wp.length = sizeof(wp);
    pWnd->GetWindowPlacement(&wp);
    CRegistryKey key(std::move(strKeyPath), HKEY_CURRENT_USER);
    // Stored as DWORDs: negative edges come back through the same two's-complement bits.
    const auto t = static_cast<LONG>(key.ReadInt("top", 0));
    const auto r = static_cast<LONG>(key.ReadInt("right", 0));
    const auto l = static_cast<LONG>(key.ReadInt("left", 0));
    const auto b = static_cast<LONG>(key.ReadInt("bottom", 0));
    RECT& rc = wp.rcNormalPosition;
    if (b == t) {
        wp.showCmd = SW_SHOWNORMAL;
        wp.flags = 0;
        rc.top += 1;
        rc.right += 1;
        rc.bottom += 2;
    } else {
        wp.showCmd = key.ReadInt("show", 0);
        wp.flags = key.ReadInt("flags", 0);
        rc.left = l;
        rc.top = t;
        rc.right = r;
        rc.bottom = b;
        // A screen that has gone away or shrunk must not take the window or its title bar.
        bool bMeetsScreen = false;
        const RECT work = AfxGetWorkArea(rc, &bMeetsScreen);
        rc = FitOnScreen(rc, work, bMeetsScreen);
    }
    if (rc.left != 0 || rc.top != 0 || rc.right != 0 || rc.bottom != 0) {
        pWnd->SetWindowPlacement(&wp);
    }
}

void SaveWindowPlacement(CFrameWnd* pWnd, std::string strKeyPath) {
    WINDOWPLACEMENT wp;
    wp.length = sizeof(wp);
    pWnd->GetWindowPlacement(&wp);
    CRegistryKey key(std::move(strKeyPath), HKEY_CURRENT_USER);
    key.WriteInt("top", static_cast<DWORD>(wp.rcNormalPosition.top));
    key.WriteInt("right", static_cast<DWORD>(wp.rcNormalPosition.right));
    key.WriteInt("left", static_cast<DWORD>(wp.rcNormalPosition.left));
    key.WriteInt("bottom", static_cast<DWORD>(wp.rcNormalPosition.bottom));
    key.WriteInt("show", wp.showCmd);
    key.WriteInt("flags", wp.flags);
}

RECT FitOnScreen(const RECT& rc, const RECT& work, bool bMeetsScreen) {
    const LONG width = std::min(rc.right - rc.left, work.right - work.left);
    const LONG height = std::min(rc.bottom - rc.top, work.bottom - work.top);
    RECT fitted;
    fitted.left = bMeetsScreen ? std::clamp(rc.left, work.left, work.right - width) : work.left;
    fitted.top = bMeetsScreen ? std::clamp(rc.top, work.top, work.bottom - height) : work.top;
    fitted.right = fitted.left + width;
    fitted.bottom = fitted.top + height;
    return fitted;
}
