#include "framework/draw/DC.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "framework/draw/Font.h"

namespace {

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Decodes one UTF-8 sequence at s[i]. Returns its length, or 0 when the bytes there are not a
// well-formed sequence (overlong forms, surrogates and values past U+10FFFF included). A
// sequence cut short by the end of s counts as well-formed when bAllowCut is set.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp, bool bAllowCut = false) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len = 0;
    unsigned char lo = 0x80;  // the range of the second byte, narrowed where the lead byte
    unsigned char hi = 0xBF;  // alone would allow overlong forms, surrogates or > U+10FFFF
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F;
        lo = b0 == 0xE0 ? 0xA0 : 0x80;
        hi = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07;
        lo = b0 == 0xF0 ? 0x90 : 0x80;
        hi = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if (i + k >= s.size()) {
            return bAllowCut ? s.size() - i : 0;
        }
        const auto b = static_cast<unsigned char>(s[i + k]);
        if (k == 1 ? (b < lo || b > hi) : ((b & 0xC0) != 0x80)) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    return len;
}

// Whether the first `limit` bytes of s are UTF-8. Texts longer than the limit are judged on the
// part that can reach the pane: deciding on the whole of a 100 MB line at every paint would cost
// what the line costs, not what is visible.
bool LooksLikeUtf8(std::string_view s, std::size_t limit) {
    const std::string_view head = s.substr(0, std::min(s.size(), limit));
    char32_t cp = 0;
    for (std::size_t i = 0; i < head.size();) {
        // Plain ASCII, the usual case, eight bytes at a time.
        std::uint64_t word = 0;
        if (i + sizeof word <= head.size()) {
            std::memcpy(&word, head.data() + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += sizeof word;
                continue;
            }
        }
        const std::size_t len = DecodeUtf8(head, i, cp, head.size() < s.size());
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}

// Control characters keep their cell but show as a blank: a NUL or an escape must neither end
// the text early nor reach the font engine.
char32_t Printable(char32_t c) {
    return (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) ? U' ' : c;
}

}  // namespace

CDC::CDC(QPainter* pPainter) : m_pPainter(pPainter) {
    m_advance.fill(-1);
}

CDC::~CDC() = default;

CFont* CDC::SelectObject(CFont* pFont) {
    CFont* previous = m_pFont;
    if (!m_pOriginalFont) {
        m_pOriginalFont = std::make_unique<QFont>(m_pPainter->font());
    }
    m_pFont = pFont;
    const QFont* font = pFont != nullptr ? pFont->GetQFont() : nullptr;
    m_pPainter->setFont(font != nullptr ? *font : *m_pOriginalFont);
    m_advance.fill(-1);
    m_pMetrics.reset();
    return previous;
}

COLORREF CDC::SetBkColor(COLORREF color) {
    return std::exchange(m_bkColor, color);
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return std::exchange(m_textColor, color);
}

void CDC::FillSolidRect(const CRect& rect, COLORREF color) {
    m_pPainter->fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(color));
}

qreal CDC::Advance(char32_t c) {
    if (!m_pMetrics) {
        m_pMetrics = std::make_unique<QFontMetricsF>(m_pPainter->font(), m_pPainter->device());
    }
    if (c < m_advance.size()) {
        double& known = m_advance[c];
        if (known < 0) {
            known = m_pMetrics->horizontalAdvance(QChar(static_cast<char16_t>(c)));
        }
        return known;
    }
    return m_pMetrics->horizontalAdvance(QString::fromUcs4(&c, 1));
}

bool CDC::TextOut(int x, int y, std::string_view text) {
    QPainter& painter = *m_pPainter;
    const QFontMetrics metrics = painter.fontMetrics();
    QRect visible = painter.window();
    if (!painter.worldTransform().isIdentity()) {
        visible = painter.worldTransform().inverted().mapRect(visible);
    }
    if (painter.hasClipping()) {
        visible &= painter.clipBoundingRect().toAlignedRect();
    }
    const int left = visible.left();
    const int right = visible.left() + visible.width();
    if (text.empty() || x >= right || y >= visible.top() + visible.height() ||
        y + metrics.height() <= visible.top()) {
        return true;
    }

    // A visible character is at most four bytes long and, in the monospaced fonts the panes
    // use, at least half a cell wide (combining marks aside, which only stack on others).
    const qreal minWidth = std::max<qreal>(1.0, Advance(U'x') / 2);
    const auto budget = static_cast<std::size_t>((right - x) / minWidth + 1) * 4 + 4;
    const bool utf8 = LooksLikeUtf8(text, budget);

    QString shown;
    qreal start = x;
    qreal pos = x;
    bool started = false;
    for (std::size_t i = 0; i < text.size() && pos < right;) {
        char32_t c = static_cast<unsigned char>(text[i]);
        std::size_t len = 1;
        if (utf8 && c >= 0x80) {
            len = DecodeUtf8(text, i, c);
            if (len == 0) {  // past the part judged above: that byte alone, as Latin-1
                c = static_cast<unsigned char>(text[i]);
                len = 1;
            }
        }
        i += len;
        c = Printable(c);
        const qreal advance = Advance(c);
        if (!started) {
            if (pos + advance <= left) {
                pos += advance;
                continue;
            }
            started = true;
            start = pos;
        }
        if (c < 0x10000) {
            shown.append(QChar(static_cast<char16_t>(c)));
        } else {
            shown.append(QString::fromUcs4(&c, 1));
        }
        pos += advance;
    }
    if (shown.isEmpty()) {
        return true;
    }
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(ToQColor(m_bkColor));
    painter.setPen(ToQColor(m_textColor));
    painter.drawText(QPointF(start, y + metrics.ascent()), shown);
    return true;
}
