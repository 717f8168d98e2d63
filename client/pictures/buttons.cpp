#include <QtGui/QFontMetricsF>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include "cache.h"
#include "look.h"
#include "pictures.h"

namespace tessarin::pictures {
namespace {

const QColor kLabel{0xF7, 0xEB, 0xCB};

// A raised teal face filling the picture.
void drawFace(QPainter& p, QSizeF size, qreal radius) {
    const QRectF face(0.5, 0.5, size.width() - 1, size.height() - 1);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0.0, look::kTealLight);
    fill.setColorAt(0.5, look::kTeal);
    fill.setColorAt(1.0, look::kTealDark);
    p.setPen(QPen(look::kTealDark.darker(130), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(face, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(radius + 0.5, 1.5), QPointF(size.width() - radius - 0.5, 1.5));
}

// Light text with a dark shadow, centred in `box`.
void drawLabel(QPainter& p, const QRectF& box, const QString& text, qreal pixelSize) {
    p.setFont(look::font(pixelSize, true));
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(box.translated(0, 1), Qt::AlignCenter, text);
    p.setPen(kLabel);
    p.drawText(box, Qt::AlignCenter, text);
}

constexpr QSize kPhraseSize{26, 22};

}  // namespace

QPixmap phraseButton(int number) {
    if (number < 0 || number > 9) return {};
    return drawCached(QStringLiteral("phrase/%1").arg(number), kPhraseSize, [number](QPainter& p) {
        drawFace(p, kPhraseSize, 4);
        if (number > 0)
            drawLabel(p, QRectF(QPointF(0, 0), kPhraseSize), QStringLiteral("P%1").arg(number), 10);
    });
}

QPixmap soundButton() {
    return drawCached(QStringLiteral("soundbutton"), kPhraseSize, [](QPainter& p) {
        drawFace(p, kPhraseSize, 4);
        // Two beamed quavers.
        QPainterPath note;
        note.addEllipse(QPointF(8.6, 15.6), 2.7, 2.0);
        note.addEllipse(QPointF(16.6, 14.0), 2.7, 2.0);
        note.addRect(QRectF(10.2, 5.6, 1.2, 10.0));
        note.addRect(QRectF(18.2, 4.0, 1.2, 10.0));
        note.moveTo(10.2, 5.6);
        note.lineTo(19.4, 4.0);
        note.lineTo(19.4, 6.6);
        note.lineTo(10.2, 8.2);
        note.closeSubpath();
        note.setFillRule(Qt::WindingFill);
        p.fillPath(note.translated(0, 1), QColor(0, 0, 0, 110));
        p.fillPath(note, kLabel);
    });
}

QPixmap smileyButton() {
    constexpr QSize size{24, 22};
    return drawCached(QStringLiteral("smileybutton"), size, [size](QPainter& p) {
        drawFace(p, size, 4);
        p.drawPixmap(4, 3, smiley(0));
    });
}

QPixmap startButton(qreal ratio) {
    constexpr QSize size{120, 34};
    return drawCached(
        QStringLiteral("startbutton"), size,
        [size](QPainter& p) {
            drawFace(p, size, 7);
            // A play sign and the words, centred together.
            const QString text = QStringLiteral("Start Game");
            const qreal textWidth = QFontMetricsF(look::font(14, true)).horizontalAdvance(text);
            const qreal sign = 10, gap = 6;
            const qreal left = (size.width() - sign - gap - textWidth) / 2;
            QPainterPath play(QPointF(left, 11));
            play.lineTo(left + sign, 17);
            play.lineTo(left, 23);
            play.closeSubpath();
            p.fillPath(play.translated(0, 1), QColor(0, 0, 0, 110));
            p.fillPath(play, look::kTerracottaLight);
            drawLabel(p, QRectF(left + sign + gap, 0, textWidth + 1, size.height()), text, 14);
        },
        ratio);
}

}  // namespace tessarin::pictures
