// The player's own turn: picking up a rack tile, pointing at a row, and the same with keys.
#include <QKeyEvent>

#include "boardgrid.h"
#include "boardlayout.h"
#include "boardtext.h"
#include "protocol.h"
#include "tboard.h"
#include "tgamestart.h"
#include "tilecell.h"

namespace tessarin::board {

void TBoard::raisetile(int slot, bool raised) {
    place(parts_.tile[slot],
          QRect(layout::kTileLeft[slot], raised ? layout::kRaisedTop : layout::kRestTop,
                layout::kCellSize, layout::kCellSize));
    update();
}

void TBoard::lowerrack() {
    for (int slot = 1; slot <= kSlots; ++slot) raisetile(slot, false);
}

void TBoard::tile_1MouseUp(int slot) {
    if (slot < 1 || slot > kSlots || !myturn()) return;
    const QString letter = lettername(parts_.tile[slot]->code());
    if (slot == selectedtile_) {
        raisetile(slot, false);
        selectedtile_ = 0;
        setstatus(QStringLiteral("Choose a Letter"));
        announce(QStringLiteral("Put back ") + letter + QStringLiteral(". Choose a Letter"));
        host_.playsounds(QStringLiteral("clear"));
        describe();
        return;
    }
    if (selectedtile_ != 0) raisetile(selectedtile_, false);
    selectedtile_ = slot;
    raisetile(slot, true);
    setstatus(QStringLiteral("Choose spot to place the letter."));
    announce(QStringLiteral("Picked up ") + letter +
             QStringLiteral(". Choose spot to place the letter."));
    host_.playsounds(QStringLiteral("clickletter"));
    describe();
}

void TBoard::word_11Click(int row, int column) {
    if (row < 1 || row > kRows || column < 1 || column > kColumns) return;
    const TileCell* cell = parts_.word[row][column];
    if (!myturn() || selectedtile_ == 0 || cell->isHidden()) return;
    // The server reads only the row digit and places into its own current column.
    if (host_.isconnected())
        host_.send(
            proto::request::placeit(host_.myseat(), selectedtile_, cell->cellid().toStdString()));
    raisetile(selectedtile_, false);
    selectedtile_ = 0;
    placedrow_ = row;
    whoseturn_ = 0;  // no further clicks until the server answers
    setstatus(QStringLiteral("Checking..."));
    describe();
}

QString TBoard::refusal() const {
    // The server places into its current column, which must be empty and, from column 2
    // on, follow a letter in the column before it: on screen, the cell to its right.
    const int row = placedrow_;
    const int column = currentcolumn_;
    if (row < 1 || row > kRows || column < 1 || column > kColumns) return {};
    if (parts_.word[row][column]->code() > 0) return QStringLiteral(": that cell is taken.");
    if (column > 1 && parts_.word[row][column - 1]->code() <= 0)
        return QStringLiteral(": the cell to its right is empty.");
    return {};
}

void TBoard::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    BoardGrid* grid = parts_.grid;
    // The winner panel hands the keys back to the cells.
    if (parts_.panel_winner->hasFocus() &&
        (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        grid->setFocus(Qt::OtherFocusReason);
        return;
    }
    keyboardplay_ = true;
    const int row = grid->cursorrow();
    const int place = grid->cursorplace();
    if (key >= Qt::Key_1 && key <= Qt::Key_6) {
        tile_1MouseUp(key - Qt::Key_0);
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        grid->setcursor(row + (key == Qt::Key_Up ? -1 : 1), place);
    } else if (key == Qt::Key_Left || key == Qt::Key_Right) {
        grid->setcursor(row, place + (key == Qt::Key_Left ? -1 : 1));
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        // The same message as a click: prefer the row's cell in the current column.
        int column = currentcolumn_;
        if (column < 1 || column > kColumns || parts_.word[row][column]->isHidden()) {
            column = 1;
            while (column < kColumns && parts_.word[row][column]->isHidden()) ++column;
        }
        word_11Click(row, column);
    } else {
        keyboardplay_ = false;
        QWidget::keyPressEvent(event);
        return;
    }
    update();
}

void TBoard::button_startClick() {
    if (!host_.isconnected()) {
        host_.showmessage(QStringLiteral("You are not connected"));
        return;
    }
    if (gamestart_ == nullptr) return;
    gamestart_->show();
    gamestart_->raise();
    gamestart_->activateWindow();
}

}  // namespace tessarin::board
