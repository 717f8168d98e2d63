// The computer player. At Normal strength it tries each rack tile once in one open row,
// scores each try with the placement's own word search, and plays the best (at once when it
// is worth over 20); the stronger players' choices are in botmoves.cpp and expertmove.cpp.
// Every strength sees only what a player in the seat could: its own rack, the board and
// the turn order.
#include <utility>

#include "botmoves.h"
#include "protocol.h"
#include "tserver.h"

namespace tessarin {

void TServer::computertimerTimer() {
    if (--st_.botticks >= 1) return;
    computertimer_.stop();
    if (std::exchange(st_.computermove, false)) computerplay(st_.whoseturn);
}

void TServer::computerplay(int seat) {
    if (seat < 1 || seat > kPlayerSeats) return;
    const tplayer& player = st_.players[seat];
    if (!player.human() || player.watching) computerplaceletter(seat);
}

void TServer::computerplaceletter(int seat) {
    const int col = st_.column;
    if (col < 1 || col > kColumns) return;
    const BotStrength strength =
        seat >= 1 && seat <= kPlayerSeats ? strengths_[seat] : BotStrength::Normal;
    if (strength != BotStrength::Normal) {
        const BotMove move = strength == BotStrength::Strong
                                 ? strongMove(st_, seat, finder())
                                 : expertMove(st_, seat, finder(), random_.state());
        if (move.slot != 0) {
            placebot(seat, move.slot, move.row, col);
            return;
        }
    }
    const auto& tiles = st_.players[seat].tiles;
    int best = 0;
    int bestSlot = 0, bestRow = 0;

    int slot = random_.Random(kRackSize);
    for (int tries = 0; tries < kRackSize; ++tries) {
        slot = slot % kRackSize + 1;
        int row = random_.Random(kRows);
        for (int look = 0; look < kRows; ++look) {
            row = row % kRows + 1;
            st_.botletters.fill(0);
            if (col == 1 && st_.board[row][1] == 0) break;  // no scored tries in column 1
            if (st_.board[row][col] != 0) continue;
            for (int k = 1; k <= col; ++k)
                st_.botletters[k] = convertoletter(st_.board[row][col + 1 - k]);
            st_.botletters[1] = convertoletter(tiles[slot]);
            const int score = computercheckword();
            if (score > best) {
                best = score;
                if (best > 20) {
                    placebot(seat, slot, row, col);
                    return;
                }
                bestSlot = slot;
                bestRow = row;
            }
            break;  // one row per rack slot
        }
    }
    if (best > 0) {
        placebot(seat, bestSlot, bestRow, col);
        return;
    }

    bool boardEmpty = true;
    for (int row = 1; row <= kRows; ++row) boardEmpty &= st_.board[row][1] == 0;
    if (boardEmpty) {
        const int randomSlot = random_.Random(kRackSize) + 1;
        const int randomRow = random_.Random(kRows) + 1;
        placebot(seat, randomSlot, randomRow, col);
        return;
    }

    random_.Random(kRackSize);  // drawn and replaced below; kept so seeded games replay
    int row = random_.Random(kRows);
    for (int look = 0; look < kRows; ++look) {
        row = row % kRows + 1;
        if (st_.board[row][col] == 0) break;
    }
    placebot(seat, random_.Random(kRackSize) + 1, row, col);
}

int TServer::computercheckword() const {
    int n = 0;
    for (int k = 1; k <= kColumns; ++k)
        if (st_.botletters[k] != 0) n = k;
    return finder().score(&st_.botletters[1], n, nullptr);
}

void TServer::placebot(int seat, int slot, int row, int column) {
    std::string request = std::to_string(seat) + '+' + std::to_string(slot) + '+' +
                          std::to_string(row) + std::to_string(column) + '+' + proto::kTerminator;
    placeit(request);
}

}  // namespace tessarin
