#include "picturebutton.h"

#include <QPainter>

namespace tessarin::board {

PictureButton::PictureButton(const QPixmap& picture, const QString& accessibleName, QWidget* parent)
    : QAbstractButton(parent), picture_(picture), hover_(picture) {
    // Lighten only the picture's own pixels, not the transparent corners around it.
    QPainter light(&hover_);
    light.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    light.fillRect(hover_.rect(), QColor(255, 255, 255, 50));
    light.end();
    setAccessibleName(accessibleName);
    setText(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    resize(sizeHint());
}

QSize PictureButton::sizeHint() const {
    return picture_.deviceIndependentSize().toSize();
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int shift = isDown() ? 1 : 0;
    painter.drawPixmap(shift, shift, underMouse() && !isDown() ? hover_ : picture_);
    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().highlight().color(), 2, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
}

}  // namespace tessarin::board
