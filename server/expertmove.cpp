// The Expert computer player: every move of its rack, each played out to the end of the next
// column over many guesses of the tiles it cannot see.
#include <algorithm>
#include <array>
#include <vector>

#include "botmoves.h"
#include "tileset.h"
#include "trandom.h"
#include "wordfinder.h"

namespace tessarin {

namespace {

using Rack = std::array<int, kRackSize + 1>;

// Playouts per move, shared among the candidate moves: the slowest move of the strength
// benchmark stays well within 20 ms of CPU, and 6,000 won no more games than 2,400.
constexpr int kPlayouts = 2400;

char letterOf(int code) {
    return static_cast<char>('a' + code - 1);
}

// The seat that plays after `seat` within a column.
int nextSeat(const GameState& st, int seat) {
    int next = seat;
    for (int k = 0; k < kPlayerSeats; ++k) {
        next = next % kPlayerSeats + 1;
        if (st.players[next].inround) return next;
    }
    return seat;
}

// What each letter scores in each row, in the column being played (fixed by the board) and
// in the next one (which also depends on the letter the row gets now; asked for as needed).
class RowScores {
  public:
    RowScores(const GameState& st, const WordFinder& finder) : st_(st), finder_(finder) {
        const int col = st.column;
        for (int row = 1; row <= kRows; ++row)
            for (int x = 1; x <= 26; ++x) now_[row][x] = col > 1 ? score(row, col, 0, x) : 0;
        for (auto& row : next_)
            for (auto& ys : row) ys.fill(-1);
    }
    int now(int row, int x) const { return now_[row][x]; }
    // Cell `column` + 1 of `row`, whose cell `column` holds `y`. Every block of letters
    // this placement scores holds both x and y, and a block scores by its letters alone
    // (in any order), so x and y may change places.
    int next(int row, int y, int x) {
        short& cached = next_[row][std::min(x, y)][std::max(x, y)];
        if (cached < 0) cached = static_cast<short>(score(row, st_.column + 1, y, x));
        return cached;
    }

  private:
    // Letter x in cell `col` of `row`, with y in cell `col` - 1 when that is not on the board.
    int score(int row, int col, int y, int x) const {
        char slots[kColumns];
        slots[0] = letterOf(x);
        for (int k = 1; k < col; ++k) {
            const int cell = col - k;
            slots[k] = letterOf(cell == st_.column && y != 0 ? y : st_.board[row][cell]);
        }
        return finder_.scoreLetters(slots, col);
    }

    const GameState& st_;
    const WordFinder& finder_;
    int now_[kRows + 1][27] = {};
    std::array<std::array<std::array<short, 27>, 27>, kRows + 1> next_;
};

// One guess of the hidden tiles played out: every seat plays the highest score (Strong's
// choice) until the end of the horizon.
class Playout {
  public:
    // `movers` are the seats placing from now on, those from index `firstNext` on in the
    // next column.
    Playout(const GameState& st, RowScores& scores, const WordFinder& finder, int seat,
            const std::vector<int>& movers, std::size_t firstNext)
        : st_(st), scores_(scores), seat_(seat), movers_(movers), firstNext_(firstNext) {
        for (int x = 1; x <= 26; ++x) use_[x] = finder.wordsWith(letterOf(x));
    }

    // Gains of the seat less the mean gain of the others, from its move of rack slot `slot`
    // into `row` on, with `racks` and the bag order `bag` as guessed.
    double run(const std::array<Rack, kPlayerSeats + 1>& racks, const int* bag, int bagSize,
               int slot, int row) {
        racks_ = racks;
        bag_ = bag;
        bagSize_ = bagSize;
        drawn_ = 0;
        gains_.fill(0);
        const int col = st_.column;
        for (int r = 1; r <= kRows; ++r) {
            y_[r] = st_.board[r][col];
            nextFilled_[r] = false;
        }
        place(seat_, slot, row, col);
        for (std::size_t i = 1; i < movers_.size(); ++i)
            play(movers_[i], i < firstNext_ ? col : col + 1);
        double others = 0;
        int count = 0;
        for (int s = 1; s <= kPlayerSeats; ++s)
            if (s != seat_ && st_.players[s].inround) others += gains_[s], ++count;
        return gains_[seat_] - (count ? others / count : 0);
    }

  private:
    int value(int row, int col, int x) {
        return col == st_.column ? scores_.now(row, x) : scores_.next(row, y_[row], x);
    }
    bool open(int row, int col) const {
        return col == st_.column ? y_[row] == 0 : !nextFilled_[row];
    }
    void place(int seat, int slot, int row, int col) {
        const int x = racks_[seat][slot];
        gains_[seat] += value(row, col, x);
        if (col == st_.column)
            y_[row] = x;
        else
            nextFilled_[row] = true;
        racks_[seat][slot] = drawn_ < bagSize_ ? bag_[drawn_++] : 0;
    }
    void play(int seat, int col) {
        int bestSlot = 0, bestRow = 0, best = -1, bestUse = 0;
        for (int slot = 1; slot <= kRackSize; ++slot) {
            const int x = racks_[seat][slot];
            if (x == 0) continue;
            for (int row = 1; row <= kRows; ++row) {
                if (!open(row, col)) continue;
                const int v = value(row, col, x);
                if (v > best || (v == best && use_[x] < bestUse)) {
                    best = v;
                    bestUse = use_[x];
                    bestSlot = slot;
                    bestRow = row;
                }
            }
        }
        if (bestSlot != 0) place(seat, bestSlot, bestRow, col);
    }

    const GameState& st_;
    RowScores& scores_;
    const int seat_;
    const std::vector<int>& movers_;
    const std::size_t firstNext_;
    int use_[27] = {};
    std::array<Rack, kPlayerSeats + 1> racks_{};
    const int* bag_ = nullptr;
    int bagSize_ = 0;
    int drawn_ = 0;
    std::array<double, kPlayerSeats + 1> gains_{};
    int y_[kRows + 1] = {};
    bool nextFilled_[kRows + 1] = {};
};

// The tiles `seat` has not seen, in letter order: the set less the board and its own rack.
std::vector<int> unseenTiles(const GameState& st, int seat) {
    auto counts = kTileCounts;
    for (int row = 1; row <= kRows; ++row)
        for (int col = 1; col <= kColumns; ++col)
            if (st.board[row][col] >= 1 && st.board[row][col] <= 26) --counts[st.board[row][col]];
    for (int slot = 1; slot <= kRackSize; ++slot) {
        const int x = st.players[seat].tiles[slot];
        if (x >= 1 && x <= 26) --counts[x];
    }
    std::vector<int> pool;
    for (int x = 1; x <= 26; ++x)
        for (int k = 0; k < counts[x]; ++k) pool.push_back(x);
    return pool;
}

}  // namespace

BotMove expertMove(const GameState& st, int seat, const WordFinder& finder,
                   std::uint32_t randomState) {
    const int col = st.column;
    if (col < 1 || col > kColumns) return {};
    const Rack& own = st.players[seat].tiles;

    // Who places from now to the end of the next column: the seats take turns, and the seat
    // that fills a column opens the next.
    std::vector<int> movers;
    std::size_t firstNext = 0;
    int mover = seat;
    const int lastColumn = std::min(col + 1, kColumns);
    for (int c = col, plays = st.columnplays; c <= lastColumn; ++c, plays = 0) {
        if (c > col) firstNext = movers.size();
        for (; plays < kRows; ++plays) {
            movers.push_back(mover);
            if (plays + 1 < kRows) mover = nextSeat(st, mover);
        }
    }
    if (firstNext == 0) firstNext = movers.size();

    RowScores scores(st, finder);
    Playout playout(st, scores, finder, seat, movers, firstNext);

    // Each letter once (the first slot holding it) in each open row.
    struct Candidate {
        int slot, row, now, use;
        double total = 0;
    };
    std::vector<Candidate> candidates;
    for (int slot = 1; slot <= kRackSize; ++slot) {
        const int x = own[slot];
        if (x < 1 || x > 26 || std::find(&own[1], &own[slot], x) != &own[slot]) continue;
        for (int row = 1; row <= kRows; ++row)
            if (st.board[row][col] == 0 && (col == 1 || st.board[row][col - 1] != 0))
                candidates.push_back(
                    {slot, row, scores.now(row, x), finder.wordsWith(letterOf(x))});
    }
    if (candidates.size() < 2)
        return candidates.empty() ? BotMove{} : BotMove{candidates[0].slot, candidates[0].row};

    // The same guesses for every candidate, drawn from the unseen tiles in letter order, so
    // they depend on nothing hidden.
    std::vector<int> pool = unseenTiles(st, seat);
    TRandom guess(randomState ^ 0x5EEDu);
    const int samples = std::max(8, kPlayouts / static_cast<int>(candidates.size()));
    std::vector<int> shuffled;
    for (int n = 0; n < samples; ++n) {
        shuffled = pool;
        for (int i = static_cast<int>(shuffled.size()) - 1; i > 0; --i)
            std::swap(shuffled[i], shuffled[guess.Random(i + 1)]);
        std::array<Rack, kPlayerSeats + 1> racks{};
        racks[seat] = own;
        std::size_t used = 0;
        bool dealt[kPlayerSeats + 1] = {};
        for (int s = nextSeat(st, seat); s != seat && !dealt[s]; s = nextSeat(st, s)) {
            dealt[s] = true;
            for (int slot = 1; slot <= kRackSize; ++slot)
                racks[s][slot] = used < shuffled.size() ? shuffled[used++] : 0;
        }
        const int* bag = shuffled.data() + used;
        const int bagSize = static_cast<int>(shuffled.size() - used);
        for (Candidate& c : candidates) c.total += playout.run(racks, bag, bagSize, c.slot, c.row);
    }

    const Candidate* best = &candidates.front();
    for (const Candidate& c : candidates)
        if (c.total > best->total ||
            (c.total == best->total &&
             (c.now > best->now || (c.now == best->now && c.use < best->use))))
            best = &c;
    return {best->slot, best->row};
}

}  // namespace tessarin
