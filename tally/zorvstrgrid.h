// A grid of text cells and its CR LF text form, the tally's storage.
//
// Text form (single-byte text, every line ended by CR LF):
//   the column count, the row count, then every cell, column by column: all rows of
//   column 0 (row 0 first), then column 1, and so on. An empty cell is an empty line.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace tessarin {

inline constexpr int kMaxGridColumns = 16;
inline constexpr int kMaxGridRows = 10001;
// In bytes (one per character); a cell is a name of at most 64 characters or a figure.
inline constexpr int kMaxCellLength = 255;

// Thrown by LoadStringGrid; what() is the text shown to the user.
class EGridFormat : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TStringGrid {
  public:
    // At least one column and one row.
    TStringGrid(int colcount = 1, int rowcount = 1);

    int colcount() const { return colcount_; }
    int rowcount() const { return rowcount_; }
    // Keeps the cells that still fit; new cells are empty.
    void setRowCount(int rowcount);

    // col 0..colcount-1, row 0..rowcount-1.
    const QString& cell(int col, int row) const { return cells_[index(col, row)]; }
    void setCell(int col, int row, const QString& text) { cells_[index(col, row)] = text; }

  private:
    qsizetype index(int col, int row) const;

    int colcount_;
    int rowcount_;
    QStringList cells_;  // row by row
};

// The grid's text form. Cells are stored as Latin-1, one byte per character, as the game's
// single-byte names arrive; other characters become '?'.
QByteArray SaveStringGrid(const TStringGrid& grid);

// Replaces `grid` by the one in `text`; on failure `grid` is unchanged. Lines may also end
// in LF alone. Cells missing at the end of the text are empty, as a text cut short by a
// failed write left them. Throws EGridFormat when a count is not a number or out of range
// (columns 1..kMaxGridColumns, rows 1..kMaxGridRows) or a cell is longer than
// kMaxCellLength; the text quotes at most a short, printable excerpt of the bad line.
void LoadStringGrid(TStringGrid& grid, QByteArrayView text);

}  // namespace tessarin
