#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Platform.h"

class CFont;

// Bytes [begin, end) of a text.
struct CTextRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    friend bool operator==(const CTextRange&, const CTextRange&) = default;
};

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
    // Draws text as TextOut does, but with the cells of the characters that lie within the
    // ranges (in order, apart) on background marked: a cell is marked when any byte of its
    // character, or of the marks and invisible characters after it, is. The other cells come out
    // exactly as TextOut draws them, and the text is laid out and drawn once either way.
    virtual bool TextOutMarked(int x, int y, std::string_view text,
                               std::span<const CTextRange> ranges, COLORREF marked);
    // Fills a rectangle with a solid colour (the erase of a background).
    virtual void FillSolidRect(const CRect& rect, COLORREF color);

    HDC GetSafeHdc() const { return m_hDC; }

protected:
    // A context on no device: only the calls of a class that records them do anything.
    CDC();

private:
    // Where a text may show, in the device's own pixels: the clip, the text's origin there, the
    // height of its cells and, for a platform that draws text from its baseline, how far below
    // the cells' top that lies.
    struct TextArea {
        int left, top, right, bottom;
        int x, y;
        int cell;
        int ascent;
    };
    // Marks drawn over a cell, at its left edge, once the row is drawn.
    struct Overstrike {
        double x;
        std::u16string marks;
    };
    // Cells drawn on another background, from start to end in the device's pixels.
    struct Marked {
        double start, end;
    };

    bool DrawText(int x, int y, std::string_view text, std::span<const CTextRange> ranges,
                  COLORREF marked);

    // The pixel advance of c in the selected font, measured once for U+0000..U+00FF.
    double Advance(char32_t c);
    // The character that c with (some of) its marks composes to, where the font has it and it
    // takes c's advance; marks keeps those left to draw over the cell.
    char32_t Compose(char32_t c, std::u32string& marks, double advance);

    // The platform's half: selecting the font, measuring, composing, and drawing a row of cells
    // from start to end, those of marked on background markColor, with the marks over them.
    void UseFont(CFont* pFont);
    double MeasureAdvance(char32_t c);
    // Whether the selected font draws c itself, rather than a box for a character it lacks.
    bool HasGlyph(char32_t c);
    // The cluster in its precomposed form, as far as the platform composes it.
    std::u32string Precompose(const std::u32string& cluster);
    bool GetTextArea(int x, int y, TextArea& area);
    bool DrawCells(const TextArea& area, double start, double end, const std::u16string& shown,
                   const std::vector<Overstrike>& overstrikes, const std::vector<Marked>& marked,
                   COLORREF markColor);

    struct Impl;  // the platform's drawing state

    HDC m_hDC = nullptr;
    CFont* m_pFont = nullptr;
    COLORREF m_bkColor = RGB(255, 255, 255);
    COLORREF m_textColor = RGB(0, 0, 0);
    static constexpr std::array<double, 256> kUnmeasured = [] {
        std::array<double, 256> advances{};
        advances.fill(-1);
        return advances;
    }();
    std::array<double, 256> m_advance = kUnmeasured;  // -1: not measured yet
    std::unique_ptr<Impl> m_pImpl;
};
