// The 75 tiles of a bag: how many of each letter. Every round starts from a full set, so
// the tiles not on the board and not in a seat's own rack are exactly this set less those.
#pragma once

#include <array>

#include "gamestate.h"

namespace tessarin {

// Indexed by letter code 1..26 (index 0 unused): ten A (five, then five more at the end of
// the fill order), one each of J, Q, V, X, Z.
inline constexpr std::array<int, 27> kTileCounts = {
    0,                                        //
    10, 3, 2, 4, 5, 2, 3, 3, 4, 1, 2, 3, 3,   // A..M
    3,  3, 2, 1, 3, 5, 4, 2, 1, 2, 1, 2, 1};  // N..Z

constexpr int tileTotal() {
    int total = 0;
    for (int n : kTileCounts) total += n;
    return total;
}
static_assert(tileTotal() == kBagSize);

}  // namespace tessarin
