// The board panel at any size: how large it is drawn in a given client area, and the
// designed geometry and fonts of its parts, laid out again whenever the scale changes.
// At scale 1 every part stands exactly where the designed layout (boardlayout.h) puts it.
#pragma once

#include <QFont>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace tessarin::board {

struct BoardFit {
    qreal scale = 1.0;
    QSize panel;  // the whole panel, the chat area included
};

// The panel for a client area (2-pixel margins included) of `client`, given the client
// area at the window's default size, `defaultClient`. The panel grows with the smaller of
// the two proportions, never below its designed size; width and height beyond the
// proportional size go to the chat area on the right and below it.
BoardFit fitboard(QSize client, QSize defaultClient);

// `designed` at `scale`, with edges rounded so that parts that touch keep touching.
QRect scaled(const QRect& designed, qreal scale);

// The parts placed by hand on the panel: each keeps its designed rectangle and font.
class ScaledParts {
  public:
    // Records the widget's present geometry and font as designed.
    void add(QWidget* part);
    // Gives the part a new designed rectangle and places it at the present scale.
    void place(QWidget* part, const QRect& designed);
    // The designed rectangle of a recorded part; its present geometry otherwise.
    QRect designed(const QWidget* part) const;
    // Places every part and sizes its font for `scale`.
    void setscale(qreal scale);
    qreal scale() const { return scale_; }

  private:
    struct Part {
        QPointer<QWidget> widget;
        QRect rect;
        QFont font;
    };
    void apply(const Part& part) const;

    QHash<const QWidget*, Part> parts_;
    qreal scale_ = 1.0;
};

}  // namespace tessarin::board
