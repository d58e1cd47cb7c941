// The Win32 half of CDC: GDI, with the device context's own defaults (opaque background mode,
// top-left alignment). Texts become UTF-16 as they are shown.
#include "framework/draw/DC.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "framework/draw/Font.h"
#include "framework/draw/TextDecoding.h"

struct CDC::Impl {
    explicit Impl(HDC hdc) : hdc(hdc) { advance.fill(-1); }
    int Advance(char32_t c);

    HDC hdc;
    HGDIOBJ originalFont = nullptr;  // the context's font before the first selection
    // Pixel advances of U+0000..U+00FF in the selected font, measured on first use; -1: not yet.
    std::array<int, 256> advance{};
};

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
                       ? static_cast<HGDIOBJ>(pFont->GetSafeHandle())
                       : m_pImpl->originalFont;
    if (font != nullptr) {
        HGDIOBJ replaced = ::SelectObject(m_hDC, font);
        if (m_pImpl->originalFont == nullptr) {
            m_pImpl->originalFont = replaced;
        }
    }
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
    ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

bool CDC::TextOut(int x, int y, std::string_view text) {
    if (m_hDC == nullptr || text.empty()) {
        return true;
    }
    RECT clip;
    if (GetClipBox(m_hDC, &clip) == ERROR) {
        return false;
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(m_hDC, &metrics);
    if (x >= clip.right || y >= clip.bottom || y + metrics.tmHeight <= clip.top) {
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
    return shown.empty() || ::TextOutW(m_hDC, start, y, shown.data(), static_cast<int>(shown.size()));
}
