// The state of the one game a server runs: the seat table, the board, the bag and counters.
// Arrays count from 1 as the game does; index 0 is unused.
#pragma once

#include <array>
#include <string>

namespace tessarin {

inline constexpr int kSeatSlots = 11;   // seat numbers 1..11 index the table; 10 and 11 stay free
inline constexpr int kMaxSeats = 9;     // open connections at most
inline constexpr int kPlayerSeats = 3;  // seats 1..3 play, 4..9 watch
inline constexpr int kRows = 6;
inline constexpr int kColumns = 6;
inline constexpr int kRackSize = 6;
inline constexpr int kBagSize = 75;
inline constexpr int kMaxRounds = 5;  // rounds per game: 1..kMaxRounds

// Letter codes: 1..26 for A..Z, 0 for no letter.
struct tplayer {
    // Who sits here is SeatKeeper's business (seatkeeper.h): only it writes name,
    // connected and loggedin.
    std::string name;        // the human's name at the table; empty while no human sits here
    bool connected = false;  // a client holds the seat (its connection lives in the net layer)
    bool loggedin = false;   // that client has logged in: it gets the table's messages
    int score = 0;
    bool watching = false;  // "Just Watch": the computer plays this seat's turns
    std::string botname;    // the computer player's name for seats 1..3 (proto::computerName)
    bool inround = false;   // gets tiles and turns in the current round
    std::array<int, kRackSize + 1> tiles{};

    // A person plays here; otherwise the computer plays the seat's turns.
    bool human() const { return connected && loggedin; }
};

// What timer1 does when its wait runs out.
enum class Timer1Purpose { None = 0, NextTurn = 1, NextRound = 2 };

struct GameState {
    std::array<tplayer, kSeatSlots + 1> players;
    bool gamestarted = false;
    int lastseat = 0;   // highest seat handed out so far
    int whoseturn = 0;  // 0 while no placement is awaited
    int turnpos = 0;    // seat that was last given the turn
    int waitticks = 0;
    int playerseats = kPlayerSeats;
    int botticks = 0;
    int round = 0;
    int playtoscore = 0;  // rounds per game
    int column = 0;       // 1..6 during a round
    int columnplays = 0;  // placements in the current column, 0..6
    int drawpos = 0;      // tiles drawn from the current bag, 0..75
    std::array<int, kBagSize + 1> bag{};
    int board[kRows + 1][kColumns + 1] = {};
    std::array<char, kColumns + 1> botletters{};  // the computer's trial row; 0 = empty slot
    Timer1Purpose timer1purpose = Timer1Purpose::None;
    bool computermove = false;  // computertimer's purpose mark
};

inline bool validSeat(int seat) {
    return seat >= 1 && seat <= kSeatSlots;
}

}  // namespace tessarin
