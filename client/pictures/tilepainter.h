// The letter tile and the empty slot, drawn at any size: the 44x44 board pictures, the
// logo's small tiles and the window icon all come from here.
#pragma once

#include <QtCore/QRectF>

class QPainter;

namespace tessarin::pictures {

// Draws the tile of `code` (0 = empty slot, 1..26 = A..Z) filling the square `rect`.
void drawTile(QPainter& painter, const QRectF& rect, int code);

}  // namespace tessarin::pictures
