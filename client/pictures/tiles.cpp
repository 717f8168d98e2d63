#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include "cache.h"
#include "look.h"
#include "pictures.h"
#include "tilepainter.h"

namespace tessarin::pictures {
namespace {

QPainterPath roundedSquare(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// A bevel: `lit` along the top and left edges, `shade` along the bottom and right.
void strokeBevel(QPainter& painter, const QRectF& rect, qreal radius, qreal width,
                 const QColor& lit, const QColor& shade) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
    gradient.setColorAt(0.0, lit);
    gradient.setColorAt(0.45, QColor(lit.red(), lit.green(), lit.blue(), 0));
    gradient.setColorAt(0.55, QColor(shade.red(), shade.green(), shade.blue(), 0));
    gradient.setColorAt(1.0, shade);
    const qreal inset = width / 2 + 0.5;
    painter.strokePath(roundedSquare(rect.adjusted(inset, inset, -inset, -inset), radius),
                       QPen(QBrush(gradient), width));
}

// Faint wavy grain lines; the phase depends on the code so that no two tiles are cut
// from quite the same piece.
void drawGrain(QPainter& painter, const QRectF& face, int code) {
    const qreal s = face.width();
    QColor grain = look::kGrain;
    grain.setAlpha(34);
    painter.setPen(QPen(grain, qMax(0.6, s / 60)));
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        const qreal y =
            face.top() + s * (0.1 + 0.16 * i) + s * 0.03 * ((code * 7 + i * 3) % 5 - 2) / 2;
        const qreal wave = s * 0.035 * (((code + i) % 3) - 1);
        QPainterPath line(QPointF(face.left(), y));
        line.cubicTo(face.left() + s * 0.33, y - wave - s * 0.02, face.left() + s * 0.66,
                     y + wave + s * 0.02, face.right(), y);
        painter.drawPath(line);
    }
}

void drawLetterTile(QPainter& painter, const QRectF& face, int code) {
    const qreal s = face.width();
    const qreal radius = s * 0.14;
    const QPainterPath shape = roundedSquare(face, radius);

    QLinearGradient body(face.topLeft(), face.bottomLeft());
    body.setColorAt(0.0, look::kIvoryLight);
    body.setColorAt(1.0, look::kIvoryDark);
    painter.fillPath(shape, body);

    painter.save();
    painter.setClipPath(shape);
    drawGrain(painter, face, code);
    painter.restore();

    strokeBevel(painter, face, radius * 0.8, qMax(1.0, s / 28), QColor(255, 255, 255, 210),
                QColor(120, 84, 40, 120));
    painter.strokePath(shape, QPen(look::kTileEdge, 1.0));

    // The letter is centred on its own outline rather than its baseline, so that every
    // letter sits in the middle of the tile.
    QPainterPath glyph;
    glyph.addText(0, 0, look::font(s * 0.6, true), QString(QChar(u'A' + code - 1)));
    const QPointF shift = face.center() - glyph.boundingRect().center();
    painter.fillPath(glyph.translated(shift + QPointF(0, s * 0.03)), QColor(255, 255, 255, 190));
    painter.fillPath(glyph.translated(shift), look::kInk);
}

void drawSlot(QPainter& painter, const QRectF& face) {
    const qreal s = face.width();
    const qreal radius = s * 0.14;
    const QPainterPath shape = roundedSquare(face, radius);

    QLinearGradient body(face.topLeft(), face.bottomLeft());
    body.setColorAt(0.0, look::kSlotTop);
    body.setColorAt(1.0, look::kSlotBottom);
    painter.fillPath(shape, body);
    // Sunk into the board: the shadow falls on the top and left inner edges.
    strokeBevel(painter, face, radius * 0.8, qMax(1.0, s / 22), QColor(60, 70, 45, 130),
                QColor(255, 255, 255, 150));
    painter.strokePath(shape, QPen(look::kSlotEdge, 1.0));

    // A small diamond marks the spot, as printed on a game board.
    const QPointF c = face.center();
    const qreal d = s * 0.09;
    QPainterPath mark;
    mark.moveTo(c.x(), c.y() - d);
    mark.lineTo(c.x() + d, c.y());
    mark.lineTo(c.x(), c.y() + d);
    mark.lineTo(c.x() - d, c.y());
    mark.closeSubpath();
    painter.fillPath(mark.translated(0, 0.8), QColor(255, 255, 255, 110));
    painter.fillPath(mark, QColor(110, 122, 88, 170));
}

}  // namespace

void drawTile(QPainter& painter, const QRectF& rect, int code) {
    const QRectF face = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    if (code == 0) {
        drawSlot(painter, face);
    } else {
        drawLetterTile(painter, face, code);
    }
}

QPixmap tile(int code, qreal ratio) {
    if (code < 0 || code > 26) return {};
    return drawCached(
        QStringLiteral("tile/%1").arg(code), QSize(kTileSize, kTileSize),
        [code](QPainter& painter) { drawTile(painter, QRectF(0, 0, kTileSize, kTileSize), code); },
        ratio);
}

}  // namespace tessarin::pictures
