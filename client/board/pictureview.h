// Pictures that grow with the board: a widget shows its picture filling its whole size,
// drawn afresh at the widget's size and the screen's device pixel ratio, never stretched.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

namespace tessarin::board {

// Draws a picture with `ratio` device pixels per designed pixel; the pixmap carries the
// ratio as its device pixel ratio, so its device-independent size is the designed size
// (the pictures:: functions that take a ratio are such sources).
using Picture = std::function<QPixmap(qreal ratio)>;

// `picture` drawn to fill `widget` (whose size is the designed size times the board's
// scale) pixel for pixel on the widget's screen.
QPixmap pictureFor(const QWidget& widget, const Picture& picture, QSize designed);

// A picture and nothing else, such as the turn marker or the watcher's eyes. Its designed
// size is the picture's at ratio 1; the board sets its size.
class PictureView : public QWidget {
    Q_OBJECT

  public:
    PictureView(Picture picture, QWidget* parent);
    QSize sizeHint() const override { return designed_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Picture picture_;
    QSize designed_;
};

}  // namespace tessarin::board
