// Every auxiliary window, the tally window's included, paints the main window's background
// picture, tiled.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace tessarin::forms {

// Tiles picture over the window's background; a null picture leaves the style's colour.
void setbackground(QWidget* window, const QPixmap& picture);

}  // namespace tessarin::forms
