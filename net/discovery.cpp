#include "discovery.h"

#include <algorithm>

#include "protocol.h"

namespace tessarin::proto::discovery {

namespace {

// The payload of a datagram holding exactly one message with the command word `command`.
std::optional<std::string_view> payloadOf(std::string_view datagram, std::string_view command) {
    if (datagram.size() > kMaxDatagram || datagram.empty() || datagram.back() != kTerminator)
        return std::nullopt;
    datagram.remove_suffix(1);
    if (datagram.find(kTerminator) != std::string_view::npos) return std::nullopt;
    const auto message = split(datagram);
    if (!message || message->command != command) return std::nullopt;
    return message->payload;
}

std::optional<int> inRange(std::string_view text, int low, int high) {
    // Plain digits only: no sign, no blanks, as the game writes numbers.
    if (text.empty() || text.size() > 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto value = toInt(text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
}

std::string shortText(std::string_view text) {
    std::string clean = cleanName(text);
    if (clean.size() > kMaxShortText) clean.resize(kMaxShortText);
    return clean;
}

constexpr int kMaxToken = 0x7FFFFFFF;

}  // namespace

std::string query(const Query& q) {
    return Composer(kFindTables).field(q.version).field(q.token).end();
}

std::optional<Query> readQuery(std::string_view datagram) {
    const auto payload = payloadOf(datagram, kFindTables);
    if (!payload) return std::nullopt;
    FieldReader fields(*payload);
    Query q;
    q.version = shortText(fields.field());
    const auto token = inRange(fields.field(), 0, kMaxToken);
    if (!token) return std::nullopt;
    q.token = *token;
    return q;
}

std::string answer(const Answer& a) {
    Composer message(kTable);
    message.field(a.version).field(a.token).field(a.port).field(cleanName(a.name));
    for (const std::string& seat : a.seats) message.field(cleanName(seat));
    return message.field(a.computerSeats)
        .field(a.spectators)
        .field(a.round)
        .field(a.rounds)
        .field(a.strength)
        .end();
}

std::optional<Answer> readAnswer(std::string_view datagram) {
    const auto payload = payloadOf(datagram, kTable);
    if (!payload) return std::nullopt;
    FieldReader fields(*payload);
    Answer a;
    a.version = shortText(fields.field());
    const auto token = inRange(fields.field(), 0, kMaxToken);
    const auto port = inRange(fields.field(), 1, 65535);
    a.name = cleanName(fields.field());
    for (std::string& seat : a.seats) seat = cleanName(fields.field());
    const std::string_view computer = fields.field();
    const auto spectators = inRange(fields.field(), 0, 6);
    const auto round = inRange(fields.field(), 0, 99);
    const auto rounds = inRange(fields.field(), 0, 99);
    if (fields.atEnd()) return std::nullopt;  // the strength, the last field, is missing
    a.strength = shortText(fields.field());   // later versions may add fields after it
    if (!token || !port || !spectators || !round || !rounds || computer.size() > 3 ||
        !std::all_of(computer.begin(), computer.end(), [](char c) { return c >= '1' && c <= '3'; }))
        return std::nullopt;
    a.token = *token;
    a.port = *port;
    a.computerSeats = std::string(computer);
    a.spectators = *spectators;
    a.round = *round;
    a.rounds = *rounds;
    return a;
}

}  // namespace tessarin::proto::discovery
