// The Win32 half of CDC: GDI, with the device context's own defaults (opaque background mode,
// top-left alignment). Texts become UTF-16 as they are shown.
#include "framework/draw/DC.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "framework/draw/Font.h"
#include "framework/draw/TextDecoding.h"
#include "framework/win32/Win32Support.h"

struct CDC::Impl {
    // A window's context draws at the window's dpi; any other at 96.
    explicit Impl(HDC hdc) : hdc(hdc), dpi(AfxDpiOf(WindowFromDC(hdc))) { advance.fill(-1); }
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    int Advance(char32_t c);
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
    // Pixel advances of U+0000..U+00FF in the selected font, measured on first use; -1: not yet.
    std::array<int, 256> advance{};
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

int CDC::Impl::Advance(char32_t c) {
    if (c < advance.size() && advance[c] >= 0) {
        return advance[c];
    }
    int width = 0;
    if (c < 0x10000) {
        GetCharWidth32W(hdc, c, c, &width);
    } else {
        const char32_t v = c - 0x10000;
        const wchar_t pair[2] = {static_cast<wchar_t>(0xD800 + (v >> 10)),
                                 static_cast<wchar_t>(0xDC00 + (v & 0x3FF))};
        SIZE extent{};
        GetTextExtentPoint32W(hdc, pair, 2, &extent);
        width = extent.cx;
    }
    if (c < advance.size()) {
        advance[c] = width;
    }
    return width;
}

CDC::CDC() = default;

CDC::CDC(HDC hDC) : m_hDC(hDC), m_pImpl(std::make_unique<Impl>(hDC)) {}

CDC::~CDC() = default;

CFont* CDC::SelectObject(CFont* pFont) {
    CFont* previous = std::exchange(m_pFont, pFont);
    if (!m_pImpl) {
        return previous;
    }
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
    m_pImpl->advance.fill(-1);
    return previous;
}

COLORREF CDC::SetBkColor(COLORREF color) {
    if (m_hDC != nullptr) {
        ::SetBkColor(m_hDC, color);
    }
    return std::exchange(m_bkColor, color);
}

COLORREF CDC::SetTextColor(COLORREF color) {
    if (m_hDC != nullptr) {
        ::SetTextColor(m_hDC, color);
    }
    return std::exchange(m_textColor, color);
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

bool CDC::TextOut(int xAt, int yAt, std::string_view text) {
    if (m_hDC == nullptr || text.empty()) {
        return true;
    }
    const int x = m_pImpl->Scale(xAt);
    const int y = m_pImpl->Scale(yAt);
    RECT clip;
    if (GetClipBox(m_hDC, &clip) == ERROR) {
        return false;
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(m_hDC, &metrics);
    const int cell = m_pImpl->cell > 0 ? m_pImpl->cell : static_cast<int>(metrics.tmHeight);
    if (x >= clip.right || y >= clip.bottom || y + cell <= clip.top) {
        return true;
    }
    // As many characters as can reach the clip: a visible character is at most four bytes long
    // and at least half a cell wide in the monospaced fonts the panes use.
    const int minWidth = std::max(1, m_pImpl->Advance(U'x') / 2);
    const auto budget = static_cast<std::size_t>((clip.right - x) / minWidth + 1) * 4 + 4;
    std::wstring shown;
    int start = x;
    int pos = x;
    bool started = false;
    for (CShownText chars(text, budget); !chars.AtEnd() && pos < clip.right;) {
        const char32_t c = chars.Next();
        const int advance = m_pImpl->Advance(c);
        if (!started) {
            if (pos + advance <= clip.left) {
                pos += advance;
                continue;
            }
            started = true;
            start = pos;
        }
        if (c < 0x10000) {
            shown.push_back(static_cast<wchar_t>(c));
        } else {
            const char32_t v = c - 0x10000;
            shown.push_back(static_cast<wchar_t>(0xD800 + (v >> 10)));
            shown.push_back(static_cast<wchar_t>(0xDC00 + (v & 0x3FF)));
        }
        pos += advance;
    }
    if (shown.empty()) {
        return true;
    }
    const int length = static_cast<int>(shown.size());
    if (m_pImpl->cell == 0) {
        return ::TextOutW(m_hDC, start, y, shown.data(), length);
    }
    // The background fills the scaled cells exactly, as the font's own cells at 96 dpi.
    const RECT cells{start, y, pos, y + cell};
    const int mode = SetBkMode(m_hDC, TRANSPARENT);
    const BOOL drawn =
        ExtTextOutW(m_hDC, start, y, ETO_OPAQUE, &cells, shown.data(), length, nullptr);
    SetBkMode(m_hDC, mode);
    return drawn != FALSE;
}
