// The board panel `panel_board` (749x411 as designed) and the client's copy of the game: the 6x6
// board, the rack, the three seats with their scores, the round counter, the status line, the word
// list, the winner and "please wait" panels, the start button and the quick instructions.
//
// It keeps no rules: it shows what the server last said and lets the player whose turn it
// is pick a rack tile and point at a row. The main window embeds it, hands it the payload
// of each game message, and answers its needs through BoardHost.
//
// Message handlers take the payload after the command word and its first '+'. Each reads
// the whole payload before it changes anything:
// - a field that must be a number and is not, or is missing, throws proto::ConversionError
//   out of the handler with the board unchanged; the dispatcher logs the message and drops
//   it, as it does for every other message;
// - a seat, row, column, slot or letter code out of range is ignored (boardmessages.h says
//   which ranges); nothing out of range ever indexes a component.
//
// Keyboard (the board takes focus when clicked or tabbed to, and from the main window when
// the player's turn starts or Escape leaves the chat): 1..6 pick up or put back a rack tile,
// the arrows move a cursor over the cells (its word is framed while a key-picked tile is up),
// Enter or Space places the tile in the cursor's word, sending exactly what a click on that
// row would.
//
// Screen readers (boardaccessible.h): every label's accessible name is what it shows, with
// the seat's player where a bare number would not say whose it is; the cells form a table
// read left to right; what changes in the game (turns, placements with their words and
// points, refusals with their reason, rounds, the winner) is announced through the grid.
//
// Size: the panel is laid out as designed until fit() grows it; then every part keeps its
// proportions and its pictures are drawn afresh at the new size (boardscale.h).
//
// UI thread only.
#pragma once

#include <QWidget>
#include <array>
#include <string_view>

#include "boardhost.h"
#include "boardmessages.h"
#include "boardscale.h"

class QLabel;
class QListWidget;

namespace tessarin::board {

class BoardGrid;
class HelpPanel;
class PictureButton;
class PictureView;
class Tgamestart;
class TileCell;

// The board's components, addressed by seat, row, column or slot from 1 (index 0 unused).
struct BoardParts {
    std::array<std::array<TileCell*, kColumns + 1>, kRows + 1> word{};  // [row][column]
    BoardGrid* grid = nullptr;  // the cells as one keyboard stop and one table
    std::array<TileCell*, kSlots + 1> tile{};
    std::array<QLabel*, kRows + 1> rownumber{};
    std::array<QLabel*, kSeats + 1> label_playername{};
    std::array<QLabel*, kSeats + 1> label_score{};
    std::array<QLabel*, kSeats + 1> label_bonus{};
    std::array<PictureView*, kSeats + 1> image_eyes{};
    QLabel* label_status = nullptr;
    QLabel* label_roundnum = nullptr;
    QListWidget* listbox_words = nullptr;
    QLabel* label_wordsummary = nullptr;  // "2 words / 6 points" under the word list
    PictureView* image_Turn = nullptr;
    QWidget* shape_highlite = nullptr;
    QWidget* panel_winner = nullptr;
    QLabel* label_winner1 = nullptr;
    QLabel* label_winnerscores = nullptr;  // "Ann 30 · Klot 25" under the winner
    QWidget* panel_pleasewait = nullptr;
    PictureButton* button_start = nullptr;
    PictureButton* logo = nullptr;  // opens the maker's web page
    HelpPanel* panel_help = nullptr;
    QLabel* label_keys = nullptr;  // the keyboard hint under the rack
};

class TBoard : public QWidget {
    Q_OBJECT

  public:
    // `host` must outlive the board.
    explicit TBoard(BoardHost& host, QWidget* parent = nullptr);

    // Game messages.
    void startthegame(std::string_view payload);
    void roundstart(std::string_view payload);
    void mytiles(std::string_view payload);
    void getnextplayer(std::string_view payload);
    void placeletter(std::string_view payload);
    void ascore(std::string_view payload);
    void errornum(std::string_view payload);
    void roundover();
    void winner(std::string_view payload);
    void gamestats(std::string_view payload);
    // Scores "0", bonuses empty, every cell without a picture.
    void clearall();

    // The player's actions; each does nothing outside the player's turn.
    void tile_1MouseUp(int slot);            // rack slot 1..6
    void word_11Click(int row, int column);  // any cell; only shown cells count
    // Opens the game start window when connected, else says "You are not connected".
    void button_startClick();
    // The game start window created at start-up; not owned.
    void setgamestartwindow(Tgamestart* window) { gamestart_ = window; }

    // Seats 1..3 as the connection side sees them; other seat numbers are ignored.
    // The caption becomes the name; name and score labels are made visible.
    void setseatname(int seat, const QString& name);
    QString seatname(int seat) const;  // the name label's caption ("<Waiting>" when empty)
    QString seathint(int seat) const;  // the computer player's name: "Klack", "Klot", "Klick"
    void showeyes(int seat, bool shown);
    // The seat is free again: "<Waiting>", eyes hidden.
    void resetseat(int seat);

    // The quick instructions, in front of the board until "Done".
    void showhelp();

    // Lays the panel out `scale` times its designed size (1 or more) and `panel` large;
    // the chat area takes what is left right of and below the game.
    void fit(qreal scale, QSize panel);
    qreal scale() const { return scaled_.scale(); }
    // Where the chat panel goes: the panel's right-hand part, from x 470 as designed.
    QRect chatarea() const;

    int whoseturn() const { return whoseturn_; }
    int selectedtile() const { return selectedtile_; }
    int currentcolumn() const { return currentcolumn_; }
    int totalrounds() const { return totalrounds_; }
    const BoardParts& parts() const { return parts_; }

  signals:
    // Right click on a seat's name label, for the seat menu.
    void seatmenurequested(int seat, const QPoint& globalPos);
    // Click on the logo.
    void logoclicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildboard();
    void buildrack();
    void buildseats();
    void buildside();
    void buildpanels();

    bool myturn() const { return whoseturn_ != 0 && whoseturn_ == host_.myseat(); }
    void raisetile(int slot, bool raised);
    void lowerrack();
    void setcell(int row, int column, int code);
    void setstatus(const QString& text);
    void showturn();  // marker, computer name, status and sound for whoseturn_
    void clearwords();
    // Tells a screen reader what just happened.
    void announce(const QString& text);
    // Accessible names that depend on the game: the cells' and rack's notes, the seats.
    void describe();
    // "Ann 30, Klot 25": the scores of the seats that have a player.
    QString scores() const;
    // A part's designed rectangle, placed at the present scale.
    void place(QWidget* part, const QRect& designed) { scaled_.place(part, designed); }
    QRect designed(const QWidget* part) const { return scaled_.designed(part); }
    // Score and bonus labels as wide as their text, the bonus 3 pixels after the score.
    void fitscore(int seat);
    // Why the server refused the last placement, as far as this copy of the board tells.
    QString refusal() const;

    BoardHost& host_;
    Tgamestart* gamestart_ = nullptr;
    BoardParts parts_;
    int whoseturn_ = 0;
    int selectedtile_ = 0;
    int currentcolumn_ = 0;
    int totalrounds_ = 0;
    ScaledParts scaled_;
    int placedrow_ = 0;          // the row of the last placement sent
    QString wordsfound_;         // told with the placement that follows the score
    bool keyboardplay_ = false;  // the player last used the keys, not the mouse
};

}  // namespace tessarin::board
