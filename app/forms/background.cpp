#include "background.h"

#include <QBrush>
#include <QPalette>

namespace tessarin::forms {

void setbackground(QWidget* window, const QPixmap& picture) {
    if (picture.isNull()) return;
    QPalette palette = window->palette();
    palette.setBrush(QPalette::Window, QBrush(picture));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

}  // namespace tessarin::forms
