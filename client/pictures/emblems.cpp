#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include "cache.h"
#include "look.h"
#include "pictures.h"
#include "tilepainter.h"

namespace tessarin::pictures {
namespace {

int code(QChar letter) {
    return letter.unicode() - u'A' + 1;
}

// The window icon on a 64 x 64 canvas.
void paintAppIcon(QPainter& p) {
    const QRectF square(2, 2, 58, 58);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(square.translated(2, 2.5), 8, 8);
    drawTile(p, square, code(u'T'));
}

}  // namespace

QPixmap logo(qreal ratio) {
    return drawCached(
        QStringLiteral("logo"), QSize(176, 44),
        [](QPainter& p) {
            const QString name = QStringLiteral("TESSARIN");
            for (int i = 0; i < name.size(); ++i) {
                const QRectF square(1 + i * 22, 1, 20, 20);
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0, 0, 0, 50));
                p.drawRoundedRect(square.translated(1, 1.5), 3, 3);
                drawTile(p, square, code(name[i]));
            }
            QFont font = look::font(10, true);
            font.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
            p.setFont(font);
            p.setPen(look::kTealDark);
            p.drawText(QRectF(0, 25, 176, 16), Qt::AlignCenter, QStringLiteral("ZORVIK SOFTWARE"));
        },
        ratio);
}

QPixmap instructionsPicture(qreal ratio) {
    return drawCached(
        QStringLiteral("instructions"), QSize(200, 64),
        [](QPainter& p) {
            // A row four placements into a round: the row fills from the right, and its
            // word reads from the leftmost letter.
            const QString row = QStringLiteral("  PLAY");
            for (int i = 0; i < row.size(); ++i) {
                const QRectF cell(2.5 + i * 33, 2, 30, 30);
                drawTile(p, cell, row[i] == u' ' ? 0 : code(row[i]));
            }
            QPainterPath arrow(QPointF(70, 44));
            arrow.lineTo(182, 44);
            arrow.lineTo(182, 39);
            arrow.lineTo(196, 46.5);
            arrow.lineTo(182, 54);
            arrow.lineTo(182, 49);
            arrow.lineTo(70, 49);
            arrow.closeSubpath();
            p.fillPath(arrow.translated(1, 1), QColor(0, 0, 0, 50));
            p.fillPath(arrow, look::kTerracotta);
            p.setPen(QPen(look::kTerracottaDark, 1.0));
            p.setBrush(Qt::NoBrush);
            p.drawPath(arrow);
        },
        ratio);
}

QPixmap appIcon() {
    return drawCached(QStringLiteral("icon"), QSize(64, 64), paintAppIcon);
}

QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.scale(size / 64.0, size / 64.0);
    paintAppIcon(painter);
    return image;
}

}  // namespace tessarin::pictures
