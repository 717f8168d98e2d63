// The tile bag and the deal.
#include <array>

#include "protocol.h"
#include "tileset.h"
#include "tserver.h"

namespace tessarin {

namespace {

// The 75 tiles in the order they are put into the bag: A..Z, five A first, then the five
// other A at the end.
constexpr std::array<int, kBagSize> fillOrder() {
    std::array<int, kBagSize> order{};
    int pos = 0;
    for (int letter = 1; letter <= 26; ++letter)
        for (int k = 0; k < (letter == 1 ? 5 : kTileCounts[letter]); ++k) order[pos++] = letter;
    while (pos < kBagSize) order[pos++] = 1;
    return order;
}

}  // namespace

void TServer::shuffletiles() {
    static constexpr auto order = fillOrder();
    st_.bag.fill(-1);
    for (int code : order) {
        int slot;
        do {
            slot = random_.Random(kBagSize) + 1;
        } while (st_.bag[slot] != -1);
        st_.bag[slot] = code;
    }
    st_.drawpos = 0;
}

int TServer::getletter() {
    ++st_.drawpos;
    if (st_.drawpos > kBagSize) {
        shuffletiles();
        ++st_.drawpos;
    }
    return st_.bag[st_.drawpos];
}

void TServer::dealtiles() {
    for (int seat = 1; seat <= st_.playerseats; ++seat) {
        tplayer& p = st_.players[seat];
        if (!p.inround) continue;
        std::vector<proto::msg::SlotTile> rack;
        for (int k = 1; k <= kRackSize; ++k) {
            p.tiles[k] = getletter();
            rack.push_back({k, p.tiles[k]});
        }
        sendto(seat, proto::msg::mytiles(seat, rack));
    }
}

char TServer::convertoletter(int code) {
    return code >= 1 && code <= 26 ? static_cast<char>('a' + code - 1) : 't';
}

}  // namespace tessarin
