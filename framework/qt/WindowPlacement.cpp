#include "framework/window/WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

bool AfxRectMeetsAnyScreen(const RECT& rect) {
    const QRect r(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(r)) {
            return true;
        }
    }
    return false;
}

RECT AfxMoveRectOntoPrimaryScreen(const RECT& rect) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint origin = screen != nullptr ? screen->availableGeometry().topLeft() : QPoint();
    RECT moved;
    moved.left = origin.x();
    moved.top = origin.y();
    moved.right = origin.x() + (rect.right - rect.left);
    moved.bottom = origin.y() + (rect.bottom - rect.top);
    return moved;
}

CSize AfxGetPrimaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? CSize(screen->size().width(), screen->size().height()) : CSize();
}
