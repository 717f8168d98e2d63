// GET /metrics in the Prometheus text format (version 0.0.4), served by Qt HttpServer on an
// address of its own: connections, seated players and spectators, games started and
// finished, letters placed, the wall time of each call into the game as a histogram, bytes
// queued and unsent, and what the server's limits turned away. Hosting feeds it after every
// call into the game; everything else is read from the server when scraped.
#pragma once

#include <QHttpServer>

#include <array>
#include <cstdint>
#include <string>

#include "hostport.h"

namespace tessarin {

class ServerConnections;

class Metrics {
  public:
    // `server` must outlive this object.
    explicit Metrics(const ServerConnections& server);

    // Listens on `address` (an IP address, or "localhost"); the port listened on, 0 when
    // it cannot.
    quint16 listen(const proto::HostPort& address);
    // After each call into the game.
    void stepped();
    // The page served.
    QByteArray text() const;

  private:
    static constexpr std::array<double, 10> kBuckets{0.0001, 0.00025, 0.0005, 0.001, 0.0025,
                                                     0.005,  0.01,    0.025,  0.05,  0.25};

    const ServerConnections& server_;
    QHttpServer http_;
    std::uint64_t gamesStarted_ = 0;
    std::uint64_t gamesFinished_ = 0;
    std::uint64_t placements_ = 0;
    int lettersOnBoard_ = 0;
    bool playing_ = false;
    std::array<std::uint64_t, kBuckets.size()> stepBuckets_{};  // each bucket's own count
    std::uint64_t steps_ = 0;
    double stepSeconds_ = 0;
};

}  // namespace tessarin
