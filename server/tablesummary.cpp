#include "tablesummary.h"

#include "protocol.h"

namespace tessarin {

TableSummary summarise(const GameState& state) {
    TableSummary summary;
    for (int seat = 1; seat <= kMaxSeats; ++seat) {
        const tplayer& player = state.players[seat];
        const bool person = player.connected && player.loggedin;
        if (seat > kPlayerSeats) {
            summary.spectators += person ? 1 : 0;
            continue;
        }
        TableSummary::Seat& shown = summary.seats[seat - 1];
        if (person) {
            shown.name = player.name;
            ++summary.players;
        } else if (seat == 2 || (state.gamestarted && player.inround)) {
            // Seat 2 is the computer's when empty; during a game it also plays seats whose
            // player left.
            shown.name = proto::computerName(seat);
            shown.computer = true;
        }
    }
    summary.playing = state.gamestarted;
    summary.round = state.gamestarted ? state.round : 0;
    summary.rounds = state.playtoscore;
    return summary;
}

}  // namespace tessarin
