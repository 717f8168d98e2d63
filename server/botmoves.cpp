#include "botmoves.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "wordfinder.h"

namespace tessarin {

namespace {

using Board = int[kRows + 1][kColumns + 1];

char letterOf(int code) {
    return code >= 1 && code <= 26 ? static_cast<char>('a' + code - 1) : 't';
}

bool open(const Board& board, int row, int column) {
    return board[row][column] == 0 && (column == 1 || board[row][column - 1] != 0);
}

// What placing `code` in `row` of `column` scores, as the placement counts it: column 1
// is never scored.
int tryScore(const Board& board, int row, int column, int code, const WordFinder& finder) {
    if (column < 2) return 0;
    char slots[kColumns];
    slots[0] = letterOf(code);
    for (int k = 1; k < column; ++k) slots[k] = letterOf(board[row][column - k]);
    return finder.score(slots, column, nullptr);
}

// Picks the highest value, then the tile whose letter the fewest words hold.
class Choice {
  public:
    explicit Choice(const WordFinder& finder) : finder_(finder) {}
    void offer(double value, int slot, int row, int code) {
        const int use = finder_.wordsWith(letterOf(code));
        if (move_.slot != 0 && (value < value_ || (value == value_ && use >= use_))) return;
        move_ = {slot, row};
        value_ = value;
        use_ = use;
    }
    BotMove move() const { return move_; }

  private:
    const WordFinder& finder_;
    BotMove move_;
    double value_ = 0;
    int use_ = 0;
};

}  // namespace

BotMove strongMove(const GameState& st, int seat, const WordFinder& finder) {
    const int col = st.column;
    Choice choice(finder);
    if (col < 1 || col > kColumns) return {};
    const auto& tiles = st.players[seat].tiles;
    for (int slot = 1; slot <= kRackSize; ++slot) {
        if (tiles[slot] == 0) continue;
        for (int row = 1; row <= kRows; ++row)
            if (open(st.board, row, col))
                choice.offer(tryScore(st.board, row, col, tiles[slot], finder), slot, row,
                             tiles[slot]);
    }
    return choice.move();
}

}  // namespace tessarin
