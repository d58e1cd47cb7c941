#pragma once

// The platform's plain types and constants that the program is written against, under their
// Windows names. The build names the platform's own header (TESSIVER_WINDOWS_NAMES): on Windows
// the system's headers, in framework/win32/WindowsNames.h; elsewhere the framework's stand-ins
// with the same names and values, in framework/qt/WindowsNames.h.

#include TESSIVER_WINDOWS_NAMES

using CPoint = POINT;

// The client rectangle type the program uses.
struct CRect : RECT {
    CRect() = default;
    CRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    int Width() const { return static_cast<int>(right - left); }
    int Height() const { return static_cast<int>(bottom - top); }
};

// A width and a height, in pixels.
struct CSize {
    CSize() = default;
    CSize(LONG x, LONG y) : cx(x), cy(y) {}
    LONG cx = 0;
    LONG cy = 0;
};
