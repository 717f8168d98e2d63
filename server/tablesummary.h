// What a table shows to players looking for a game (the local network's answers, a public
// lobby's list) and to operators (counters, metrics): who sits where, how many watch, and
// how far the game is. Read from the game's state at the moment it is asked for.
#pragma once

#include <array>
#include <string>

#include "gamestate.h"

namespace tessarin {

struct TableSummary {
    struct Seat {
        std::string name;       // the person's, the computer's where it plays, empty: free
        bool computer = false;  // the computer plays the seat and no person holds it
    };
    std::array<Seat, kPlayerSeats> seats;  // seats 1..3
    int players = 0;                       // logged-in people in seats 1..3
    int spectators = 0;                    // logged-in people in seats 4..9
    bool playing = false;
    int round = 0;   // the round being played, 0 while no game runs
    int rounds = 0;  // rounds of the game running or last started, 0 before any
};

TableSummary summarise(const GameState& state);

}  // namespace tessarin
