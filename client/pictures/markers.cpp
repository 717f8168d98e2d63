#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include "cache.h"
#include "look.h"
#include "pictures.h"

namespace tessarin::pictures {

QPixmap turnMarker(qreal ratio) {
    return drawCached(
        QStringLiteral("turnmarker"), QSize(54, 21),
        [](QPainter& p) {
            QPainterPath arrow(QPointF(3.5, 7.0));
            arrow.lineTo(32.5, 7.0);
            arrow.lineTo(32.5, 2.0);
            arrow.lineTo(51.5, 10.5);
            arrow.lineTo(32.5, 19.0);
            arrow.lineTo(32.5, 14.0);
            arrow.lineTo(3.5, 14.0);
            arrow.quadTo(1.5, 10.5, 3.5, 7.0);

            p.fillPath(arrow.translated(1.0, 1.2), QColor(0, 0, 0, 60));
            QLinearGradient fill(0, 2, 0, 19);
            fill.setColorAt(0.0, look::kTerracottaLight);
            fill.setColorAt(0.5, look::kTerracotta);
            fill.setColorAt(1.0, look::kTerracottaDark);
            p.fillPath(arrow, fill);
            // A glint along the upper edges gives the arrow some body.
            p.setPen(QPen(QColor(255, 255, 255, 120), 1.0, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4.5, 8.2), QPointF(33.5, 8.2));
            p.drawLine(QPointF(34.0, 4.0), QPointF(48.5, 10.5));
            p.setPen(QPen(look::kTerracottaDark, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(arrow);
        },
        ratio);
}

QPixmap eyes(qreal ratio) {
    return drawCached(
        QStringLiteral("eyes"), QSize(24, 16),
        [](QPainter& p) {
            const QColor line(0x2B, 0x2B, 0x33);
            for (const qreal x : {6.6, 17.4}) {
                QLinearGradient white(0, 1, 0, 15);
                white.setColorAt(0.0, Qt::white);
                white.setColorAt(1.0, QColor(0xD8, 0xDC, 0xE4));
                p.setPen(QPen(line, 1.0));
                p.setBrush(white);
                p.drawEllipse(QPointF(x, 8.0), 5.4, 6.9);
                // Pupils turned aside: watching, not playing.
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0x2E, 0x5E, 0x8C));
                p.drawEllipse(QPointF(x + 2.2, 9.0), 2.7, 3.0);
                p.setBrush(QColor(0x10, 0x14, 0x1C));
                p.drawEllipse(QPointF(x + 2.4, 9.1), 1.5, 1.7);
                p.setBrush(Qt::white);
                p.drawEllipse(QPointF(x + 1.5, 7.9), 0.8, 0.8);
                // A heavy upper lid.
                p.setPen(QPen(line, 1.6, Qt::SolidLine, Qt::RoundCap));
                p.setBrush(Qt::NoBrush);
                p.drawArc(QRectF(x - 5.4, 1.1, 10.8, 13.8), 30 * 16, 120 * 16);
            }
        },
        ratio);
}

QPixmap ruleLine(int width, qreal ratio) {
    if (width < 1) return {};
    return drawCached(
        QStringLiteral("rule/%1").arg(width), QSize(width, 2),
        [width](QPainter& p) {
            // An engraved groove: a shadow line over a lit line, fading out at both ends.
            const qreal fade = qMin(12.0, width / 4.0) / width;
            const auto row = [&](int y, QColor colour) {
                QLinearGradient gradient(0, 0, width, 0);
                QColor clear = colour;
                clear.setAlpha(0);
                gradient.setColorAt(0.0, clear);
                gradient.setColorAt(fade, colour);
                gradient.setColorAt(1.0 - fade, colour);
                gradient.setColorAt(1.0, clear);
                p.fillRect(QRectF(0, y, width, 1), gradient);
            };
            row(0, QColor(0x4A, 0x55, 0x38, 150));
            row(1, QColor(255, 255, 255, 170));
        },
        ratio);
}

}  // namespace tessarin::pictures
