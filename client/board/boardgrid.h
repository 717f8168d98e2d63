// The board's 36 cells as one keyboard stop and, for screen readers, one table of 6 rows by 6
// columns: rows are the words top to bottom, columns the places of a word from the left, as
// it reads (place 1 is the designed column 6, place 6 column 1, which is filled first).
//
// The grid draws nothing and lets the mouse through; the cells stay the board's own widgets
// (the board places and scales them) and the grid only reads them. It holds the board's
// keyboard focus and a cursor cell: to a screen reader the cursor is the focused cell, and
// announcements arrive as that cell's description (boardaccessible.h). UI thread only.
#pragma once

#include <QWidget>
#include <array>

#include "boardmessages.h"

namespace tessarin::board {

class TileCell;

class BoardGrid : public QWidget {
    Q_OBJECT

  public:
    using Cells = std::array<std::array<TileCell*, kColumns + 1>, kRows + 1>;  // [row][column]

    // `cells` belongs to the board, which is `parent`, and must be filled before use.
    BoardGrid(const Cells& cells, QWidget* parent);

    static int columnofplace(int place) { return kColumns + 1 - place; }
    // Row 1..6, place 1..6 from the left; nullptr outside.
    TileCell* cellat(int row, int place) const;
    // True for the 36 cells of the board (not the rack's tiles).
    bool holds(const QObject* object) const;
    // Row and place of one of the cells; {0, 0} for anything else.
    QPoint where(const QObject* cell) const;

    int cursorrow() const { return row_; }
    int cursorplace() const { return place_; }
    TileCell* cursorcell() const { return cellat(row_, place_); }
    // Moves the cursor (brought into 1..6); a focused grid tells screen readers.
    void setcursor(int row, int place);
    // Says `text` as the description of the cursor cell; the previous cell's is cleared
    // when the cursor moves on. Each call raises its own event, even for the same text.
    void announce(const QString& text);

  signals:
    void focuschanged();

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void tellfocus() const;

    const Cells& cells_;
    int row_ = 1;
    int place_ = kColumns;
};

}  // namespace tessarin::board
