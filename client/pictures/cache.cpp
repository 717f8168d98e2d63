#include "cache.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPixmapCache>

namespace tessarin::pictures {

QPixmap drawCached(const QString& key, QSize size, const std::function<void(QPainter&)>& paint) {
    const QString fullKey = QStringLiteral("tessarin/") + key;
    QPixmap pixmap;
    if (QPixmapCache::find(fullKey, &pixmap)) return pixmap;

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        paint(painter);
    }
    pixmap = QPixmap::fromImage(image);
    QPixmapCache::insert(fullKey, pixmap);
    return pixmap;
}

}  // namespace tessarin::pictures
