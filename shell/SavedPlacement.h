#pragma once

#include <string>

class CFrameWnd;

// A window's placement kept under a registry key below HKEY_CURRENT_USER, as six 32-bit values:
// "top", "right", "left", "bottom" (the restored rectangle), "show" and "flags".
//
// Restoring: when "top" equals "bottom" nothing counts as stored, and the window keeps the
// place the system gave it, nudged down one pixel and one pixel wider and taller, in the normal
// state. A stored rectangle that meets no screen any more is moved onto the primary screen,
// keeping its size and show state; one that is on a screen is applied exactly.
void LoadWindowPlacement(CFrameWnd* pWnd, std::string strKeyPath);
void SaveWindowPlacement(CFrameWnd* pWnd, std::string strKeyPath);
