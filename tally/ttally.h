// The tally figures: games played and won, in total and for this run, kept per followed
// ("tallied") opponent. The window Ttallylist shows them; this class knows no widgets.
//
// The grid has 9 columns. Row 0 is the user's own row: column 1 games finished in a playing
// seat, column 2 games won, columns 0 and 3..8 carried unchanged. Rows 1..n are the tallied
// players in the order of the tallied list (list item i is row i + 1):
//   0 name | 1 games together | 2 he won | 3 user won | 4 neither won   (all runs)
//                            | 5..8 the same four for this run only
// Figures are decimal text; a cell that is not a number counts as 0 when incremented.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "zorvstrgrid.h"

namespace tessarin {

inline constexpr int kTallyColumns = 9;
// Followed players: as many as a file may hold (kMaxGridRows less the own row).
inline constexpr int kMaxTallied = kMaxGridRows - 1;
// Longer names are cut; a tally of kMaxTallied such names stays far below the file's limit.
inline constexpr int kMaxNameLength = 64;
// The text addgame receives when the user won.
inline constexpr QStringView kAddToMine = u"addtomine";

class TTally {
  public:
    // `name` as the grid can hold it and read back unchanged: without control characters
    // (a line break would shift every later cell), characters beyond Latin-1 as '?', at
    // most kMaxNameLength characters. Every name enters the tally through this.
    static QString cleanName(const QString& name);

    // Own row all "0", nobody tallied.
    TTally();

    const TStringGrid& grid() const { return grid_; }
    const QString& cell(int col, int row) const { return grid_.cell(col, row); }
    int rowcount() const { return grid_.rowcount(); }
    // The tallied names, in row order (row = index + 1).
    QStringList tallied() const;
    // Index of cleanName(`name`) among the tallied names, letter case ignored; -1 when absent.
    int findTallied(const QString& name) const;

    // Adds 1 to a cell; returns the new value.
    int addit(int col, int row);
    // Adds 1 to the own row's cell of `col`.
    void addtomineincrease(int col) { addit(col, 0); }

    // One finished game. `text` is kAddToMine when the user won, else the winner's name
    // (matched exactly, letter case included). `opponents` are the other seated players;
    // those that are tallied are counted.
    void addgame(const QString& text, const QStringList& opponents);

    // Starts following cleanName(`name`): a new last row of zeros. False (and nothing
    // changes) when the name is tallied already, is empty once cleaned, or kMaxTallied
    // players are followed.
    bool follow(const QString& name);
    // Removes tallied row `row` (1..rowcount-1), moving the rows below it up.
    void moverow(int row);
    // Own figures to "0" and nobody tallied. With tallied players the own row is left empty
    // instead, as older copies did; empty cells count as 0.
    void reset();

    // The file text (see zorvstrgrid.h).
    QByteArray save() const;
    // Replaces the figures by those in `text`, with this run's columns at "0" and the names
    // cleaned. Throws EGridFormat (and changes nothing) when the text is not a 9-column grid
    // within the reader's limits (zorvstrgrid.h).
    void load(QByteArrayView text);

  private:
    TStringGrid grid_;
};

}  // namespace tessarin
