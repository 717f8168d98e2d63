#include "picturebutton.h"

#include <QKeyEvent>
#include <QPainter>

namespace tessarin::board {

PictureButton::PictureButton(Picture picture, const QString& accessibleName, QWidget* parent)
    : QAbstractButton(parent), picture_(std::move(picture)) {
    designed_ = picture_(1.0).deviceIndependentSize().toSize();
    setAccessibleName(accessibleName);
    setText(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    resize(designed_);
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPixmap face = pictureFor(*this, picture_, designed_);
    if (underMouse() && !isDown()) {
        // Lighten only the picture's own pixels, not the transparent corners around it.
        QPainter light(&face);
        light.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        light.fillRect(QRect(QPoint(0, 0), face.deviceIndependentSize().toSize()),
                       QColor(255, 255, 255, 50));
    }
    QPainter painter(this);
    const int shift = isDown() ? 1 : 0;
    painter.drawPixmap(rect().translated(shift, shift), face);
    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().highlight().color(), 2, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
}

}  // namespace tessarin::board
