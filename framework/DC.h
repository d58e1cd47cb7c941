#pragma once

#include <string_view>

#include "framework/Platform.h"

class QPainter;
class CFont;

// A device context over a QPainter, with the platform's defaults: opaque background mode (the
// cell behind each drawn character is filled with the background colour, nothing else), top-left
// text alignment, pixel coordinates.
class CDC {
public:
    explicit CDC(QPainter* pPainter);
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Selects pFont; returns the font it replaces (null when none was selected).
    CFont* SelectObject(CFont* pFont);
    COLORREF SetBkColor(COLORREF color);
    COLORREF SetTextColor(COLORREF color);
    // Draws bytes at (x, y): valid UTF-8 as UTF-8, anything else as Latin-1. Only the
    // characters that can fall inside the clip are laid out.
    bool TextOut(int x, int y, std::string_view text);

    QPainter* GetPainter() const { return m_pPainter; }

private:
    QPainter* m_pPainter;
    CFont* m_pFont = nullptr;
    COLORREF m_bkColor = RGB(255, 255, 255);
    COLORREF m_textColor = RGB(0, 0, 0);
};
