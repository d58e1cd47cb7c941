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
    explicit Impl(HDC hdc) : hdc(hdc), dpi(AfxDpiOf(WindowFromDC(hdc))) { advance.fill(-1); }
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    int Advance(char32_t c);
    int Scale(int n) const { return AfxScale(n, dpi); }
    // The font to select for font: itself at 96 dpi, else the same font scaled to the dpi.
    HGDIOBJ FontAtDpi(HFONT font);
    // The character that c with (some of) its marks composes to, where it takes c's advance;
    // marks keeps those left to draw over the cell.
    char32_t Compose(char32_t c, std::u32string& marks, int advance);
    // GDI draws a box, wider than a cell, for a character its font lacks: marks are composed
    // into, and drawn with, only characters that it has.
    bool HasGlyph(char32_t c);

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

namespace {

void AppendUtf16(std::wstring& text, char32_t c) {
    if (c < 0x10000) {
        text.push_back(static_cast<wchar_t>(c));
    } else {
        const char32_t v = c - 0x10000;
        text.push_back(static_cast<wchar_t>(0xD800 + (v >> 10)));
        text.push_back(static_cast<wchar_t>(0xDC00 + (v & 0x3FF)));
    }
}

// The code point at text[i], and how many units it takes.
char32_t CodePointAt(const std::wstring& text, std::size_t i, std::size_t& units) {
    const char32_t high = text[i];
    if (high >= 0xD800 && high < 0xDC00 && i + 1 < text.size()) {
        units = 2;
        return 0x10000 + ((high - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
    }
    units = 1;
    return high;
}

}  // namespace

char32_t CDC::Impl::Compose(char32_t c, std::u32string& marks, int advance) {
    std::wstring cluster;
    AppendUtf16(cluster, c);
    for (const char32_t mark : marks) {
        AppendUtf16(cluster, mark);
    }
    // Composing never lengthens a text.
    std::wstring result(cluster.size(), L'\0');
    const int length =
        ::FoldStringW(MAP_PRECOMPOSED, cluster.data(), static_cast<int>(cluster.size()),
                      result.data(), static_cast<int>(result.size()));
    if (length <= 0 || static_cast<std::size_t>(length) >= cluster.size()) {
        return c;
    }
    result.resize(static_cast<std::size_t>(length));
    std::size_t units = 0;
    const char32_t first = CodePointAt(result, 0, units);
    if (CellPlaceOf(first) != CellPlace::ownCell || !HasGlyph(first) || Advance(first) != advance) {
        return c;
    }
    marks.clear();
    for (std::size_t i = units; i < result.size(); i += units) {
        marks.push_back(CodePointAt(result, i, units));
    }
    return first;
}

bool CDC::Impl::HasGlyph(char32_t c) {
    const auto unit = static_cast<wchar_t>(c);
    WORD glyph = 0xFFFF;
    return c < 0x10000 &&
           ::GetGlyphIndicesW(hdc, &unit, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
           glyph != 0xFFFF;
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
    // and at least half a cell wide in the monospaced fonts the panes use (combining marks aside,
    // which take no cell).
    const int minWidth = std::max(1, m_pImpl->Advance(U'x') / 2);
    const auto budget = static_cast<std::size_t>((clip.right - x) / minWidth + 1) * 4 + 4;
    std::wstring shown;
    // Marks left over once composed are drawn over their cells after the row: a mark of its own
    // has no place in the font's layout of a row.
    std::vector<std::pair<int, std::wstring>> overstrikes;
    std::u32string marks;
    int start = x;
    int pos = x;
    bool started = false;
    for (CShownCells cells(text, budget); !cells.AtEnd() && pos < clip.right;) {
        char32_t c = cells.Next(marks);
        const int advance = m_pImpl->Advance(c);
        if (!started) {
            if (pos + advance <= clip.left) {
                pos += advance;
                continue;
            }
            started = true;
            start = pos;
        }
        if (!marks.empty()) {
            c = m_pImpl->Compose(c, marks, advance);
            std::wstring drawn;
            for (const char32_t mark : marks) {
                if (m_pImpl->HasGlyph(mark)) {
                    drawn.push_back(static_cast<wchar_t>(mark));
                }
            }
            if (!drawn.empty()) {
                overstrikes.emplace_back(pos, std::move(drawn));
            }
        }
        AppendUtf16(shown, c);
        pos += advance;
    }
    if (shown.empty()) {
        return true;
    }
    const int length = static_cast<int>(shown.size());
    BOOL drawn = FALSE;
    if (m_pImpl->cell == 0) {
        drawn = ::TextOutW(m_hDC, start, y, shown.data(), length);
    } else {
        // The background fills the scaled cells exactly, as the font's own cells at 96 dpi.
        const RECT area{start, y, pos, y + cell};
        const int mode = ::SetBkMode(m_hDC, TRANSPARENT);
        drawn = ExtTextOutW(m_hDC, start, y, ETO_OPAQUE, &area, shown.data(), length, nullptr);
        ::SetBkMode(m_hDC, mode);
    }
    if (drawn == FALSE) {
        return false;
    }
    if (!overstrikes.empty()) {
        const int mode = ::SetBkMode(m_hDC, TRANSPARENT);
        for (const auto& [markX, markText] : overstrikes) {
            ::TextOutW(m_hDC, markX, y, markText.data(), static_cast<int>(markText.size()));
        }
        ::SetBkMode(m_hDC, mode);
    }
    return true;
}
