// Hands server messages to a board the way the main window's dispatcher does, and takes a
// picture of everything the board shows so tests can tell whether a message changed it.
#pragma once

#include <QLabel>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <string>

#include "picturebutton.h"
#include "protocol.h"
#include "tboard.h"
#include "tilecell.h"

namespace tessarin::board::testing {

// One composed message (0xFF optional) to the handler its command word names.
inline void deliver(TBoard& board, std::string message) {
    if (!message.empty() && message.back() == proto::kTerminator) message.pop_back();
    const auto split = proto::split(message);
    if (!split) return;
    const auto [command, payload] = *split;
    if (command == proto::kStartGame)
        board.startthegame(payload);
    else if (command == proto::kRoundStart)
        board.roundstart(payload);
    else if (command == proto::kMyTiles)
        board.mytiles(payload);
    else if (command == proto::kNextPlayer)
        board.getnextplayer(payload);
    else if (command == proto::kPlaceLetter)
        board.placeletter(payload);
    else if (command == proto::kAScore)
        board.ascore(payload);
    else if (command == proto::kErrorNum)
        board.errornum(payload);
    else if (command == proto::kRoundOver)
        board.roundover();
    else if (command == proto::kWinner)
        board.winner(payload);
    else if (command == proto::kGameStats)
        board.gamestats(payload);
}

inline QStringList wordlist(const TBoard& board) {
    QStringList lines;
    const QListWidget* list = board.parts().listbox_words;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

inline QString status(const TBoard& board) {
    return board.parts().label_status->text();
}

// Everything visible on the board, as one comparable text.
inline QString snapshot(const TBoard& board) {
    const BoardParts& p = board.parts();
    QStringList out;
    for (int row = 1; row <= kRows; ++row)
        for (int column = 1; column <= kColumns; ++column) {
            const TileCell* cell = p.word[row][column];
            out << QStringLiteral("%1:%2:%3")
                       .arg(cell->code())
                       .arg(cell->isHidden())
                       .arg(cell->cellid());
        }
    for (int slot = 1; slot <= kSlots; ++slot)
        out << QStringLiteral("%1@%2").arg(p.tile[slot]->code()).arg(p.tile[slot]->y());
    for (int seat = 1; seat <= kSeats; ++seat)
        out << p.label_playername[seat]->text() << p.label_score[seat]->text()
            << p.label_bonus[seat]->text() << QString::number(p.image_eyes[seat]->isHidden());
    out << p.label_status->text() << p.label_roundnum->text() << wordlist(board)
        << p.label_wordsummary->text();
    out << QStringLiteral("turn %1 sel %2 col %3 rounds %4")
               .arg(board.whoseturn())
               .arg(board.selectedtile())
               .arg(board.currentcolumn())
               .arg(board.totalrounds());
    out << QStringLiteral("marker %1 %2,%3 highlite %4 %5,%6")
               .arg(p.image_Turn->isHidden())
               .arg(p.image_Turn->x())
               .arg(p.image_Turn->y())
               .arg(p.shape_highlite->isHidden())
               .arg(p.shape_highlite->x())
               .arg(p.shape_highlite->y());
    out << QStringLiteral("winner %1 %2 wait %3 start %4")
               .arg(p.panel_winner->isHidden())
               .arg(p.label_winner1->text())
               .arg(p.panel_pleasewait->isHidden())
               .arg(p.button_start->isHidden());
    return out.join(QLatin1Char('|'));
}

}  // namespace tessarin::board::testing
