// A button that is its picture: drawn as given, lighter under the mouse, shifted a pixel
// while pressed, with a focus ring for keyboard users, pressed by Space or Enter. The picture is
// drawn afresh at the button's size, so the button may be laid out larger than the picture's
// designed size.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

#include "pictureview.h"

namespace tessarin::board {

class PictureButton : public QAbstractButton {
    Q_OBJECT

  public:
    PictureButton(Picture picture, const QString& accessibleName, QWidget* parent);
    // The picture's designed size.
    QSize sizeHint() const override { return designed_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    Picture picture_;
    QSize designed_;
};

}  // namespace tessarin::board
