// Judging a placement and finding the words it forms.
#include <cctype>

#include "protocol.h"
#include "tserver.h"

namespace tessarin {

void TServer::placeit(std::string_view request) {
    proto::FieldReader fields(request);
    const int seat = fields.integer();
    if (seat == 0 || seat != st_.whoseturn) return;
    const int slot = fields.integer();
    const std::string_view target = fields.field();
    int row = 1;
    if (!target.empty() && std::isdigit(static_cast<unsigned char>(target[0])))
        row = target[0] - '0';
    else
        hosterror("CPerror10101");

    const int col = st_.column;
    if (col < 1 || col > kColumns) return;
    // A slot or row outside the rack or the board is refused like an empty rack slot.
    if (slot < 1 || slot > kRackSize || row < 1 || row > kRows) {
        hosterror("CPerror10104");
        return;
    }
    tplayer& player = st_.players[seat];
    if (st_.board[row][col] != 0 || (col > 1 && st_.board[row][col - 1] == 0)) {
        sendto(seat, proto::msg::errornum(seat));
        return;
    }
    if (player.tiles[slot] == 0) {
        hosterror("CPerror10104");
        return;
    }

    st_.board[row][col] = player.tiles[slot];
    ++st_.columnplays;
    player.tiles[slot] = getletter();
    if (col > 1) checkword(seat, row);
    sendto(seat, proto::msg::mytiles(seat, {{slot, player.tiles[slot]}}));
    sendall(proto::msg::placeletter(seat, row, col, st_.board[row][col]));
    st_.whoseturn = 0;

    if (checkforfull()) {
        for (int i = 1; i <= st_.lastseat; ++i) sendto(i, proto::msg::roundover(i));
        armtimer1(7, Timer1Purpose::NextRound);
    } else {
        armtimer1(col <= 2 ? 1 : col <= 4 ? 3 : 5, Timer1Purpose::NextTurn);
    }
}

void TServer::armtimer1(int ticks, Timer1Purpose purpose) {
    timer1_.stop();
    st_.waitticks = ticks;
    st_.timer1purpose = purpose;
    timer1_.start(host_.timeSpeedMs());
}

int TServer::checkword(int seat, int row) {
    if (!validSeat(seat) || row < 1 || row > kRows) return 0;
    int n = 0;
    for (int c = 1; c <= kColumns; ++c)
        if (st_.board[row][c] != 0) n = c;
    // Slot 1 holds the newest letter, slot n the letter of cell 1.
    char slots[kColumns];
    for (int k = 1; k <= n; ++k) slots[k - 1] = convertoletter(st_.board[row][n + 1 - k]);

    std::string found;
    const int total = finder().score(slots, n, &found);
    if (total > 0) {
        st_.players[seat].score += total;
        sendall(proto::msg::ascore(seat, st_.players[seat].score, total, found));
    }
    return total;
}

const WordFinder& TServer::finder() const {
    if (!finder_) finder_ = std::make_unique<WordFinder>(spell_);
    return *finder_;
}

bool TServer::checkforfull() const {
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kColumns; ++c)
            if (st_.board[r][c] == 0) return false;
    return true;
}

}  // namespace tessarin
