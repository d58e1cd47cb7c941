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

// Whether the rectangle shares at least one pixel with some screen's available area.
bool AfxRectMeetsAnyScreen(const RECT& rect);
// The rectangle moved (keeping its size) so that it starts at the primary screen's available
// top-left corner.
RECT AfxMoveRectOntoPrimaryScreen(const RECT& rect);
// The primary screen's size in pixels.
CSize AfxGetPrimaryScreenSize();
