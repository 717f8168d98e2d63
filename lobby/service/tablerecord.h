// One table as the lobby service lists it, and its JSON form: the body a table sends with
// POST /tables and each entry of the array GET /tables answers. The table's server, the service and
// the lobby window all read and write it through here, so the field names live in one place.
//
//   {"host": "203.0.113.5", "port": 7772, "name": "Ann",
//    "seats": [{"name": "Ann", "computer": false}, {"name": "Klot", "computer": true},
//              {"name": "", "computer": false}],
//    "players": 1, "spectators": 0, "playing": true, "round": 2, "rounds": 3,
//    "strength": "Normal", "version": "1.0.1"}
//
// "host" may be left out of a registration: the service then takes the address the
// registration came from. Everything but "port" may be left out; what is read is held to
// the game's own ranges, and names are cleaned as on the wire.
#pragma once

#include <QJsonObject>
#include <QString>

#include <array>
#include <optional>

namespace tessarin::lobby {

struct TableRecord {
    struct Seat {
        QString name;  // empty: free
        bool computer = false;
        bool operator==(const Seat&) const = default;
    };
    QString host;  // an address or a host name, without brackets; empty: not known yet
    int port = 0;  // 1..65535
    QString name;
    std::array<Seat, 3> seats;  // seats 1..3
    int players = 0;            // 0..3
    int spectators = 0;         // 0..6
    bool playing = false;
    int round = 0;     // 0..5, 0 while no game runs
    int rounds = 0;    // 0..5
    QString strength;  // "Normal", "Strong" or "Expert"
    QString version;   // at most kMaxVersion characters
    bool operator==(const TableRecord&) const = default;
};

inline constexpr int kMaxVersion = 16;

QJsonObject toJson(const TableRecord& table);
// nullopt, with the reason in `why`, when "port" is missing or out of range, "host" is no
// host name or address, or a field has the wrong type.
std::optional<TableRecord> fromJson(const QJsonObject& json, QString* why = nullptr);

}  // namespace tessarin::lobby
