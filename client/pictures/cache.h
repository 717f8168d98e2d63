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
//
// `ratio` is the number of device pixels per pixel of `size` (0.25..16): the picture has
// size * ratio pixels and that device pixel ratio, so its device-independent size stays
// `size` and `paint` draws in the same coordinates at any ratio.
QPixmap drawCached(const QString& key, QSize size, const std::function<void(QPainter&)>& paint,
                   qreal ratio = 1.0);

}  // namespace tessarin::pictures
