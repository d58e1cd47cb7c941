#pragma once

#include "framework/core/Platform.h"

// The work area (the screen less the desktop's bars and panels), in placement coordinates, of
// the screen that holds the most of the rectangle; the primary screen's when the rectangle meets
// no screen's work area, and then *pbMeetsScreen (optional) is false.
RECT AfxGetWorkArea(const RECT& rect, bool* pbMeetsScreen = nullptr);
// The primary screen's size in pixels.
CSize AfxGetPrimaryScreenSize();
