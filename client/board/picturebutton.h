// A button that is its picture: drawn as given, lighter under the mouse, shifted a pixel
// while pressed, with a focus ring for keyboard users.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace tessarin::board {

class PictureButton : public QAbstractButton {
    Q_OBJECT

  public:
    PictureButton(const QPixmap& picture, const QString& accessibleName, QWidget* parent);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
    QPixmap hover_;
};

}  // namespace tessarin::board
