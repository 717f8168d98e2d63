#include "tserver.h"

#include "protocol.h"

namespace tessarin {

TServer::TServer(ServerHost& host, TRandom& random, const TDictn& spell, Ticker& timer1,
                 Ticker& computertimer)
    : host_(host), random_(random), spell_(spell), timer1_(timer1), computertimer_(computertimer) {
    for (int seat = 1; seat <= kPlayerSeats; ++seat)
        st_.players[seat].botname = proto::computerName(seat);
}

void TServer::sendto(int seat, const std::string& message) {
    if (validSeat(seat) && st_.players[seat].connected) host_.sendToSeat(seat, message);
}

void TServer::sendall(const std::string& message) {
    // The table's messages go to those at the table: a connection that has not logged in
    // learns the game from its welcome.
    for (int seat = 1; seat <= st_.lastseat; ++seat)
        if (st_.players[seat].human()) sendto(seat, message);
}

void TServer::hosterror(std::string_view code) {
    host_.showHostError("Error " + std::string(code) + " - Contact " + supportContact_);
}

}  // namespace tessarin
