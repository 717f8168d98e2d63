// A picture of the board or the rack, 44x44 as designed: no picture, the blank tile or a letter. It
// reports a mouse button released over it; whether that means anything is the board's call.
#pragma once

#include <QWidget>

namespace tessarin::board {

class TileCell : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kNone = -1;

    // `objectName` is the component's name ("word_35", "tile_3"), given before anything can
    // ask how to present it to screen readers. `accessiblePrefix` names the cell for them
    // ("Rack tile 3"); the letter shown and the note, if any, are appended to it:
    // "Rack tile 3: T, picked up".
    TileCell(const QString& objectName, const QString& accessiblePrefix, QWidget* parent);

    // kNone for no picture, 0 for the blank tile, 1..26 for A..Z.
    int code() const { return code_; }
    void setCode(int code);

    // The cell id "row digit, column digit" that a board click sends; empty for rack tiles.
    QString cellid() const { return cellid_; }
    void setCellid(const QString& id) { cellid_ = id; }

    // What a screen reader hears after the letter ("open to play", "picked up"); empty for none.
    void setNote(const QString& note);

  signals:
    void released(Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void rename();

    // A board cell (not a rack tile): its empty slot is drawn dark, to stand out from the
    // pale slots of the columns still to come.
    bool boardcell_;
    QString prefix_;
    QString note_;
    QString cellid_;
    int code_ = kNone;
};

}  // namespace tessarin::board
