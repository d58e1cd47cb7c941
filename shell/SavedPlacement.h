#pragma once

#include <string>

#include "framework/core/Platform.h"

class CFrameWnd;

// A window's placement kept under a registry key below HKEY_CURRENT_USER, as six 32-bit values:
// "top", "right", "left", "bottom" (the restored rectangle), "show" and "flags".
//
// Restoring: when "top" equals "bottom" nothing counts as stored, and the window keeps the
// place the system gave it, nudged down one pixel and one pixel wider and taller, in the normal
// state. A stored rectangle is brought onto the screen (FitOnScreen) and applied with its show
// state; one that fits is applied exactly.
void LoadWindowPlacement(CFrameWnd* pWnd, std::string strKeyPath);
void SaveWindowPlacement(CFrameWnd* pWnd, std::string strKeyPath);

// A stored rectangle as the window takes it, given the work area of its screen and whether it
// meets that screen at all: one that meets no screen any more goes to the work area's top left
// corner; one larger than the work area shrinks to it; one that reaches past the work area moves
// back inside, so that the whole title bar shows. One inside the work area stays as it is.
RECT FitOnScreen(const RECT& rc, const RECT& work, bool bMeetsScreen);
