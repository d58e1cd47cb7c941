#pragma once

#include "framework/core/Platform.h"

#ifndef _WIN32
// A window's placement: its restored (normal) rectangle, its show command (SW_SHOWNORMAL,
// SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED) and flags. 44 bytes, as on the platform.
struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

constexpr UINT WPF_SETMINPOSITION = 0x0001;
constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;
#endif

// The work area (the screen less the desktop's bars and panels), in placement coordinates, of
// the screen that holds the most of the rectangle; the primary screen's when the rectangle meets
// no screen's work area, and then *pbMeetsScreen (optional) is false.
RECT AfxGetWorkArea(const RECT& rect, bool* pbMeetsScreen = nullptr);
// The primary screen's size in pixels.
CSize AfxGetPrimaryScreenSize();
