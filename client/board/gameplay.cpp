// The handlers of the game messages: the board shows what the server says.
#include <QLabel>
#include <QListWidget>
#include <QtMath>

#include "boardgrid.h"
#include "boardlayout.h"
#include "boardtext.h"
#include "helppanel.h"
#include "picturebutton.h"
#include "pictureview.h"
#include "tboard.h"
#include "tilecell.h"

namespace tessarin::board {

namespace {

QString turnsound(const BoardHost& host) {
    return host.turnsoundnew() ? QStringLiteral("turnnew") : QStringLiteral("turn");
}

// Renames only on a change: each new name is an event a screen reader may speak.
void setname(QWidget* widget, const QString& name) {
    if (widget->accessibleName() != name) widget->setAccessibleName(name);
}

}  // namespace

void TBoard::setcell(int row, int column, int code) {
    parts_.word[row][column]->setCode(code);
}

void TBoard::setstatus(const QString& text) {
    parts_.label_status->setText(text);
    // Readable from the board itself, where the keys are.
    setname(parts_.grid, QStringLiteral("Board: ") + text);
}

void TBoard::announce(const QString& text) {
    parts_.grid->announce(text);
}

QString TBoard::scores() const {
    QStringList seats;
    for (int seat = 1; seat <= kSeats; ++seat)
        if (seatname(seat) != kWaiting)
            seats << seatname(seat) + QLatin1Char(' ') + parts_.label_score[seat]->text();
    return seats.join(QStringLiteral(", "));
}

void TBoard::describe() {
    for (int row = 1; row <= kRows; ++row) {
        for (int column = 1; column <= kColumns; ++column) {
            TileCell* cell = parts_.word[row][column];
            cell->setNote(cell->isHidden()    ? QStringLiteral("not open yet")
                          : cell->code() == 0 ? QStringLiteral("open to play")
                                              : QString());
        }
    }
    for (int slot = 1; slot <= kSlots; ++slot)
        parts_.tile[slot]->setNote(slot == selectedtile_ ? QStringLiteral("picked up") : QString());
    for (int seat = 1; seat <= kSeats; ++seat) {
        const bool empty = seatname(seat) == kWaiting;
        const QString name = empty ? QStringLiteral("seat %1").arg(seat) : seatname(seat);
        const bool moving = seat == whoseturn_ && !parts_.image_Turn->isHidden();
        setname(parts_.label_playername[seat],
                QStringLiteral("Seat %1: %2%3")
                    .arg(seat)
                    .arg(empty ? QStringLiteral("waiting for a player") : name,
                         moving ? QStringLiteral(", to move") : QString()));
        const QString bonus = parts_.label_bonus[seat]->text().mid(1);
        setname(parts_.label_score[seat],
                QStringLiteral("Score of %1: %2").arg(name, parts_.label_score[seat]->text()) +
                    (bonus.isEmpty() ? QString() : QStringLiteral(", last move ") + bonus));
        setname(parts_.label_bonus[seat],
                bonus.isEmpty() ? QString()
                                : QStringLiteral("Last move of %1: %2 points").arg(name, bonus));
    }
    setname(parts_.image_Turn, isplayingseat(whoseturn_)
                                   ? QStringLiteral("Turn: ") + seatname(whoseturn_)
                                   : QStringLiteral("Turn marker"));
}

void TBoard::clearwords() {
    parts_.listbox_words->clear();
    parts_.label_wordsummary->clear();
}

void TBoard::fitscore(int seat) {
    // As wide as the text at the present scale, on the line of the player's name.
    const auto fit = [this](QLabel* label, int left) {
        const int width = qCeil(label->sizeHint().width() / scale());
        place(label, QRect(left, designed(label).y(), width, layout::kScoreHeight));
    };
    QLabel* score = parts_.label_score[seat];
    fit(score, designed(score).x());
    fit(parts_.label_bonus[seat], designed(score).right() + 1 + 3);
}

void TBoard::clearall() {
    for (int seat = 1; seat <= kSeats; ++seat) {
        parts_.label_score[seat]->setText(QStringLiteral("0"));
        parts_.label_bonus[seat]->clear();
        fitscore(seat);
    }
    for (int row = 1; row <= kRows; ++row)
        for (int column = 1; column <= kColumns; ++column) setcell(row, column, TileCell::kNone);
    describe();
}

void TBoard::showturn() {
    QLabel* name = parts_.label_playername[whoseturn_];
    const QRect at = designed(name);
    place(parts_.image_Turn,
          QRect(QPoint(at.x() - layout::kTurnMarkerLeft, at.y() - layout::kTurnMarkerUp),
                parts_.image_Turn->sizeHint()));
    parts_.image_Turn->show();
    // A seat nobody sits in is played by the computer under its own name.
    if (name->text() == kWaiting) name->setText(name->property("hint").toString());
    const bool mine = whoseturn_ == host_.myseat();
    // The cursor starts on the cell this turn fills, in the word it was last in.
    if (mine)
        parts_.grid->setcursor(parts_.grid->cursorrow(), BoardGrid::columnofplace(currentcolumn_));
    setstatus(turnstatus(mine, name->text()));
    announce(turnstatus(mine, name->text()));
    if (mine) {
        host_.playsounds(turnsound(host_));
        host_.turnstarted();
    }
    update();
}

void TBoard::startthegame(std::string_view payload) {
    const StartGame start = readstartgame(payload);
    const QString starter = fromwire(start.name);
    clearwords();
    parts_.button_start->hide();
    host_.uncheckjustwatch();
    parts_.panel_winner->hide();
    clearall();
    totalrounds_ = start.rounds;
    const int me = host_.myseat();
    const bool someoneelse = !isplayingseat(me) || seatname(me) != starter;
    const QString started =
        someoneelse ? starter + " has started a game." : QStringLiteral("You have started a game.");
    host_.addlinetochat(QStringLiteral("0+") + started, kSystemColour);
    if (seatname(2) == kWaiting) parts_.label_playername[2]->setText(seathint(2));
    announce(started);
    describe();
}

void TBoard::roundstart(std::string_view payload) {
    const int round = readroundstart(payload);
    parts_.panel_pleasewait->hide();
    clearwords();
    parts_.label_roundnum->setText(roundcaption(round, totalrounds_));
    for (int row = 1; row <= kRows; ++row) {
        for (int column = 1; column <= kColumns; ++column) {
            TileCell* cell = parts_.word[row][column];
            setcell(row, column, TileCell::kNone);
            cell->setCellid(QStringLiteral("%1%2").arg(row).arg(column));
            cell->hide();
        }
        setcell(row, 1, 0);
        parts_.word[row][1]->show();
    }
    lowerrack();
    selectedtile_ = 0;
    announce(QStringLiteral("Round %1 of %2 starts.").arg(round).arg(totalrounds_));
    describe();
}

void TBoard::mytiles(std::string_view payload) {
    const MyTiles tiles = readmytiles(payload);
    if (tiles.seat != host_.myseat()) return;
    for (const auto& [slot, letter] : tiles.tiles) {
        parts_.tile[slot]->setCode(letter);
        raisetile(slot, false);
    }
    describe();
}

void TBoard::getnextplayer(std::string_view payload) {
    const std::optional<NextPlayer> next = readnextplayer(payload);
    if (!next) return;
    for (int seat = 1; seat <= kSeats; ++seat) parts_.label_bonus[seat]->clear();
    parts_.shape_highlite->hide();
    clearwords();
    lowerrack();
    selectedtile_ = 0;
    whoseturn_ = next->seat;
    currentcolumn_ = next->column;
    if (next->newcolumn != 0) {
        for (int row = 1; row <= kRows; ++row) {
            setcell(row, next->newcolumn, 0);
            parts_.word[row][next->newcolumn]->show();
        }
    }
    showturn();
    describe();
}

void TBoard::placeletter(std::string_view payload) {
    const std::optional<PlaceLetter> placed = readplaceletter(payload);
    if (!placed) return;
    const QRect cell = designed(parts_.word[placed->row][placed->column]);
    setcell(placed->row, placed->column, placed->letter);
    place(parts_.shape_highlite,
          QRect(cell.x() - layout::kHighlightOffset, cell.y() - layout::kHighlightOffset,
                layout::kHighlightWidth, layout::kHighlightHeight));
    parts_.shape_highlite->show();
    const QString status =
        placedstatus(placed->seat == host_.myseat(), seatname(placed->seat), placed->row);
    setstatus(status);
    // No score message came before this placement: it formed no word.
    if (parts_.listbox_words->count() == 0) {
        parts_.listbox_words->addItem(QStringLiteral("No Words"));
        host_.playsounds(QStringLiteral("badword"));
        wordsfound_ = QStringLiteral("No Words.");
    }
    // One announcement for the whole placement: the letter, then what it scored.
    announce(status + QStringLiteral(" Letter ") + lettername(placed->letter) +
             QStringLiteral(". ") + wordsfound_);
    wordsfound_.clear();
    describe();
}

void TBoard::ascore(std::string_view payload) {
    const std::optional<AScore> score = readascore(payload);
    if (!score) return;
    clearwords();
    whoseturn_ = 0;
    for (const std::string& word : score->words)
        parts_.listbox_words->addItem(fromwire(word).toUpper());
    parts_.label_wordsummary->setText(
        wordsummary(static_cast<int>(score->words.size()), score->points));
    parts_.label_score[score->seat]->setText(QString::number(score->total));
    parts_.label_bonus[score->seat]->setText(QStringLiteral("+%1").arg(score->points));
    fitscore(score->seat);
    host_.playsounds(QStringLiteral("goodword"));
    QStringList words;
    for (int i = 0; i < parts_.listbox_words->count(); ++i)
        words << parts_.listbox_words->item(i)->text();
    wordsfound_ = words.join(QStringLiteral(", ")) + QStringLiteral(": ") +
                  parts_.label_wordsummary->text() + QStringLiteral(". Score of ") +
                  seatname(score->seat) + QStringLiteral(": ") + QString::number(score->total) +
                  QLatin1Char('.');
    describe();
    update();
}

void TBoard::errornum(std::string_view payload) {
    const ErrorNum error = readerrornum(payload);
    if (error.seat != host_.myseat()) return;
    if (error.code == 1) setstatus(QStringLiteral("Invalid Placement") + refusal());
    whoseturn_ = host_.myseat();
    host_.playsounds(QStringLiteral("invalid"));
    announce(QStringLiteral("Invalid Placement") + refusal());
    describe();
    update();
}

void TBoard::roundover() {
    setstatus(QStringLiteral("The Round is Over.."));
    parts_.shape_highlite->hide();
    parts_.image_Turn->hide();
    host_.playsounds(QStringLiteral("roundover"));
    announce(QStringLiteral("The Round is Over. Scores: ") + scores() + QLatin1Char('.'));
    describe();
}

void TBoard::winner(std::string_view payload) {
    const QString name = fromwire(readname(payload));
    const int me = host_.myseat();
    host_.playsounds(QStringLiteral("winner"));
    // A spectator has no name label of its own and so never wins.
    const bool someoneelse = !isplayingseat(me) || seatname(me) != name;
    parts_.label_winner1->setText(someoneelse ? name : QStringLiteral("YOU!"));
    host_.addlinetochat(
        QStringLiteral("0+") +
            (someoneelse ? name + " has Won the Game!" : QStringLiteral("You have Won the Game!")),
        kSystemColour);
    setstatus(QStringLiteral("Game Over!"));
    parts_.label_winnerscores->setText(scores());
    QWidget* panel = parts_.panel_winner;
    panel->setAccessibleName(QStringLiteral("THE WINNER! ") + parts_.label_winner1->text());
    panel->setAccessibleDescription(QStringLiteral("Scores: ") + scores());
    panel->show();
    panel->raise();
    // Taking the keyboard makes a screen reader read the panel; Escape gives it back.
    if (window()->isActiveWindow()) panel->setFocus(Qt::OtherFocusReason);
    announce(
        QStringLiteral("Game Over! ") +
        (someoneelse ? name + " has Won the Game!" : QStringLiteral("You have Won the Game!")) +
        QStringLiteral(" Scores: ") + scores() + QLatin1Char('.'));
    describe();
    if (host_.ishost()) parts_.button_start->show();
    if (isplayingseat(me)) host_.addgame(someoneelse ? name : QStringLiteral("addtomine"));
}

void TBoard::gamestats(std::string_view payload) {
    const std::optional<proto::msg::GameStats> stats = readgamestats(payload);
    if (!stats || stats->seat != host_.myseat()) return;
    parts_.button_start->hide();  // a game is running
    whoseturn_ = stats->whoseturn;
    totalrounds_ = stats->rounds;
    currentcolumn_ = stats->column;
    // The columns played so far are shown, whatever this board showed before.
    for (int row = 1; row <= kRows; ++row) {
        for (int column = 1; column <= kColumns; ++column) {
            setcell(row, column, TileCell::kNone);
            parts_.word[row][column]->setCellid(QStringLiteral("%1%2").arg(row).arg(column));
            parts_.word[row][column]->setVisible(column <= currentcolumn_);
        }
    }
    for (int seat = 1; seat <= kSeats; ++seat) {
        parts_.label_score[seat]->setText(QString::number(stats->scores[seat - 1]));
        fitscore(seat);
    }
    if (currentcolumn_ != 0)
        for (int row = 1; row <= kRows; ++row) setcell(row, currentcolumn_, 0);
    for (const auto& cell : stats->cells)
        if (cell.letter != 0) setcell(cell.row, cell.column, cell.letter);
    parts_.label_roundnum->setText(roundcaption(stats->round, totalrounds_));
    if (whoseturn_ != 0) showturn();
    if (!stats->inround) {
        for (int slot = 1; slot <= kSlots; ++slot) parts_.tile[slot]->setCode(TileCell::kNone);
        if (host_.myseat() == 3) {
            parts_.panel_pleasewait->show();
            parts_.panel_pleasewait->raise();
            // The instructions a late joiner is reading stay whole, their Done button with them.
            if (parts_.panel_help->isVisible()) parts_.panel_help->raise();
        }
    }
    describe();
}

}  // namespace tessarin::board
