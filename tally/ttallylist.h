// Ttallylist: the "Tessarin - Tally List" window. Shows the tally figures (TTally), lets the
// user follow the other players of the current game, stop following one, and reset all.
//
// Created once at start-up (it reads the tally file then) and destroyed at program end (it
// writes the file then); shown and hidden in between. The main window also saves it when
// a game ends, so that a program that never exits normally loses no finished game. UI
// thread only.
//
// What the main window calls:
//   loadchecklist(seat names, myseat)  before show() ("View Tally", modeless), and in the
//                                      winner handler right before addgame, so the seats
//                                      are current;
//   addgame("addtomine" or winner)     from the winner handler, once per finished game in
//                                      which the user sat in a playing seat.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

#include "tallyfile.h"
#include "ttally.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tessarin {

// How the window talks to the user; tests answer in place of a person.
struct TallyPrompts {
    // A Yes/No question; true on Yes.
    std::function<bool(QWidget* parent, const QString& question)> confirm;
    // An error the user should see, told without waiting: start-up goes on meanwhile.
    std::function<void(QWidget* parent, const QString& message)> inform;
    // An error told at program end: never waits for anyone, so nothing holds up the exit.
    std::function<void(const QString& message)> informAtEnd;
};
// Message boxes, and standard error at program end.
TallyPrompts messageBoxPrompts();

class Ttallylist : public QDialog {
    Q_OBJECT
  public:
    // The text of an empty seat.
    static constexpr QStringView kWaiting = u"<Waiting>";
    static constexpr int kSeatCount = 3;

    // Reads paths.load; a failure is reported once through prompts.inform and the tally
    // starts empty. `mainWindow` is the window this one is centred on.
    explicit Ttallylist(QWidget* mainWindow = nullptr, TallyPaths paths = defaultTallyPaths(),
                        TallyPrompts prompts = messageBoxPrompts());
    // Saves (save()); a failure is reported through prompts.informAtEnd.
    ~Ttallylist() override;

    // Writes paths.save, first keeping an unreadable file aside as ".bad". Returns the
    // text for the user when it failed (the earlier file then stays as it was), else "".
    QString save();

    // Fills "Players In Current Game". seatNames[i] is the name shown in seat i + 1 (seats
    // 1..3; kWaiting for an empty one); myseat is the user's seat (1..9). The user's own
    // seat and empty seats are left out; a name is checked when it is tallied.
    void loadchecklist(const QStringList& seatNames, int myseat);

    // Counts one finished game: `text` is "addtomine" when the user won, else the winner's
    // name. Counts the user and the tallied players among the seats last given to
    // loadchecklist; counts nothing when that myseat was a spectator's (above 3).
    void addgame(const QString& text);

    const TTally& tally() const { return tally_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void loadtally();
    void showOwnFigures();
    void refillChecklist();
    void checklistClickCheck(QListWidgetItem* item);
    void listbox_tallyClickCheck(QListWidgetItem* item);
    void listbox_tallyClick();
    void button_resetClick();
    void button_doneClick();

    TallyPaths paths_;
    TallyPrompts prompts_;
    TTally tally_;
    bool loadFailed_ = false;
    QStringList seatNames_;
    int myseat_ = 0;

    QListWidget* checklist_ = nullptr;
    QListWidget* listbox_tally_ = nullptr;
    std::array<QLabel*, 5> mylabel_{};  // 1..4 (own row columns); [0] unused
    std::array<QLabel*, 9> label_{};    // 1..8 (selected player's columns); [0] unused
    QLabel* label_hisname_ = nullptr;
    QLabel* label_hisnametop_ = nullptr;
    QPushButton* button_reset_ = nullptr;
    QPushButton* button_done_ = nullptr;
};

}  // namespace tessarin
