// What the game server needs from the program around it: a way to reach seats, a way to
// tell the host about trouble, the host's speed settings, and two timers. The real program
// backs these with sockets, message boxes, the Options menu and QTimer; tests with fakes.
#pragma once

#include <string>

#include "botstrength.h"
#include "secret.h"

namespace tessarin {

class ServerHost {
  public:
    virtual ~ServerHost() = default;
    // Delivers one complete message (0xFF included) to a seat whose connection is open.
    virtual void sendToSeat(int seat, const std::string& message) = 0;
    // A problem the host should see ("Error CPerror10104 - Contact ...").
    virtual void showHostError(const std::string& text) = 0;
    // Closes a seat's connection; the connection layer then reports the departure. The
    // program's connections close once the handler that asks has returned.
    virtual void closeSeat(int seat) = 0;
    // From now on the connection of seat `from` is seat `to`'s; a connection `to` still had
    // is closed without a departure. Hosts without connections have nothing to move.
    virtual void moveSeat(int /*from*/, int /*to*/) {}
    // A new reconnect secret; the program's come from the system's random source.
    virtual std::string newSecret() { return systemSecret(); }
    // Tick lengths in milliseconds, read each time a timer is armed.
    virtual int botSpeedMs() const = 0;   // Slow 2000, Normal 1000, Fast 500
    virtual int timeSpeedMs() const = 0;  // Short 500, Normal 1000, Long 1500
    // How the computer plays `seat` (1..3), read when a game starts (and for seat 2 at each
    // turn, to name a change in the chat). The program gives every seat the host's one
    // choice; the strength benchmark pits two against each other.
    virtual BotStrength botStrength(int seat) const {
        (void)seat;
        return BotStrength::Normal;
    }
};

// A repeating timer whose ticks the owner delivers by calling the server's tick method.
class Ticker {
  public:
    virtual ~Ticker() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
};

}  // namespace tessarin
