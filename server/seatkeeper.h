// SeatKeeper: the life of every seat, from a connection's arrival to its departure, in one
// place. It chooses the seat a connection gets, takes its login and gives the name the table
// shows, keeps the reconnect secret of each player in seats 1..3, and holds a player's seat
// while the player is away during a game. It is the only writer of tplayer's name,
// connected and loggedin. TServer's handlers ask it and send the messages; the connection
// layer times the holds and closes what it is told to close. Plain C++ and deterministic:
// secrets are made by the caller.
//
//   free ── arrived ──> taken, login expected ── login ──> seated: name (distinct at the
//    ^                    │ present(secret): the connection         table), secret (1..3)
//    │                    │ moves to its player's seat and logs          │
//    │                    │ in there as the returning player             │
//    └──── departed <─────┴──────────────────────────────────────────────┘
//
// Holds. A player seated in 1..3 who leaves while a game runs, not removed by the host,
// leaves the seat held: its name and secret stay, the score and rack stay on the seat, the
// computer plays its turns, and a newcomer gets it only when no other seat is free and
// then cannot log in to it. A hold begins once, at that departure (or when the player's
// secret takes the seat from a connection the server still thought alive), and ends once:
// when its player has logged in again with the secret, when the connection layer's time for
// it runs out (endhold), or when the game ends (endholds). Nothing else starts or renews it.
//
// Names. A login's cleaned name that another seat's person, a held seat's player or a
// computer player already goes by (letter case aside) gets " (2)", " (3)", ... so that
// every name at the table is distinct.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "gamestate.h"

namespace tessarin {

class SeatKeeper {
  public:
    // `state` must outlive the keeper.
    explicit SeatKeeper(GameState& state) : st_(state) {}

    // The seat a new connection gets: the lowest free seat that is not held, a new seat
    // while fewer than nine were handed out, else a held seat; 0 when all nine are open.
    int chooseseat() const;
    // A connection was accepted into `seat` (1..9): taken, its login expected.
    void arrived(int seat);

    // The connection in `seat`, not logged in yet, presents `secret`. Returns the seat the
    // secret opens, 0 for none: `seat` itself when it is the player's seat, else the
    // player's seat, whose connection, if the server still has one, is now to be closed
    // without a departure; the caller moves the connection there and asks for its login.
    int present(int seat, std::string_view secret);

    enum class Login {
        Ignored,    // no login was expected from this seat's connection
        Refused,    // a newcomer in a held seat: told the game is full, and closed
        Newcomer,   // seated under a name distinct at the table
        Returning,  // the player is back in its own seat under its own name
    };
    // Takes the login of the connection in `seat` with its cleaned name.
    Login login(int seat, std::string_view name);
    // The secret of the player seated in 1..3, given at each login; empty otherwise.
    void setsecret(int seat, std::string secret);
    const std::string& secret(int seat) const;

    // The host removes the seat's person: no hold is kept when the connection goes.
    void remove(int seat);
    bool removed(int seat) const;
    // The seat's connection has gone. Returns whether others are told (it had logged in).
    bool departed(int seat);

    // Whether seat 1..3 is held, and for whom.
    bool held(int seat) const;
    const std::string& heldfor(int seat) const;
    void endhold(int seat);
    void endholds();

  private:
    struct Life {
        bool loginexpected = false;  // the server asked this connection for its login
        bool returning = false;      // the connection presented this seat's secret
        bool removed = false;
        std::string player;  // the name the seat's secret belongs to
        std::string secret;
        bool held = false;
    };
    bool nameinuse(int seat, std::string_view name) const;
    std::string distinctname(int seat, std::string_view name) const;
    void vacate(int seat);

    GameState& st_;
    std::array<Life, kSeatSlots + 1> lives_{};
};

}  // namespace tessarin
