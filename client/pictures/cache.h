// Drawing a picture once and serving it from QPixmapCache afterwards.
#pragma once

#include <QtCore/QSize>
#include <QtCore/QString>
#include <QtGui/QPixmap>

#include <functional>

class QPainter;

namespace tessarin::pictures {

// The cached picture for key, or a new transparent picture of `size` drawn by `paint`
// (antialiased) and cached under key. The cache may evict and redraw at any time, so
// `paint` must draw the same picture every time.
QPixmap drawCached(const QString& key, QSize size, const std::function<void(QPainter&)>& paint);

}  // namespace tessarin::pictures
