#include "botmoves.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

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

// The expected best of kRackSize tiles drawn from `chance` (per letter) when letter L
// scores best[L]: P(best >= v) = 1 - (1 - P(one tile scores >= v))^kRackSize.
double expectedBest(const int (&best)[27], const double (&chance)[27]) {
    std::vector<std::pair<int, double>> byScore;
    for (int c = 1; c <= 26; ++c)
        if (chance[c] > 0) byScore.emplace_back(best[c], chance[c]);
    std::sort(byScore.begin(), byScore.end(), std::greater<>());
    double expected = 0, atLeast = 0;
    for (std::size_t i = 0; i < byScore.size(); ++i) {
        atLeast += byScore[i].second;
        const int next = i + 1 < byScore.size() ? byScore[i + 1].first : 0;
        expected += (byScore[i].first - next) * (1 - std::pow(1 - atLeast, kRackSize));
    }
    return expected;
}

// The share of each letter among the tiles this seat cannot see: the bag's set less the
// board and its own rack.
void unseenChances(const GameState& st, int seat, double (&chance)[27]) {
    int count[27] = {};
    for (int i = 1; i <= kBagSize; ++i)
        if (st.bag[i] >= 1 && st.bag[i] <= 26) ++count[st.bag[i]];
    auto seen = [&](int code) {
        if (code >= 1 && code <= 26 && count[code] > 0) --count[code];
    };
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kColumns; ++c) seen(st.board[r][c]);
    for (int k = 1; k <= kRackSize; ++k) seen(st.players[seat].tiles[k]);
    int total = 0;
    for (int c = 1; c <= 26; ++c) total += count[c];
    for (int c = 1; c <= 26; ++c) chance[c] = total > 0 ? static_cast<double>(count[c]) / total : 0;
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
    int openRows = 0;
    for (int row = 1; row <= kRows; ++row) openRows += open(st.board, row, col);

    // Within the column: what each letter would score the next player in each open row.
    double chance[27] = {};
    int reply[kRows + 1][27] = {};
    if (openRows > 1) {
        unseenChances(st, seat, chance);
        for (int row = 1; row <= kRows; ++row)
            if (open(st.board, row, col))
                for (int c = 1; c <= 26; ++c)
                    if (chance[c] > 0) reply[row][c] = tryScore(st.board, row, col, c, finder);
    }

    for (int slot = 1; slot <= kRackSize; ++slot) {
        const int code = tiles[slot];
        if (code == 0) continue;
        for (int row = 1; row <= kRows; ++row) {
            if (!open(st.board, row, col)) continue;
            const int gain = tryScore(st.board, row, col, code, finder);
            double value = gain;
            if (openRows > 1) {
                int best[27] = {};
                for (int other = 1; other <= kRows; ++other)
                    if (other != row && open(st.board, other, col))
                        for (int c = 1; c <= 26; ++c) best[c] = std::max(best[c], reply[other][c]);
                value -= expectedBest(best, chance);
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
