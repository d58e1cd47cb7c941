#pragma once

#include <QtGlobal>
#include <array>
#include <memory>
#include <string_view>

#include "framework/core/Platform.h"

class QPainter;
class QFont;
class QFontMetricsF;
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

    // Selects pFont; returns the font it replaces (null when none was selected). Selecting null
    // brings back the painter's own font.
    CFont* SelectObject(CFont* pFont);
    COLORREF SetBkColor(COLORREF color);
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetBkColor() const { return m_bkColor; }
    COLORREF GetTextColor() const { return m_textColor; }
    // Draws bytes with the top of their cells at y: valid UTF-8 as UTF-8, anything else as
    // Latin-1; a control character takes one blank cell. Only the characters that can fall
    // inside the clip are laid out, so the cost does not grow with the length of the text.
    bool TextOut(int x, int y, std::string_view text);
    // Fills a rectangle with a solid colour (the erase of a background).
    void FillSolidRect(const CRect& rect, COLORREF color);

    QPainter* GetPainter() const { return m_pPainter; }

private:
    qreal Advance(char32_t c);

    QPainter* m_pPainter;
    CFont* m_pFont = nullptr;
    std::unique_ptr<QFont> m_pOriginalFont;     // the painter's font before the first selection
    std::unique_ptr<QFontMetricsF> m_pMetrics;  // of the selected font; made on first use
    COLORREF m_bkColor = RGB(255, 255, 255);
    COLORREF m_textColor = RGB(0, 0, 0);
    // Pixel advances of U+0000..U+00FF in the selected font, measured on first use; -1: not yet.
    std::array<double, 256> m_advance{};
};
