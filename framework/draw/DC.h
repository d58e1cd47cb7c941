#pragma once

#include <memory>
#include <string_view>

#include "framework/core/Platform.h"

class CFont;

// A device context with the platform's defaults: opaque background mode (the cell behind each
// drawn character is filled with the background colour, nothing else), top-left text alignment,
// pixel coordinates. The drawing calls are virtual so that a context may record them instead.
class CDC {
public:
    explicit CDC(HDC hDC);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Selects pFont; returns the font it replaces (null when none was selected). Selecting null
    // brings back the context's own font.
    virtual CFont* SelectObject(CFont* pFont);
    virtual COLORREF SetBkColor(COLORREF color);
    virtual COLORREF SetTextColor(COLORREF color);
    COLORREF GetBkColor() const { return m_bkColor; }
    COLORREF GetTextColor() const { return m_textColor; }
    // Draws bytes with the top of their cells at y: valid UTF-8 as UTF-8, anything else as
    // Latin-1; a control character takes one blank cell. Only the characters that can fall
    // inside the clip are laid out, so the cost does not grow with the length of the text.
    virtual bool TextOut(int x, int y, std::string_view text);
    // Fills a rectangle with a solid colour (the erase of a background).
    virtual void FillSolidRect(const CRect& rect, COLORREF color);

    HDC GetSafeHdc() const { return m_hDC; }

protected:
    // A context on no device: only the calls of a class that records them do anything.
    CDC();

private:
    struct Impl;  // the platform's drawing state

    HDC m_hDC = nullptr;
    CFont* m_pFont = nullptr;
    COLORREF m_bkColor = RGB(255, 255, 255);
    COLORREF m_textColor = RGB(0, 0, 0);
    std::unique_ptr<Impl> m_pImpl;
};
