// The game server: the rules of one game (deal, placement, word finding, turns, rounds,
// the computer player) and its handling of seats (login, relays, just watch, removal,
// departure). It holds no sockets and no window: messages leave through ServerHost, the
// two timers are Tickers whose ticks the owner delivers to timer1Timer() and
// computertimerTimer(). Single-threaded.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "gamestate.h"
#include "seatkeeper.h"
#include "serverseams.h"
#include "trandom.h"
#include "wordfinder.h"

namespace tessarin {

class TDictn;

class TServer {
  public:
    // All references must outlive the server.
    TServer(ServerHost& host, TRandom& random, const TDictn& spell, Ticker& timer1,
            Ticker& computertimer);

    GameState& state() { return st_; }
    const GameState& state() const { return st_; }
    // Named in the two "Error CPerror..." boxes.
    void setSupportContact(std::string contact) { supportContact_ = std::move(contact); }

    // Tiles.
    void shuffletiles();
    int getletter();
    void dealtiles();
    static char convertoletter(int code);

    // Placement and word finding. `request` is "seat+slot+cell id+...".
    void placeit(std::string_view request);
    int checkword(int seat, int row);
    bool checkforfull() const;

    // Game and round flow. `request` is "starter's name+rounds+".
    void startgame(std::string_view request);
    void startround();
    // The computer plays a game at the strengths the host chose when it started: startgame
    // takes them and names them in the chat ("Klot plays Strong."). A change during a game
    // is named at the next turn ("Klot plays Expert from the next game.").
    void latchstrengths();
    void announcestrength();
    void findplayer();
    void timer1Timer();
    bool checkforwin();

    // Computer player.
    void computertimerTimer();
    void computerplay(int seat);
    void computerplaceletter(int seat);
    int computercheckword() const;
    // The word search of placements and computer tries, its index built on first use.
    const WordFinder& finder() const;

    // Seats: their life (arrival, login, names, secrets, holds, departure) is kept by
    // seats(); the handlers below send what it decides. chooseseat() names the seat a new
    // connection would get (0: the game is full); once the connection is accepted,
    // seattaken() records it and asks for its login.
    SeatKeeper& seats() { return seats_; }
    const SeatKeeper& seats() const { return seats_; }
    int chooseseat() const { return seats_.chooseseat(); }
    void seattaken(int seat);
    // The seat's connection has closed: tell the others, free the seat (held for its
    // player during a game), pass its turn.
    void departure(int seat);
    // The hold on a seat ran out: the computer plays on for nobody in particular.
    void endhold(int seat) { seats_.endhold(seat); }
    // Closes a seat's connection if one is open.
    void disconnectsock(int seat);

    // Handles one received message (without its 0xFF) from the connection in fromSeat.
    // A message whose seat field is not fromSeat is dropped; the host (seat 1) may also
    // set seats 2 and 3 to watch, and only seat 1 may start a game or remove a seat.
    void dispatch(int fromSeat, std::string_view line);

    // Message handlers; each takes the payload after the command word. A login is taken
    // only when the server asked for it (seattaken); names and relayed texts are cut to the
    // lengths in net/protocol.h. Before its login a connection may only present a secret.
    void receivedlogininfo(std::string_view payload);
    // "CMD_secret": a returning player's connection presents its seat's secret.
    void secret(std::string_view payload);
    void kickhim(std::string_view payload);
    void justwatch(std::string_view payload);
    void chat(std::string_view payload);
    void action(std::string_view payload);
    void playasound(std::string_view payload);

  private:
    // The welcome of a login: the newcomer's secret, the seat lists, the version check,
    // and the game so far.
    void welcome(int seat, std::string_view version, bool returning);
    void sendto(int seat, const std::string& message);
    void sendall(const std::string& message);
    void armtimer1(int ticks, Timer1Purpose purpose);
    void placebot(int seat, int slot, int row, int column);
    void hosterror(std::string_view code);

    ServerHost& host_;
    TRandom& random_;
    const TDictn& spell_;
    Ticker& timer1_;
    Ticker& computertimer_;
    std::string supportContact_ = "support@zorvik-software.example";
    GameState st_;
    SeatKeeper seats_{st_};
    mutable std::unique_ptr<WordFinder> finder_;
    std::array<BotStrength, kPlayerSeats + 1> strengths_{};  // this game's, per seat 1..3
    BotStrength namedStrength_ = BotStrength::Normal;        // the last one the chat named
};

}  // namespace tessarin
