#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QRadialGradient>

#include <array>

#include "cache.h"
#include "pictures.h"

// The faces are drawn at their final 17x16 size on a half-pixel grid: at this size every
// feature is one or two pixels wide, and drawing them directly keeps them crisp.
namespace tessarin::pictures {
namespace {

const QColor kFeature{0x3A, 0x24, 0x16};
const QColor kOutline{0x6B, 0x4A, 0x12};
const QColor kMouth{0x7A, 0x1F, 0x12};
const QColor kHeart{0xE0, 0x2A, 0x3C};
const QPointF kCentre{8.5, 8.0};
constexpr qreal kRadius = 7.4;

struct Skin {
    QColor light, mid, edge;
};
const Skin kYellow{{0xFF, 0xF3, 0x8A}, {0xFF, 0xD4, 0x3C}, {0xEC, 0xA2, 0x18}};
const Skin kRed{{0xFF, 0xB0, 0x80}, {0xF2, 0x6A, 0x3A}, {0xC8, 0x36, 0x1C}};
const Skin kPurple{{0xD8, 0xA8, 0xF4}, {0xA8, 0x68, 0xD8}, {0x74, 0x38, 0xA8}};
const Skin kGreen{{0xE4, 0xF4, 0x9C}, {0xB4, 0xD4, 0x58}, {0x7C, 0xA0, 0x30}};

void face(QPainter& p, const Skin& skin) {
    QRadialGradient fill(QPointF(6.5, 5.5), 10.0);
    fill.setColorAt(0.0, skin.light);
    fill.setColorAt(0.55, skin.mid);
    fill.setColorAt(1.0, skin.edge);
    p.setBrush(fill);
    p.setPen(QPen(kOutline, 0.9));
    p.drawEllipse(kCentre, kRadius, kRadius);
}

void pen(QPainter& p, const QColor& colour, qreal width = 1.1) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void dot(QPainter& p, QPointF at, qreal rx, qreal ry, const QColor& colour = kFeature) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(at, rx, ry);
}

void eyes(QPainter& p, qreal rx = 1.0, qreal ry = 1.5) {
    dot(p, {6.0, 6.3}, rx, ry);
    dot(p, {11.0, 6.3}, rx, ry);
}

// A curve from `from` to `to` bending through `via`.
void curve(QPainter& p, QPointF from, QPointF via, QPointF to, const QColor& colour = kFeature,
           qreal width = 1.1) {
    QPainterPath path(from);
    path.quadTo(via, to);
    pen(p, colour, width);
    p.drawPath(path);
}

// Eyes shut in a smile: little arches.
void happyEyes(QPainter& p) {
    curve(p, {4.8, 7.2}, {6.0, 4.6}, {7.2, 7.2});
    curve(p, {9.8, 7.2}, {11.0, 4.6}, {12.2, 7.2});
}

void smile(QPainter& p) {
    curve(p, {4.9, 9.7}, {8.5, 14.1}, {12.1, 9.7});
}
void frown(QPainter& p) {
    curve(p, {5.3, 12.6}, {8.5, 9.2}, {11.7, 12.6});
}

void heart(QPainter& p, QPointF centre, qreal size, const QColor& colour = kHeart) {
    const qreal h = size / 2;
    QPainterPath path(QPointF(centre.x(), centre.y() + h));
    path.cubicTo(centre.x() - size * 0.9, centre.y(), centre.x() - h, centre.y() - size * 0.75,
                 centre.x(), centre.y() - size * 0.2);
    path.cubicTo(centre.x() + h, centre.y() - size * 0.75, centre.x() + size * 0.9, centre.y(),
                 centre.x(), centre.y() + h);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

void drawSmile(QPainter& p) {
    face(p, kYellow);
    eyes(p);
    smile(p);
}

void drawWink(QPainter& p) {
    face(p, kYellow);
    curve(p, {4.8, 6.8}, {6.0, 5.6}, {7.2, 6.8});
    dot(p, {11.0, 6.3}, 1.0, 1.5);
    curve(p, {5.2, 10.6}, {9.0, 13.6}, {12.3, 9.4});
}

void drawLaugh(QPainter& p) {
    face(p, kYellow);
    happyEyes(p);
    QPainterPath mouth(QPointF(4.4, 9.0));
    mouth.lineTo(12.6, 9.0);
    mouth.quadTo(12.4, 14.8, 8.5, 14.8);
    mouth.quadTo(4.6, 14.8, 4.4, 9.0);
    p.setPen(Qt::NoPen);
    p.setBrush(kMouth);
    p.drawPath(mouth);
    p.save();
    p.setClipPath(mouth);
    p.fillRect(QRectF(4, 9.0, 9, 1.5), Qt::white);
    dot(p, {8.5, 14.6}, 2.4, 1.4, QColor(0xF0, 0x70, 0x80));
    p.restore();
}

void drawSad(QPainter& p) {
    face(p, kYellow);
    eyes(p);
    frown(p);
}

void drawTongue(QPainter& p) {
    face(p, kYellow);
    eyes(p);
    p.setPen(QPen(kOutline, 0.6));
    p.setBrush(QColor(0xEE, 0x5A, 0x70));
    p.drawRoundedRect(QRectF(8.3, 10.0, 3.0, 4.4), 1.4, 1.4);
    curve(p, {4.9, 10.2}, {8.5, 11.6}, {12.1, 10.2});
}

void drawSurprised(QPainter& p) {
    face(p, kYellow);
    eyes(p, 1.2, 1.8);
    p.setPen(QPen(kFeature, 0.6));
    p.setBrush(kMouth);
    p.drawEllipse(QPointF(8.5, 11.9), 1.7, 2.1);
}

void drawCool(QPainter& p) {
    face(p, kYellow);
    p.setPen(QPen(QColor(0x10, 0x10, 0x18), 0.8));
    p.setBrush(QColor(0x1E, 0x22, 0x2C));
    p.drawRoundedRect(QRectF(3.4, 4.9, 4.6, 3.4), 1.3, 1.3);
    p.drawRoundedRect(QRectF(9.0, 4.9, 4.6, 3.4), 1.3, 1.3);
    p.drawLine(QPointF(8.0, 5.6), QPointF(9.0, 5.6));
    curve(p, {4.2, 6.6}, {4.7, 5.4}, {5.6, 5.4}, QColor(255, 255, 255, 200), 0.7);
    curve(p, {9.8, 6.6}, {10.3, 5.4}, {11.2, 5.4}, QColor(255, 255, 255, 200), 0.7);
    curve(p, {5.6, 11.0}, {9.6, 13.2}, {12.2, 10.0});
}

void drawAngry(QPainter& p) {
    face(p, kRed);
    pen(p, kFeature, 1.2);
    p.drawLine(QPointF(4.4, 4.4), QPointF(7.4, 5.9));
    p.drawLine(QPointF(12.6, 4.4), QPointF(9.6, 5.9));
    dot(p, {6.1, 7.4}, 0.95, 1.2);
    dot(p, {10.9, 7.4}, 0.95, 1.2);
    curve(p, {5.4, 12.8}, {8.5, 10.4}, {11.6, 12.8});
}

void drawCrying(QPainter& p) {
    face(p, kYellow);
    curve(p, {4.8, 5.8}, {6.0, 6.9}, {7.2, 5.8});
    curve(p, {9.8, 5.8}, {11.0, 6.9}, {12.2, 5.8});
    frown(p);
    QPainterPath tear(QPointF(12.4, 7.4));
    tear.cubicTo(11.0, 10.0, 11.0, 11.4, 12.4, 11.4);
    tear.cubicTo(13.8, 11.4, 13.8, 10.0, 12.4, 7.4);
    p.setPen(QPen(QColor(0x2A, 0x78, 0xB8), 0.5));
    p.setBrush(QColor(0x6C, 0xC0, 0xF4));
    p.drawPath(tear);
}

void drawNeutral(QPainter& p) {
    face(p, kYellow);
    eyes(p);
    pen(p, kFeature);
    p.drawLine(QPointF(5.6, 11.4), QPointF(11.4, 11.4));
}

void drawInLove(QPainter& p) {
    face(p, kYellow);
    heart(p, {5.9, 6.4}, 3.8);
    heart(p, {11.1, 6.4}, 3.8);
    smile(p);
}

void drawSleepy(QPainter& p) {
    face(p, kYellow);
    curve(p, {4.8, 6.6}, {6.0, 7.8}, {7.2, 6.6});
    curve(p, {9.8, 6.6}, {11.0, 7.8}, {12.2, 6.6});
    p.setPen(QPen(kFeature, 0.8));
    p.setBrush(kMouth);
    p.drawEllipse(QPointF(8.5, 11.6), 1.1, 1.0);
    // The "z" sits over the top right of the face.
    QPainterPath z(QPointF(12.3, 0.9));
    z.lineTo(15.6, 0.9);
    z.lineTo(12.3, 4.3);
    z.lineTo(15.6, 4.3);
    p.setPen(QPen(QColor(0x2F, 0x6F, 0xB0), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(z);
}

void drawBlushing(QPainter& p) {
    face(p, kYellow);
    happyEyes(p);
    dot(p, {4.2, 9.6}, 1.7, 1.1, QColor(0xF2, 0x60, 0x70, 190));
    dot(p, {12.8, 9.6}, 1.7, 1.1, QColor(0xF2, 0x60, 0x70, 190));
    curve(p, {6.2, 11.0}, {8.5, 13.2}, {10.8, 11.0});
}

void drawKiss(QPainter& p) {
    face(p, kYellow);
    happyEyes(p);
    p.setPen(QPen(kMouth, 0.6));
    p.setBrush(QColor(0xE8, 0x40, 0x50));
    p.drawEllipse(QPointF(8.0, 11.6), 1.5, 1.2);
    heart(p, {13.2, 12.4}, 3.4);
}

void drawDevil(QPainter& p) {
    face(p, kPurple);
    for (const qreal side : {-1.0, 1.0}) {
        QPainterPath horn(QPointF(8.5 + side * 2.2, 1.6));
        horn.quadTo(8.5 + side * 6.8, 1.8, 8.5 + side * 7.6, -0.4);
        horn.quadTo(8.5 + side * 7.4, 3.6, 8.5 + side * 5.0, 3.4);
        horn.closeSubpath();
        p.setPen(QPen(QColor(0x5A, 0x10, 0x10), 0.6));
        p.setBrush(QColor(0xD8, 0x30, 0x30));
        p.drawPath(horn);
    }
    pen(p, kFeature, 1.1);
    p.drawLine(QPointF(4.6, 4.9), QPointF(7.4, 6.1));
    p.drawLine(QPointF(12.4, 4.9), QPointF(9.6, 6.1));
    dot(p, {6.2, 7.5}, 0.9, 1.1);
    dot(p, {10.8, 7.5}, 0.9, 1.1);
    curve(p, {4.4, 9.6}, {8.5, 14.6}, {12.6, 9.6});
}

void drawSick(QPainter& p) {
    face(p, kGreen);
    pen(p, kFeature, 1.0);
    p.drawLine(QPointF(4.8, 6.6), QPointF(7.2, 6.6));
    p.drawLine(QPointF(9.8, 6.6), QPointF(12.2, 6.6));
    QPainterPath mouth(QPointF(4.8, 11.8));
    mouth.cubicTo(6.0, 10.2, 7.0, 13.4, 8.5, 11.8);
    mouth.cubicTo(10.0, 10.2, 11.0, 13.4, 12.2, 11.8);
    pen(p, kFeature, 1.1);
    p.drawPath(mouth);
}

void drawConfused(QPainter& p) {
    face(p, kYellow);
    pen(p, kFeature, 1.0);
    p.drawLine(QPointF(9.6, 3.9), QPointF(12.4, 3.3));
    dot(p, {6.0, 6.6}, 1.0, 1.3);
    dot(p, {11.0, 6.0}, 1.0, 1.6);
    QPainterPath mouth(QPointF(5.4, 12.2));
    mouth.cubicTo(7.2, 10.8, 9.0, 12.8, 11.8, 10.8);
    p.drawPath(mouth);
}

void drawAngel(QPainter& p) {
    // A slightly smaller face, lowered to make room for the halo.
    p.save();
    p.translate(8.5, 9.4);
    p.scale(0.86, 0.86);
    p.translate(-kCentre);
    face(p, kYellow);
    happyEyes(p);
    smile(p);
    p.restore();
    p.setPen(QPen(QColor(0xB8, 0x86, 0x10), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8.5, 1.6), 4.6, 1.1);
    p.setPen(QPen(QColor(0xFF, 0xE0, 0x5A), 1.0));
    p.drawEllipse(QPointF(8.5, 1.6), 4.6, 1.1);
}

using Painter = void (*)(QPainter&);
constexpr std::array<Painter, kSmileyCount> kFaces{
    drawSmile,    drawWink,  drawLaugh,  drawSad,     drawTongue,   drawSurprised,
    drawCool,     drawAngry, drawCrying, drawNeutral, drawInLove,   drawSleepy,
    drawBlushing, drawKiss,  drawDevil,  drawSick,    drawConfused, drawAngel,
};

}  // namespace

QPixmap smiley(int index) {
    if (index < 0 || index >= kSmileyCount) return {};
    return drawCached(QStringLiteral("smiley/%1").arg(index), QSize(17, 16), kFaces[index]);
}

}  // namespace tessarin::pictures
