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

// The seat that plays after `seat` within a column.
int nextSeat(const GameState& st, int seat) {
    int next = seat;
    for (int k = 0; k < kPlayerSeats; ++k) {
        next = next % kPlayerSeats + 1;
        if (st.players[next].inround) return next;
    }
    return seat;
}

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

BotMove expertMove(const GameState& st, int seat, const WordFinder& finder) {
    const int col = st.column;
    Choice choice(finder);
    if (col < 1 || col > kColumns) return {};
    const auto& tiles = st.players[seat].tiles;
    const auto& theirs = st.players[nextSeat(st, seat)].tiles;
    int openRows = 0;
    for (int row = 1; row <= kRows; ++row) openRows += open(st.board, row, col);

    // Within the column: what each rack letter, the next player's and its own, would score
    // in each open row (-1: not needed).
    int reply[kRows + 1][27];
    for (auto& row : reply) std::fill(std::begin(row), std::end(row), -1);
    if (openRows > 1)
        for (int row = 1; row <= kRows; ++row)
            if (open(st.board, row, col))
                for (int k = 1; k <= kRackSize; ++k)
                    for (int code : {tiles[k], theirs[k]})
                        if (code >= 1 && code <= 26 && reply[row][code] < 0)
                            reply[row][code] = tryScore(st.board, row, col, code, finder);
    auto bestIn = [&](int row, const std::array<int, kRackSize + 1>& rack, int skipSlot) {
        int best = 0;
        for (int other = 1; other <= kRows; ++other)
            if (other != row && open(st.board, other, col))
                for (int k = 1; k <= kRackSize; ++k)
                    if (k != skipSlot && rack[k] >= 1 && rack[k] <= 26)
                        best = std::max(best, reply[other][rack[k]]);
        return best;
    };

    for (int slot = 1; slot <= kRackSize; ++slot) {
        const int code = tiles[slot];
        if (code == 0) continue;
        for (int row = 1; row <= kRows; ++row) {
            if (!open(st.board, row, col)) continue;
            double value = tryScore(st.board, row, col, code, finder);
            if (openRows > 1) {
                // Less the next player's best reply in the rows left open, plus half of
                // what the rest of its own rack can still make there after that.
                value -= bestIn(row, theirs, 0);
                value += 0.5 * bestIn(row, tiles, slot);
            } else if (col < kColumns) {
                // The seat that fills a column opens the next one with the rest of its rack.
                Board after;
                std::copy(&st.board[0][0], &st.board[0][0] + (kRows + 1) * (kColumns + 1),
                          &after[0][0]);
                after[row][col] = code;
                int next = 0;
                for (int k = 1; k <= kRackSize; ++k)
                    if (k != slot && tiles[k] != 0)
                        for (int r = 1; r <= kRows; ++r)
                            next = std::max(next, tryScore(after, r, col + 1, tiles[k], finder));
                value += next;
            }
            choice.offer(value, slot, row, code);
        }
    }
    return choice.move();
}

}  // namespace tessarin
