// A game from its start to the winner: rounds, turns and the pauses between them.
#include <algorithm>

#include "protocol.h"
#include "tserver.h"

namespace tessarin {

void TServer::startgame(std::string_view request) {
    // The first turn goes to a human; without one in seats 1..3 there is nobody to start.
    bool human = false;
    for (int seat = 1; seat <= kPlayerSeats; ++seat) human |= st_.players[seat].human();
    if (!human) return;

    timer1_.stop();
    computertimer_.stop();
    st_.computermove = false;
    seats_.endholds();  // a new game ends the last one
    finder();           // the word index is built now rather than in the middle of a turn
    st_.gamestarted = true;
    proto::FieldReader fields(request);
    // Relayed to every seat and shown as a name: cleaned as login names are.
    const std::string starter = proto::cleanName(fields.field());
    // The game start window offers 1..5; a hand-made request gets the nearest of those.
    st_.playtoscore = std::clamp(proto::toInt(fields.field()).value_or(1), 1, kMaxRounds);
    sendall(proto::msg::startgame(starter, st_.playtoscore));
    latchstrengths();
    announcestrength();
    for (int seat = 1; seat <= kPlayerSeats; ++seat) {
        st_.players[seat].score = 0;
        st_.players[seat].watching = false;
    }
    int t;
    do {
        t = random_.Random(3);
    } while (!st_.players[t + 1].human());
    st_.turnpos = t;
    st_.round = 0;
    startround();
}

void TServer::latchstrengths() {
    for (int seat = 1; seat <= kPlayerSeats; ++seat) strengths_[seat] = host_.botStrength(seat);
    namedStrength_ = strengths_[2];
}

namespace {

// "Klot plays Strong." as an action line of the server's own, in the colour of the
// window's own system lines. Seat 2 is Klot's unless a human sits there; the strength also
// plays watching seats.
std::string strengthline(bool klot, BotStrength strength, std::string_view when) {
    const std::string rest =
        "plays " + std::string(strengthName(strength)) + std::string(when) + ".|clBlue";
    return proto::msg::actionline("0", klot ? "Klot" : "The computer", rest);
}

}  // namespace

void TServer::announcestrength() {
    sendall(strengthline(!st_.players[2].human(), strengths_[2], ""));
}

void TServer::startround() {
    ++st_.round;
    if (checkforwin()) return;
    st_.column = 1;
    st_.columnplays = 0;
    for (int seat = 1; seat <= kPlayerSeats; ++seat)
        st_.players[seat].inround = st_.players[seat].human() || seat == 2 || seats_.held(seat);
    for (auto& row : st_.board)
        for (int& cell : row) cell = 0;
    sendall(proto::msg::roundstart(st_.round));
    shuffletiles();
    dealtiles();
    findplayer();
}

void TServer::findplayer() {
    auto inround = [this](int seat) { return st_.players[seat].inround; };
    if (!inround(1) && !inround(2) && !inround(3)) return;

    do {
        st_.turnpos = st_.turnpos % kPlayerSeats + 1;
    } while (!inround(st_.turnpos));

    int newcolumn = 0;
    if (st_.columnplays == kRows) {
        ++st_.column;
        st_.columnplays = 0;
        newcolumn = st_.column;
        // Step back so that whoever filled the last cell of the column opens the next one.
        do {
            st_.turnpos = (st_.turnpos + kPlayerSeats - 2) % kPlayerSeats + 1;
        } while (!inround(st_.turnpos));
    }
    st_.whoseturn = st_.turnpos;
    if (st_.gamestarted && host_.botStrength(2) != namedStrength_) {
        namedStrength_ = host_.botStrength(2);
        sendall(strengthline(!st_.players[2].human(), namedStrength_, " from the next game"));
    }
    sendall(proto::msg::nextplayer(st_.whoseturn, st_.column, newcolumn));

    // The computer plays seat 2 when no human sits there, a watching human's seat, and the
    // remaining turns of a seat whose human left during the round.
    const tplayer& player = st_.players[st_.whoseturn];
    if (!player.human() || player.watching) {
        computertimer_.stop();
        st_.computermove = true;
        st_.botticks = 1;
        computertimer_.start(host_.botSpeedMs());
    }
}

void TServer::timer1Timer() {
    if (--st_.waitticks >= 1) return;
    timer1_.stop();
    const auto purpose = st_.timer1purpose;
    st_.timer1purpose = Timer1Purpose::None;
    if (purpose == Timer1Purpose::NextTurn) findplayer();
    if (purpose == Timer1Purpose::NextRound) startround();
}

bool TServer::checkforwin() {
    if (st_.round <= st_.playtoscore) return false;
    int best = 1;
    for (int seat = 2; seat <= kPlayerSeats; ++seat)
        if (st_.players[seat].score > st_.players[best].score) best = seat;
    for (int seat = 1; seat <= kPlayerSeats; ++seat)
        if (seat != best && st_.players[seat].score == st_.players[best].score) return false;
    // The name the boards show for the seat: its human's, or the computer's while no human
    // sits there (also when a human left and the computer played the seat on).
    const tplayer& winner = st_.players[best];
    sendall(
        proto::msg::winner(winner.human() && !winner.name.empty() ? winner.name : winner.botname));
    st_.gamestarted = false;
    seats_.endholds();
    return true;
}

}  // namespace tessarin
