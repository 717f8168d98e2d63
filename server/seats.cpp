// Seats: giving connections a seat, login and welcome, relays, just watch, removal and
// departure, and the dispatcher that hands each received message to its handler.
#include <algorithm>

#include "protocol.h"
#include "tserver.h"

namespace tessarin {

namespace {

// A relayed "text|colour": the text and the colour each cut to their length.
std::string relayText(std::string_view rest) {
    const auto bar = rest.find('|');
    std::string out = proto::stripUnsafe(rest.substr(0, std::min(bar, proto::kMaxChatText)));
    if (bar != std::string_view::npos)
        out += proto::stripUnsafe(rest.substr(bar, 1 + proto::kMaxColourText));
    return out;
}

}  // namespace

int TServer::chooseseat() const {
    if (st_.lastseat == 0) return 1;
    // A seat held for a departed player goes to a newcomer only when no other is left.
    int held = 0;
    for (int seat = 1; seat <= st_.lastseat; ++seat) {
        const tplayer& player = st_.players[seat];
        if (player.connected) continue;
        if (player.heldfor.empty()) return seat;
        if (held == 0) held = seat;
    }
    return st_.lastseat < kMaxSeats ? st_.lastseat + 1 : held;
}

void TServer::seattaken(int seat) {
    if (seat < 1 || seat > kMaxSeats) return;
    st_.lastseat = std::max(st_.lastseat, seat);
    asklogin(seat);
}

void TServer::asklogin(int seat) {
    tplayer& player = st_.players[seat];
    player.connected = true;
    player.loggedin = false;
    player.loginexpected = true;
    sendto(seat, proto::msg::sendlogininfo(seat));
}

int TServer::heldseat(std::string_view name) const {
    for (int seat = 1; seat <= kPlayerSeats; ++seat)
        if (!st_.players[seat].heldfor.empty() && st_.players[seat].heldfor == name) return seat;
    return 0;
}

void TServer::releasehold(int seat) {
    if (validSeat(seat)) st_.players[seat].heldfor.clear();
}

void TServer::departure(int seat) {
    if (!validSeat(seat)) return;
    tplayer& player = st_.players[seat];
    if (player.connected && player.loggedin) {
        const std::string notice = proto::msg::playerdisconnected(seat, player.name);
        for (int other = 1; other <= st_.lastseat; ++other)
            if (other != seat) sendto(other, notice);
    }
    // A player who drops out of a game may come back to the seat; a hold not yet reclaimed
    // (the returning connection went again before logging in here) stays.
    if (st_.gamestarted && seat <= kPlayerSeats && player.loggedin && !player.removed &&
        !player.name.empty())
        player.heldfor = player.name;
    player.connected = false;
    player.removed = false;
    player.loginexpected = false;
    player.loggedin = false;
    player.name.clear();
    player.watching = false;
    // The computer plays the seat's remaining turns of the round; this one passes on now.
    if (st_.gamestarted && seat == st_.whoseturn) findplayer();
}

void TServer::disconnectsock(int seat) {
    if (validSeat(seat) && st_.players[seat].connected) host_.closeSeat(seat);
}

void TServer::dispatch(int fromSeat, std::string_view line) {
    const auto message = proto::split(line);
    if (!message) return;
    // Plain names rather than a structured binding: clang before 16 cannot capture one.
    const std::string_view command = message->command;
    const std::string_view payload = message->payload;

    using Handler = void (TServer::*)(std::string_view);
    struct Entry {
        std::string_view command;
        Handler handler;
    };
    static constexpr Entry table[] = {
        {proto::kLoginInfo, &TServer::receivedlogininfo},
        {proto::kKickHim, &TServer::kickhim},
        {proto::kChat, &TServer::chat},
        {proto::kAction, &TServer::action},
        {proto::kPlayASound, &TServer::playasound},
        {proto::kStartGame, &TServer::startgame},
        {proto::kJustWatch, &TServer::justwatch},
        {proto::kPlaceIt, &TServer::placeit},
    };
    const auto entry = std::find_if(std::begin(table), std::end(table),
                                    [&](const Entry& e) { return e.command == command; });
    if (entry == std::end(table)) return;

    // Every request but the start names a seat first; it must be the sender's own.
    if (command != proto::kStartGame) {
        const int seat = proto::FieldReader(payload).integer();
        const bool hostSetsWatch =
            command == proto::kJustWatch && fromSeat == 1 && (seat == 2 || seat == 3);
        if (seat != fromSeat && !hostSetsWatch) return;
    }
    if ((command == proto::kStartGame || command == proto::kKickHim) && fromSeat != 1) return;
    (this->*entry->handler)(payload);
}

void TServer::receivedlogininfo(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    const std::string_view version = fields.field();
    if (!validSeat(seat)) return;
    tplayer& player = st_.players[seat];
    // One login per connection, unless the server asked for it again.
    if (!player.loginexpected) return;
    const std::string name = proto::cleanName(fields.rest());
    // A player back within the hold returns to the seat kept for the name, with its score
    // and rack: the connection moves there and is asked to log in again in that seat.
    const int held = heldseat(name);
    if (held != 0 && held != seat && !st_.players[held].connected) {
        player.connected = false;
        player.loggedin = false;
        player.loginexpected = false;
        host_.moveSeat(seat, held);
        asklogin(held);
        return;
    }
    player.loginexpected = false;
    player.heldfor.clear();  // reclaimed, or given to a newcomer when no other seat was free
    player.name = name;
    player.connected = true;
    player.loggedin = true;
    sendall(proto::msg::newplayerinfo(seat, name));

    std::vector<proto::msg::SeatGroup> others;
    for (int j = 1; j <= st_.lastseat; ++j)
        if (j != seat && st_.players[j].connected)
            others.push_back({j, st_.players[j].name, st_.players[j].watching});
    if (!others.empty()) sendto(seat, proto::msg::existingplayers(others));

    if (version != proto::kVersion) {
        sendto(1, proto::msg::havewrongversion(name));
        sendto(seat, proto::msg::wrongversion());
    }

    if (!st_.gamestarted) return;
    if (seat <= kPlayerSeats) {
        std::vector<proto::msg::SlotTile> rack;
        for (int k = 1; k <= kRackSize; ++k) rack.push_back({k, player.tiles[k]});
        sendto(seat, proto::msg::mytiles(seat, rack));
    }
    proto::msg::GameStats stats{seat,
                                st_.whoseturn,
                                player.inround,
                                st_.playtoscore,
                                st_.round,
                                st_.column,
                                {st_.players[1].score, st_.players[2].score, st_.players[3].score},
                                {}};
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kColumns; ++c)
            if (st_.board[r][c] != 0) stats.cells.push_back({r, c, st_.board[r][c]});
    sendto(seat, proto::msg::gamestats(stats));
}

void TServer::kickhim(std::string_view payload) {
    proto::FieldReader fields(payload);
    if (fields.integer() != 1) return;
    const int seat = fields.integer();
    if (!validSeat(seat) || !st_.players[seat].connected) return;
    // Told first, so that the removed client closes instead of reconnecting.
    sendto(seat, proto::msg::removed());
    st_.players[seat].removed = true;
    disconnectsock(seat);
}

void TServer::justwatch(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    if (seat < 1 || seat > st_.playerseats) return;
    tplayer& player = st_.players[seat];
    // The computer already plays a seat without a human, and a watcher's: setting it again
    // would only pass the current turn on.
    if (!player.connected) return;
    const std::string_view flag = fields.rest();
    if (flag == "2") {
        st_.players[seat].watching = false;
        sendall(proto::msg::justwatching(seat, false));
    } else if (flag == "1" && st_.gamestarted && !player.watching) {
        st_.players[seat].watching = true;
        sendall(proto::msg::justwatching(seat, true));
        if (seat == st_.whoseturn) findplayer();
    }
}

void TServer::chat(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    if (!validSeat(seat)) return;
    sendall(proto::msg::chatline(std::to_string(seat), st_.players[seat].name,
                                 relayText(fields.rest())));
}

void TServer::action(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    if (!validSeat(seat)) return;
    sendall(proto::msg::actionline(std::to_string(seat), st_.players[seat].name,
                                   relayText(fields.rest())));
}

void TServer::playasound(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    if (!validSeat(seat)) return;
    sendall(proto::msg::playasound(
        seat, proto::stripUnsafe(fields.rest().substr(0, proto::kMaxSoundText))));
}

}  // namespace tessarin
