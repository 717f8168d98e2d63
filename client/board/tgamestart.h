// The game start window: the host picks the rounds per game (1..5) and starts the game.
// Created once at start-up and only shown and hidden afterwards; it does not block the
// main window.
#pragma once

#include <QDialog>

class QLabel;
class QSpinBox;

namespace tessarin::board {

class BoardHost;
class PictureButton;

class Tgamestart : public QDialog {
    Q_OBJECT

  public:
    // `host` must outlive the window; `parent` is the main window it is centred on.
    Tgamestart(BoardHost& host, QWidget* parent);

    // The rounds selector's position, as the settings file keeps it under "Playtoscore".
    // Values outside 1..5 are brought to the nearest end.
    int rounds() const;
    void setrounds(int rounds);
    // The player has stepped the selector or started a game with it; the settings only
    // set it.
    bool roundschosen() const { return chosen_; }
    // The host's Computer Strength, named under the rounds: "Klot plays Strong.".
    void setstrength(const QString& name);

    // Sends "CMD_startgame" with the player's name and the rounds, hides the window and
    // has the settings written.
    void button_startClick();

    QSpinBox* edit_playtoscore() const { return playtoscore_; }
    QLabel* label_strength() const { return strength_; }
    PictureButton* button_start() const { return start_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Enter presses "Start Game" wherever the keyboard is in the window.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    BoardHost& host_;
    QSpinBox* playtoscore_;
    QLabel* strength_;
    PictureButton* start_;
    bool chosen_ = false;
};

}  // namespace tessarin::board
