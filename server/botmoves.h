// The moves of the stronger computer players, chosen from the game state alone (no random
// draws, so they never disturb the tile bag of a seeded game).
#pragma once

#include "gamestate.h"

namespace tessarin {

class WordFinder;

// Rack slot and row for a placement in the current column; slot 0 when there is none.
struct BotMove {
    int slot = 0;
    int row = 0;
};

// Every rack tile in every open row; the highest score, and among equal scores the tile
// whose letter the fewest words hold, so the rack keeps the letters that make words.
BotMove strongMove(const GameState& st, int seat, const WordFinder& finder);

// As strongMove, scoring each move by what it gains less what it leaves to the next player.
// Within a column: less the best reply the next player's rack makes in the rows still open,
// plus half the best the rest of its own rack makes there. On the column's last cell, after
// which the same seat opens the next column: plus its own best move there.
BotMove expertMove(const GameState& st, int seat, const WordFinder& finder);

}  // namespace tessarin
