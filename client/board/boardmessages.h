// Readers for the payloads of the game messages the board handles. Everything in a server
// message is untrusted, so each reader takes the whole payload before the board changes
// anything, and checks every number against the range the board can show:
// - a field that must be a number and is not (or is missing) throws proto::ConversionError;
// - a single-valued field out of range makes the reader return nothing (ignore the message);
// - a repeated group (rack pair, board triple) out of range is left out on its own.
// Plain C++; no Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol.h"

namespace tessarin::board {

inline constexpr int kSeats = 3;  // playing seats 1..3; higher seats only watch
inline constexpr int kRows = 6;
inline constexpr int kColumns = 6;
inline constexpr int kSlots = 6;
inline constexpr int kLetters = 26;  // letter codes 1..26 are A..Z, 0 is the blank tile

// Seats 1..3 play; 0 is nobody and seats above 3 watch.
inline constexpr bool isplayingseat(int seat) {
    return seat >= 1 && seat <= kSeats;
}

struct StartGame {
    std::string name;
    int rounds;
};
StartGame readstartgame(std::string_view payload);

// The round number of "CMD_roundstart".
int readroundstart(std::string_view payload);

// Slot 1..6 and letter 0..26 per pair.
struct MyTiles {
    int seat;
    std::vector<proto::msg::SlotTile> tiles;
};
MyTiles readmytiles(std::string_view payload);

// Seat 1..3, column 1..6, new column 0..6.
struct NextPlayer {
    int seat;
    int column;
    int newcolumn;
};
std::optional<NextPlayer> readnextplayer(std::string_view payload);

// Seat 1..3, row 1..6, column 1..6, letter 0..26.
struct PlaceLetter {
    int seat;
    int row;
    int column;
    int letter;
};
std::optional<PlaceLetter> readplaceletter(std::string_view payload);

// Seat 1..3; the words run to the end of the payload.
struct AScore {
    int seat;
    int total;
    int points;
    std::vector<std::string> words;
};
std::optional<AScore> readascore(std::string_view payload);

struct ErrorNum {
    int seat;
    int code;
};
ErrorNum readerrornum(std::string_view payload);

// Whose turn 0..3, current column 0..6 (0: no column open yet); triples with row and
// column 1..6 and letter 0..26 (the empty board's 0, 0, 0 is left out).
std::optional<proto::msg::GameStats> readgamestats(std::string_view payload);

// The first field as text: the starter's or the winner's name.
std::string readname(std::string_view payload);

}  // namespace tessarin::board
