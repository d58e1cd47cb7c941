#pragma once

#include "framework/core/Platform.h"

// Whether the rectangle shares at least one pixel with some screen's available area.
bool AfxRectMeetsAnyScreen(const RECT& rect);
// The rectangle moved (keeping its size) so that it starts at the primary screen's available
// top-left corner.
RECT AfxMoveRectOntoPrimaryScreen(const RECT& rect);
// The primary screen's size in pixels.
CSize AfxGetPrimaryScreenSize();
