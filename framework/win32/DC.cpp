// The Win32 half of CDC: GDI, with the device context's own defaults (opaque background mode,
// top-left alignment). Texts become UTF-16 as they are shown.
#include "framework/draw/DC.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "framework/draw/Font.h"
#include "framework/draw/TextDecoding.h"
#include "framework/win32/Win32Support.h"

struct CDC::Impl {
    // A window's context draws at the window's dpi; any other at 96.
    explicit Impl(HDC hdc) : hdc(hdc), dpi(AfxDpiOf(WindowFromDC(hdc))) {}
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    int Scale(int n) const { return AfxScale(n, dpi); }
    // The font to select for font: itself at 96 dpi, else the same font scaled to the dpi.
    HGDIOBJ FontAtDpi(HFONT font);

    HDC hdc;
    UINT dpi;
    HGDIOBJ originalFont = nullptr;  // the context's font before the first selection
    // The font last scaled, its scaled copy, and the height of that copy's cells: the unscaled
    // font's, scaled (the font itself may round its height another way).
    HFONT scaledFrom = nullptr;
    HFONT scaled = nullptr;
    int scaledCell = 0;
    int cell = 0;  // while the scaled copy is selected, its cells' height; else 0
};

CDC::Impl::~Impl() {
    if (scaled != nullptr) {
        if (originalFont != nullptr) {
            ::SelectObject(hdc, originalFont);
        }
        DeleteObject(scaled);
    }
}

HGDIOBJ CDC::Impl::FontAtDpi(HFONT font) {
    if (dpi == 96) {
        return font;
    }
    if (font != scaledFrom) {
        LOGFONTW shape{};
        if (GetObjectW(font, sizeof shape, &shape) == 0) {
            return font;
        }
        shape.lfHeight = AfxScale(shape.lfHeight, dpi);
        shape.lfWidth = AfxScale(shape.lfWidth, dpi);
        HFONT made = CreateFontIndirectW(&shape);
        if (made == nullptr) {
            return font;
        }
        TEXTMETRICW metrics{};
        HGDIOBJ before = ::SelectObject(hdc, font);
        GetTextMetricsW(hdc, &metrics);
        ::SelectObject(hdc, before);
        scaledCell = AfxScale(metrics.tmHeight, dpi);
        if (scaled != nullptr) {
            // Not selected any more: only the font being replaced can be.
            ::SelectObject(hdc, made);
            DeleteObject(scaled);
        }
        scaledFrom = font;
        scaled = made;
    }
    return scaled;
}

namespace {

std::wstring WideOf(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace

std::u32string CDC::Precompose(const std::u32string& cluster) {
    std::u16string units;
    for (const char32_t c : cluster) {
        AppendUtf16(units, c);
    }
    const std::wstring wide = WideOf(units);
    // Composing never lengthens a text.
    std::wstring result(wide.size(), L'\0');
    const int length = ::FoldStringW(MAP_PRECOMPOSED, wide.data(), static_cast<int>(wide.size()),
                                     result.data(), static_cast<int>(result.size()));
    if (length <= 0) {
        return cluster;
    }
    std::u32string composed;
    for (int i = 0; i < length; ++i) {
        const char32_t high = result[static_cast<std::size_t>(i)];
        if (high >= 0xD800 && high < 0xDC00 && i + 1 < length) {
            const char32_t low = result[static_cast<std::size_t>(++i)];
            composed.push_back(0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
        } else {
            composed.push_back(high);
        }
    }
    return composed;
}

// GDI draws a box, wider than a cell, for a character its font lacks: marks are composed into,
// and drawn with, only characters that it has.
bool CDC::HasGlyph(char32_t c) {
    const auto unit = static_cast<wchar_t>(c);
    WORD glyph = 0xFFFF;
    return c < 0x10000 &&
           ::GetGlyphIndicesW(m_hDC, &unit, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
           glyph != 0xFFFF;
}

double CDC::MeasureAdvance(char32_t c) {
    int width = 0;
    if (c < 0x10000) {
        GetCharWidth32W(m_hDC, c, c, &width);
    } else {
        std::u16string pair;
        AppendUtf16(pair, c);
        const std::wstring wide = WideOf(pair);
        SIZE extent{};
        GetTextExtentPoint32W(m_hDC, wide.data(), 2, &extent);
        width = extent.cx;
    }
    return width;
}

CDC::CDC() = default;

CDC::CDC(HDC hDC) : m_hDC(hDC), m_pImpl(std::make_unique<Impl>(hDC)) {}

CDC::~CDC() = default;

void CDC::UseFont(CFont* pFont) {
    HGDIOBJ font = pFont != nullptr && pFont->GetSafeHandle() != nullptr
                       ? m_pImpl->FontAtDpi(pFont->GetSafeHandle())
                       : m_pImpl->originalFont;
    if (font != nullptr) {
        HGDIOBJ replaced = ::SelectObject(m_hDC, font);
        if (m_pImpl->originalFont == nullptr) {
            m_pImpl->originalFont = replaced;
        }
    }
    m_pImpl->cell = font != nullptr && font == m_pImpl->scaled ? m_pImpl->scaledCell : 0;
}

void CDC::FillSolidRect(const CRect& rect, COLORREF color) {
    if (m_hDC == nullptr) {
        return;
    }
    const COLORREF old = ::SetBkColor(m_hDC, color);
    const RECT area{m_pImpl->Scale(rect.left), m_pImpl->Scale(rect.top), m_pImpl->Scale(rect.right),
                    m_pImpl->Scale(rect.bottom)};
    ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

bool CDC::GetTextArea(int x, int y, TextArea& area) {
    RECT clip;
    if (GetClipBox(m_hDC, &clip) == ERROR) {
        return false;
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(m_hDC, &metrics);
    area.left = clip.left;
    area.top = clip.top;
    area.right = clip.right;
    area.bottom = clip.bottom;
    area.x = m_pImpl->Scale(x);
    area.y = m_pImpl->Scale(y);
    area.cell = m_pImpl->cell > 0 ? m_pImpl->cell : static_cast<int>(metrics.tmHeight);
    area.ascent = static_cast<int>(metrics.tmAscent);
    return true;
}

bool CDC::DrawCells(const TextArea& area, double start, double end, const std::u16string& shown,
                    const std::vector<Overstrike>& overstrikes, const std::vector<Marked>& marked,
                    COLORREF markColor) {
    const auto left = static_cast<int>(start);
    const std::wstring text = WideOf(shown);
    const int length = static_cast<int>(text.size());
    ::SetBkColor(m_hDC, m_bkColor);
    ::SetTextColor(m_hDC, m_textColor);
    BOOL drawn = FALSE;
    if (!marked.empty()) {
        // The background as an opaque text fills it, the marked cells' over it, then the
        // characters once, over both.
        int right = static_cast<int>(end);
        if (m_pImpl->cell == 0) {
            SIZE extent{};
            ::GetTextExtentPoint32W(m_hDC, text.data(), length, &extent);
            right = left + static_cast<int>(extent.cx);
        }
        const RECT cells{left, area.y, right, area.y + area.cell};
        ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &cells, nullptr, 0, nullptr);
        ::SetBkColor(m_hDC, markColor);
        for (const Marked& run : marked) {
            const RECT box{static_cast<int>(run.start), area.y, static_cast<int>(run.end),
                           area.y + area.cell};
            ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
        }
        ::SetBkColor(m_hDC, m_bkColor);
        const int mode = ::SetBkMode(m_hDC, TRANSPARENT);
        drawn = ::TextOutW(m_hDC, left, area.y, text.data(), length);
        ::SetBkMode(m_hDC, mode);
    } else if (m_pImpl->cell == 0) {
        drawn = ::TextOutW(m_hDC, left, area.y, text.data(), length);
    } else {
        // The background fills the scaled cells exactly, as the font's own cells at 96 dpi.
        const RECT cells{left, area.y, static_cast<int>(end), area.y + area.cell};
        const int mode = ::SetBkMode(m_hDC, TRANSPARENT);
        drawn = ExtTextOutW(m_hDC, left, area.y, ETO_OPAQUE, &cells, text.data(), length, nullptr);
        ::SetBkMode(m_hDC, mode);
    }
    if (drawn == FALSE) {
        return false;
    }
    if (!overstrikes.empty()) {
        const int mode = ::SetBkMode(m_hDC, TRANSPARENT);
        for (const Overstrike& overstrike : overstrikes) {
            const std::wstring marks = WideOf(overstrike.marks);
            ::TextOutW(m_hDC, static_cast<int>(overstrike.x), area.y, marks.data(),
                       static_cast<int>(marks.size()));
        }
        ::SetBkMode(m_hDC, mode);
    }
    return true;
}
