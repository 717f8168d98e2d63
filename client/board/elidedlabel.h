// A one-line plain-text label that ends in "..." when its text is wider than the label. The
// text itself stays whole (callers compare names with it); hovering shows it in full.
#pragma once

#include <QLabel>

namespace tessarin::board {

class ElidedLabel : public QLabel {
    Q_OBJECT

  public:
    ElidedLabel(const QString& text, QWidget* parent);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessarin::board
