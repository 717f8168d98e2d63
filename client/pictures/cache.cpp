#include "cache.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPixmapCache>

#include <algorithm>

namespace tessarin::pictures {

QPixmap drawCached(const QString& key, QSize size, const std::function<void(QPainter&)>& paint,
                   qreal ratio) {
    ratio = std::clamp(ratio, 0.25, 16.0);
    QString fullKey = QStringLiteral("tessarin/") + key;
    if (ratio != 1.0) fullKey += QLatin1Char('@') + QString::number(ratio, 'f', 4);
    QPixmap pixmap;
    if (QPixmapCache::find(fullKey, &pixmap)) return pixmap;

    QImage image(QSize(qRound(size.width() * ratio), qRound(size.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        // Scaled by hand: a painter would not shrink for an image's ratio below 1.
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        painter.scale(ratio, ratio);
        paint(painter);
    }
    image.setDevicePixelRatio(ratio);
    pixmap = QPixmap::fromImage(image);
    QPixmapCache::insert(fullKey, pixmap);
    return pixmap;
}

}  // namespace tessarin::pictures
