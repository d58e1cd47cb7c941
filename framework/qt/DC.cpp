// The Qt half of CDC: a QPainter, in opaque background mode for each row it draws.
#include "framework/draw/DC.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <memory>

#include "framework/draw/Font.h"

namespace {

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The text as a QString that only refers to it, for as long as the text lives.
QString Borrowed(const std::u16string& text) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                static_cast<qsizetype>(text.size()));
}

}  // namespace

struct CDC::Impl {
    explicit Impl(QPainter& painter) : painter(painter) {}

    QPainter& painter;
    std::unique_ptr<QFont> pOriginalFont;     // the painter's font before the first selection
    std::unique_ptr<QFontMetricsF> pMetrics;  // of the selected font; made on first use
};

CDC::CDC() = default;

CDC::CDC(HDC hDC) : m_hDC(hDC), m_pImpl(std::make_unique<Impl>(*hDC)) {}

CDC::~CDC() = default;

void CDC::UseFont(CFont* pFont) {
    Impl& impl = *m_pImpl;
    if (!impl.pOriginalFont) {
        impl.pOriginalFont = std::make_unique<QFont>(impl.painter.font());
    }
    const QFont* font = pFont != nullptr ? pFont->GetSafeHandle() : nullptr;
    impl.painter.setFont(font != nullptr ? *font : *impl.pOriginalFont);
    impl.pMetrics.reset();
}

void CDC::FillSolidRect(const CRect& rect, COLORREF color) {
    if (m_hDC == nullptr) {
        return;
    }
    m_hDC->fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(color));
}

double CDC::MeasureAdvance(char32_t c) {
    Impl& impl = *m_pImpl;
    if (!impl.pMetrics) {
        impl.pMetrics = std::make_unique<QFontMetricsF>(impl.painter.font(), impl.painter.device());
    }
    return c < 0x100 ? impl.pMetrics->horizontalAdvance(QChar(static_cast<char16_t>(c)))
                     : impl.pMetrics->horizontalAdvance(QString::fromUcs4(&c, 1));
}

bool CDC::HasGlyph(char32_t /*c*/) {
    // Qt finds a font for every character it is given.
    return true;
}

std::u32string CDC::Precompose(const std::u32string& cluster) {
    const QList<uint> composed =
        QString::fromUcs4(cluster.data(), static_cast<qsizetype>(cluster.size()))
            .normalized(QString::NormalizationForm_C)
            .toUcs4();
    return std::u32string(composed.begin(), composed.end());
}

bool CDC::GetTextArea(int x, int y, TextArea& area) {
    QPainter& painter = *m_hDC;
    QRect visible = painter.window();
    if (!painter.worldTransform().isIdentity()) {
        visible = painter.worldTransform().inverted().mapRect(visible);
    }
    if (painter.hasClipping()) {
        visible &= painter.clipBoundingRect().toAlignedRect();
    }
    const QFontMetrics metrics = painter.fontMetrics();
    area.left = visible.left();
    area.top = visible.top();
    area.right = visible.left() + visible.width();
    area.bottom = visible.top() + visible.height();
    area.x = x;
    area.y = y;
    area.cell = metrics.height();
    area.ascent = metrics.ascent();
    return true;
}

bool CDC::DrawCells(const TextArea& area, double start, double end, const std::u16string& shown,
                    const std::vector<Overstrike>& overstrikes, const std::vector<Marked>& marked,
                    COLORREF markColor) {
    QPainter& painter = *m_hDC;
    const QPointF baseline(start, area.y + area.ascent);
    painter.setPen(ToQColor(m_textColor));
    if (marked.empty()) {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(ToQColor(m_bkColor));
        painter.drawText(baseline, Borrowed(shown));
    } else {
        // The background as opaque mode fills it (from the font's ascent above the baseline to
        // its descent below), the marked cells' over it, then the characters once, over both.
        Impl& impl = *m_pImpl;
        if (!impl.pMetrics) {
            impl.pMetrics = std::make_unique<QFontMetricsF>(painter.font(), painter.device());
        }
        const double top = baseline.y() - impl.pMetrics->ascent();
        const double height = impl.pMetrics->ascent() + impl.pMetrics->descent();
        painter.fillRect(QRectF(start, top, end - start, height), ToQColor(m_bkColor));
        for (const Marked& cells : marked) {
            painter.fillRect(QRectF(cells.start, top, cells.end - cells.start, height),
                             ToQColor(markColor));
        }
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.drawText(baseline, Borrowed(shown));
        painter.setBackgroundMode(Qt::OpaqueMode);
    }
    if (!overstrikes.empty()) {
        painter.setBackgroundMode(Qt::TransparentMode);
        for (const Overstrike& overstrike : overstrikes) {
            painter.drawText(QPointF(overstrike.x, baseline.y()), Borrowed(overstrike.marks));
        }
        painter.setBackgroundMode(Qt::OpaqueMode);
    }
    return true;
}
