// A picture of the board or the rack, 44x44 as designed: no picture, the blank tile or a letter. It
// reports a mouse button released over it; whether that means anything is the board's call.
#pragma once

#include <QWidget>

namespace tessarin::board {

class TileCell : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kNone = -1;

    // `accessiblePrefix` names the cell for screen readers ("Rack tile 3"); the letter shown
    // is appended to it.
    TileCell(const QString& accessiblePrefix, QWidget* parent);

    // kNone for no picture, 0 for the blank tile, 1..26 for A..Z.
    int code() const { return code_; }
    void setCode(int code);

    // The cell id "row digit, column digit" that a board click sends; empty for rack tiles.
    QString cellid() const { return cellid_; }
    void setCellid(const QString& id) { cellid_ = id; }

  signals:
    void released(Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QString prefix_;
    QString cellid_;
    int code_ = kNone;
};

}  // namespace tessarin::board
