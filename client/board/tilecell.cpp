#include "tilecell.h"

#include <QMouseEvent>
#include <QPainter>

#include "boardmessages.h"
#include "pictures.h"

namespace tessarin::board {

namespace {

QString lettername(int code) {
    if (code >= 1 && code <= kLetters) return QString(QChar('A' + code - 1));
    return QStringLiteral("empty");
}

}  // namespace

TileCell::TileCell(const QString& accessiblePrefix, QWidget* parent)
    : QWidget(parent), prefix_(accessiblePrefix) {
    resize(pictures::kTileSize, pictures::kTileSize);
    setAttribute(Qt::WA_TranslucentBackground);
    setAccessibleName(prefix_ + QStringLiteral(": ") + lettername(code_));
}

void TileCell::setCode(int code) {
    code_ = code >= 0 && code <= kLetters ? code : kNone;
    setAccessibleName(prefix_ + QStringLiteral(": ") + lettername(code_));
    update();
}

void TileCell::paintEvent(QPaintEvent*) {
    if (code_ == kNone) return;
    // Drawn at the cell's own size, which grows with the board, and the screen's density.
    QPainter painter(this);
    painter.drawPixmap(rect(),
                       pictures::tile(code_, width() * devicePixelRatioF() / pictures::kTileSize));
}

void TileCell::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) emit released(event->button());
}

}  // namespace tessarin::board
