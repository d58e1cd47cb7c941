#pragma once

// Private to the Qt half of the framework: conversions between the program's bytes and Qt.

#include <QByteArray>
#include <QPixmap>
#include <QString>
#include <string>

#include "framework/core/ResourceTypes.h"

// The program's texts are bytes; shown as the locale's encoding (UTF-8 here).
inline QString FromBytes(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToBytes(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// An icon resource at size by size pixels (0: as drawn).
inline QPixmap IconPixmap(const IconDef& icon, int size) {
    QPixmap pixmap;
    pixmap.loadFromData(icon.image.data(), static_cast<uint>(icon.image.size()), "PNG");
    return size > 0 ? pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                    : pixmap;
}
