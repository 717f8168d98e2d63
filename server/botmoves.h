// The moves of the stronger computer players. They draw nothing from the program's random
// generator, so they never disturb the tile bag of a seeded game.
#pragma once

#include <cstdint>

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

// The best move on average over guesses of the tiles the seat cannot see (the other racks
// and the bag, one pool), each played out to the end of the next column with every seat
// taking the highest score. It depends only on what a player in the seat knows: its own
// rack, the board, the turn order and the unseen pool; `randomState` seeds the guesses,
// which are drawn from the pool in letter order, and is not advanced.
BotMove expertMove(const GameState& st, int seat, const WordFinder& finder,
                   std::uint32_t randomState);

}  // namespace tessarin
