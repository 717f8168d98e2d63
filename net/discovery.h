// Finding tables on the local network: the lobby sends a query to UDP port kPort of every
// broadcast address it can reach, and every table listening there answers the sender with
// one datagram saying who sits where. Both are messages in the game's own layout
// (net/protocol.h lists them), one per datagram. Plain C++, no Qt, no sockets.
//
// What a datagram may carry is bounded: a datagram over kMaxDatagram bytes, not ended by
// its one terminator, or with a field out of range is no answer at all, and the names read
// are cleaned as names on the wire are.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessarin::proto::discovery {

inline constexpr int kPort = 7772;  // UDP, beside the game's TCP port
inline constexpr std::size_t kMaxDatagram = 512;
inline constexpr std::size_t kMaxShortText = 16;  // the version and the strength

inline constexpr std::string_view kFindTables = "CMD_findtables";
inline constexpr std::string_view kTable = "CMD_table";

struct Query {
    std::string version;  // the asking lobby's game version
    int token = 0;        // 0..2^31-1, given back in the answer
};

struct Answer {
    std::string version;  // the table's game version (proto::kVersion)
    int token = 0;        // the query's
    int port = 0;         // the table's TCP port, 1..65535
    std::string name;     // the table's name: --name, else seat 1's player; may be empty
    std::array<std::string, 3> seats;  // seats 1..3: a person, the computer, or empty
    std::string computerSeats;         // the seats among 1..3 the computer plays, as "2"
    int spectators = 0;                // 0..6
    int round = 0;                     // the round being played, 0 while no game runs
    int rounds = 0;                    // rounds chosen, 0 before any game
    std::string strength;              // the computer's: "normal", "strong" or "expert"
};

std::string query(const Query& query);
std::optional<Query> readQuery(std::string_view datagram);
std::string answer(const Answer& answer);
std::optional<Answer> readAnswer(std::string_view datagram);

}  // namespace tessarin::proto::discovery
