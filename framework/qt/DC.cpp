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
#include <string>
#include <utility>
#include <vector>

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
    // The character that c with (some of) its marks composes to, where it takes c's advance;
    // marks keeps those left to draw over the cell.
    char32_t Compose(char32_t c, std::u32string& marks, qreal advance);

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

char32_t CDC::Impl::Compose(char32_t c, std::u32string& marks, qreal advance) {
    std::u32string cluster(1, c);
    cluster += marks;
    const QList<uint> composed =
        QString::fromUcs4(cluster.data(), static_cast<qsizetype>(cluster.size()))
            .normalized(QString::NormalizationForm_C)
            .toUcs4();
    if (composed.size() < static_cast<qsizetype>(cluster.size()) &&
        CellPlaceOf(composed[0]) == CellPlace::ownCell && Advance(composed[0]) == advance) {
        marks.assign(composed.begin() + 1, composed.end());
        return composed[0];
    }
    return c;
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
    // use, at least half a cell wide (combining marks aside, which take no cell).
    const qreal minWidth = std::max<qreal>(1.0, m_pImpl->Advance(U'x') / 2);
    const auto budget = static_cast<std::size_t>((right - x) / minWidth + 1) * 4 + 4;

    QString shown;
    // Marks drawn over their cells once the row is out: the font that has a letter seldom has
    // the marks that go on it, and a fallback font's mark would land a cell too far on.
    std::vector<std::pair<qreal, QString>> overstrikes;
    std::u32string marks;
    qreal start = x;
    qreal pos = x;
    bool started = false;
    for (CShownCells cells(text, budget); !cells.AtEnd() && pos < right;) {
        char32_t c = cells.Next(marks);
        const qreal advance = m_pImpl->Advance(c);
        if (!started) {
            if (pos + advance <= left) {
                pos += advance;
                continue;
            }
            started = true;
            start = pos;
        }
        if (!marks.empty()) {
            c = m_pImpl->Compose(c, marks, advance);
            if (!marks.empty()) {
                overstrikes.emplace_back(
                    pos, QString::fromUcs4(marks.data(), static_cast<qsizetype>(marks.size())));
            }
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
    const QPointF baseline(start, y + metrics.ascent());
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(ToQColor(m_bkColor));
    painter.setPen(ToQColor(m_textColor));
    painter.drawText(baseline, shown);
    if (!overstrikes.empty()) {
        painter.setBackgroundMode(Qt::TransparentMode);
        for (const auto& [markX, markText] : overstrikes) {
            painter.drawText(QPointF(markX, baseline.y()), markText);
        }
        painter.setBackgroundMode(Qt::OpaqueMode);
    }
    return true;
}
