#include "framework/draw/DC.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include "framework/draw/Font.h"
#include "framework/draw/TextDecoding.h"

namespace {

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

struct CDC::Impl {
    explicit Impl(QPainter& painter) : painter(painter) { advance.fill(-1); }
    qreal Advance(char32_t c);

    QPainter& painter;
    std::unique_ptr<QFont> pOriginalFont;     // the painter's font before the first selection
    std::unique_ptr<QFontMetricsF> pMetrics;  // of the selected font; made on first use
    // Pixel advances of U+0000..U+00FF in the selected font, measured on first use; -1: not yet.
    std::array<double, 256> advance{};
};

CDC::CDC() = default;

CDC::CDC(HDC hDC) : m_hDC(hDC), m_pImpl(std::make_unique<Impl>(*hDC)) {}

CDC::~CDC() = default;

CFont* CDC::SelectObject(CFont* pFont) {
    CFont* previous = m_pFont;
    if (!m_pImpl) {
        m_pFont = pFont;
        return previous;
    }
    Impl& impl = *m_pImpl;
    if (!impl.pOriginalFont) {
        impl.pOriginalFont = std::make_unique<QFont>(impl.painter.font());
    }
    m_pFont = pFont;
    const QFont* font = pFont != nullptr ? pFont->GetSafeHandle() : nullptr;
    impl.painter.setFont(font != nullptr ? *font : *impl.pOriginalFont);
    impl.advance.fill(-1);
    impl.pMetrics.reset();
    return previous;
}

COLORREF CDC::SetBkColor(COLORREF color) {
    return std::exchange(m_bkColor, color);
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return std::exchange(m_textColor, color);
}

void CDC::FillSolidRect(const CRect& rect, COLORREF color) {
    if (m_hDC == nullptr) {
        return;
    }
    m_hDC->fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(color));
}

qreal CDC::Impl::Advance(char32_t c) {
    if (!pMetrics) {
        pMetrics = std::make_unique<QFontMetricsF>(painter.font(), painter.device());
    }
    if (c < advance.size()) {
        double& known = advance[c];
        if (known < 0) {
            known = pMetrics->horizontalAdvance(QChar(static_cast<char16_t>(c)));
        }
        return known;
    }
    return pMetrics->horizontalAdvance(QString::fromUcs4(&c, 1));
}

bool CDC::TextOut(int x, int y, std::string_view text) {
    if (m_hDC == nullptr) {
        return true;
    }
    QPainter& painter = *m_hDC;
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
    const qreal minWidth = std::max<qreal>(1.0, m_pImpl->Advance(U'x') / 2);
    const auto budget = static_cast<std::size_t>((right - x) / minWidth + 1) * 4 + 4;

    QString shown;
    qreal start = x;
    qreal pos = x;
    bool started = false;
    for (CShownText chars(text, budget); !chars.AtEnd() && pos < right;) {
        const char32_t c = chars.Next();
        const qreal advance = m_pImpl->Advance(c);
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
