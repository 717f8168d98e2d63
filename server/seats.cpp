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

void TServer::seattaken(int seat) {
    if (seat < 1 || seat > kMaxSeats) return;
    seats_.arrived(seat);
    sendto(seat, proto::msg::sendlogininfo(seat));
}

void TServer::departure(int seat) {
    if (!validSeat(seat)) return;
    const std::string name = st_.players[seat].name;
    if (seats_.departed(seat)) {
        const std::string notice = proto::msg::playerdisconnected(seat, name);
        for (int other = 1; other <= st_.lastseat; ++other)
            if (other != seat) sendto(other, notice);
    }
    // The computer plays the seat's remaining turns; this one passes on now.
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
        {proto::kSecret, &TServer::secret},
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
    // Before its login a connection is nobody: it may only log in, or say whose it is.
    if (!validSeat(fromSeat)) return;
    if (!st_.players[fromSeat].loggedin && command != proto::kLoginInfo &&
        command != proto::kSecret)
        return;

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

void TServer::secret(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    const int own = seats_.present(seat, fields.rest());
    if (own == 0 || own == seat) return;
    host_.moveSeat(seat, own);
    sendto(own, proto::msg::sendlogininfo(own));
}

void TServer::receivedlogininfo(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    const std::string_view version = fields.field();
    switch (seats_.login(seat, proto::cleanName(fields.rest()))) {
        case SeatKeeper::Login::Ignored:
            return;
        case SeatKeeper::Login::Refused:
            sendto(seat, proto::msg::full());
            disconnectsock(seat);
            return;
        case SeatKeeper::Login::Newcomer:
            welcome(seat, version, false);
            return;
        case SeatKeeper::Login::Returning:
            welcome(seat, version, true);
            return;
    }
}

void TServer::welcome(int seat, std::string_view version, bool returning) {
    tplayer& player = st_.players[seat];
    const std::string& name = player.name;
    if (seat <= kPlayerSeats) {
        seats_.setsecret(seat, host_.newSecret());
        sendto(seat, proto::msg::secret(seats_.secret(seat)));
    }
    sendall(proto::msg::newplayerinfo(seat, name));

    std::vector<proto::msg::SeatGroup> others;
    for (int j = 1; j <= st_.lastseat; ++j)
        if (j != seat && st_.players[j].human())
            others.push_back({j, st_.players[j].name, st_.players[j].watching});
    if (!others.empty()) sendto(seat, proto::msg::existingplayers(others));

    if (version != proto::kVersion) {
        sendto(1, proto::msg::havewrongversion(name));
        sendto(seat, proto::msg::wrongversion());
    }
    if (returning)
        for (int other = 1; other <= st_.lastseat; ++other)
            if (other != seat && st_.players[other].human())
                sendto(other, proto::msg::notice(name + " is back."));

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
    seats_.remove(seat);
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
