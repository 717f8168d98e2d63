#include "pictureview.h"

#include <QPainter>

namespace tessarin::board {

QPixmap pictureFor(const QWidget& widget, const Picture& picture, QSize designed) {
    if (designed.isEmpty()) return {};
    return picture(widget.width() * widget.devicePixelRatioF() / designed.width());
}

PictureView::PictureView(Picture picture, QWidget* parent)
    : QWidget(parent), picture_(std::move(picture)) {
    designed_ = picture_(1.0).deviceIndependentSize().toSize();
    setAttribute(Qt::WA_TranslucentBackground);
    resize(designed_);
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), pictureFor(*this, picture_, designed_));
}

}  // namespace tessarin::board
