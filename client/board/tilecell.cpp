#include "tilecell.h"

#include <QMouseEvent>
#include <QPainter>

#include "boardmessages.h"
#include "boardtext.h"
#include "pictures.h"

namespace tessarin::board {

TileCell::TileCell(const QString& objectName, const QString& accessiblePrefix, QWidget* parent)
    : QWidget(parent),
      boardcell_(objectName.startsWith(QLatin1String("word_"))),
      prefix_(accessiblePrefix) {
    setObjectName(objectName);
    resize(pictures::kTileSize, pictures::kTileSize);
    setAttribute(Qt::WA_TranslucentBackground);
    rename();
}

void TileCell::setCode(int code) {
    code_ = code >= 0 && code <= kLetters ? code : kNone;
    rename();
    update();
}

void TileCell::setNote(const QString& note) {
    note_ = note;
    rename();
}

void TileCell::rename() {
    QString name = prefix_ + QStringLiteral(": ") + lettername(code_);
    if (!note_.isEmpty()) name += QStringLiteral(", ") + note_;
    // Every change is told to screen readers; an unchanged name is not told again.
    if (name != accessibleName()) setAccessibleName(name);
}

void TileCell::paintEvent(QPaintEvent*) {
    if (code_ == kNone) return;
    // Drawn at the cell's own size, which grows with the board, and the screen's density.
    QPainter painter(this);
    painter.drawPixmap(rect(),
                       pictures::tile(code_, width() * devicePixelRatioF() / pictures::kTileSize));
    if (code_ != 0 || !boardcell_) return;
    // Open to play: a deep teal well with the slot's edge and diamond still showing.
    const qreal s = width();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2C, 0x68, 0x73, 245));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), s * 0.12, s * 0.12);
    const QPointF c = QRectF(rect()).center();
    const qreal d = s * 0.09;
    painter.setBrush(QColor(0xFB, 0xF2, 0xD8, 200));
    painter.drawPolygon(
        QPolygonF({c + QPointF(0, -d), c + QPointF(d, 0), c + QPointF(0, d), c + QPointF(-d, 0)}));
}

void TileCell::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) emit released(event->button());
}

}  // namespace tessarin::board
