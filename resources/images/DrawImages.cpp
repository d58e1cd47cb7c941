// Draws the toolbar's ten 16 by 15 button images into one strip, the same drawings at twice the
// size (32 by 30) for screens of two device pixels a pixel, and the program icon: 48 pixels for
// the program itself, 256 for desktops that show large icons.
// Usage: tessiver-draw-images <output folder>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Draw = std::function<void(QPainter&)>;

void OpenFolder(QPainter& p) {
    p.setPen(QColor(128, 96, 0));
    p.setBrush(QColor(255, 220, 100));
    p.drawRect(1, 5, 10, 8);
    p.setBrush(QColor(240, 200, 60));
    p.drawPolygon(QPolygonF({{1, 13}, {4, 8}, {14, 8}, {11, 13}}));
    p.drawRect(1, 4, 4, 1);
}

void Arrow(QPainter& p, QColor colour, bool down, double x, double y) {
    p.setPen(colour.darker(150));
    p.setBrush(colour);
    const double d = down ? 1 : -1;
    p.drawPolygon(QPolygonF({{x - 1.5, y - 3 * d},
                             {x + 1.5, y - 3 * d},
                             {x + 1.5, y},
                             {x + 3.5, y},
                             {x, y + 3.5 * d},
                             {x - 3.5, y},
                             {x - 1.5, y}}));
}

void Printer(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(1, 6, 13, 5);
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 4);
    p.setPen(QColor(0, 160, 0));
    p.drawPoint(12, 8);
}

void Preview(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(1, 0, 9, 12);
    p.setPen(QColor(128, 128, 128));
    for (int y = 3; y < 11; y += 2) {
        p.drawLine(3, y, 8, y);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(200, 230, 255, 200));
    p.drawEllipse(QRectF(7, 5, 6, 6));
    p.setPen(QPen(QColor(96, 64, 0), 2));
    p.drawLine(12, 10, 15, 14);
}

void Tools(QPainter& p) {
    p.setPen(QPen(QColor(96, 96, 96), 2));
    p.drawLine(2, 13, 12, 3);
    p.setPen(QPen(QColor(160, 80, 0), 2));
    p.drawLine(3, 3, 13, 13);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(QColor(128, 128, 128));
    p.drawEllipse(QRectF(10, 0, 5, 5));
    p.drawRect(1, 1, 4, 3);
}

void QuestionMark(QPainter& p, QColor colour) {
    QFont font("Sans");
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour.darker(200));
    p.drawText(QRectF(1, 0, 16, 15), Qt::AlignCenter, "?");
    p.setPen(colour);
    p.drawText(QRectF(0, -1, 16, 15), Qt::AlignCenter, "?");
}

void GlobeWithPage(QPainter& p) {
    p.setPen(QColor(0, 64, 128));
    p.setBrush(QColor(64, 160, 255));
    p.drawEllipse(QRectF(0.5, 3.5, 10, 10));
    p.setPen(QColor(0, 128, 0));
    p.drawLine(3, 6, 6, 9);
    p.drawLine(2, 10, 5, 11);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(9, 0, 6, 8);
    p.drawLine(10, 3, 14, 3);
    p.drawLine(10, 5, 14, 5);
}

void Book(QPainter& p) {
    p.setPen(QColor(64, 0, 96));
    p.setBrush(QColor(128, 48, 176));
    p.drawRect(2, 1, 11, 13);
    p.setPen(Qt::white);
    p.drawLine(3, 2, 3, 13);
    QFont font("Sans");
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(255, 255, 0));
    p.drawText(QRectF(3, 1, 11, 13), Qt::AlignCenter, "?");
}

// The strip at scale 1, pixel for pixel, or drawn again at a larger scale (smoothed, as it has
// the pixels for it).
QImage DrawStrip(int scale) {
    const std::vector<Draw> images = {
        [](QPainter& p) { OpenFolder(p), Arrow(p, QColor(0, 64, 255), true, 12, 4); },
        [](QPainter& p) { OpenFolder(p), Arrow(p, QColor(224, 0, 0), true, 12, 4); },
        Printer,
        Preview,
        [](QPainter& p) { Arrow(p, QColor(0, 176, 0), true, 7.5, 7.5); },
        [](QPainter& p) { Arrow(p, QColor(96, 192, 255), false, 7.5, 7.5); },
        Tools,
        [](QPainter& p) { QuestionMark(p, QColor(255, 224, 0)); },
        GlobeWithPage,
        Book,
    };
    QImage strip(16 * scale * static_cast<int>(images.size()), 15 * scale, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    for (std::size_t i = 0; i < images.size(); ++i) {
        QPainter p(&strip);
        if (scale > 1) {
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(scale, scale);
        }
        p.translate(16.0 * static_cast<double>(i), 0);
        p.setClipRect(0, 0, 16, 15);
        images[i](p);
    }
    return strip;
}

// Two sheets side by side, the left one with a silver band: the program at a glance. Drawn on a
// 48-pixel grid and scaled, so every size shows the same picture.
QImage DrawIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    for (int side = 0; side < 2; ++side) {
        const QRectF sheet(3 + side * 22, 4, 20, 40);
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        p.setBrush(Qt::white);
        p.drawRect(sheet);
        p.fillRect(QRectF(sheet.left() + 1, 18, sheet.width() - 2, 8), QColor(192, 192, 192));
        p.setPen(QPen(side == 0 ? QColor(0, 64, 255) : QColor(224, 0, 0), 2));
        for (int y = 10; y < 42; y += 5) {
            p.drawLine(QPointF(sheet.left() + 4, y), QPointF(sheet.right() - 4, y));
        }
    }
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool ok = DrawStrip(1).save(folder + "/toolbar.png") &&
                    DrawStrip(2).save(folder + "/toolbar@2x.png") &&
                    DrawIcon(48).save(folder + "/tessiver.png") &&
                    DrawIcon(256).save(folder + "/tessiver-256.png");
    return ok ? 0 : 1;
}
