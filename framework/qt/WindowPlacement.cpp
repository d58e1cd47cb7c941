#include "framework/window/WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

RECT AfxGetWorkArea(const RECT& rect, bool* pbMeetsScreen) {
    const QRect r(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
    const QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry().intersected(r);
        const qint64 area = qint64{shared.width()} * shared.height();
        if (!shared.isEmpty() && area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    if (pbMeetsScreen != nullptr) {
        *pbMeetsScreen = best != nullptr;
    }
    if (best == nullptr) {
        best = QGuiApplication::primaryScreen();
    }
    const QRect work = best != nullptr ? best->availableGeometry() : QRect();
    RECT area;
    area.left = work.left();
    area.top = work.top();
    area.right = work.left() + work.width();
    area.bottom = work.top() + work.height();
    return area;
}

CSize AfxGetPrimaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? CSize(screen->size().width(), screen->size().height()) : CSize();
}
