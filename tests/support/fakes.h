// Test doubles for the server's seams, and a server wired to them.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "serverseams.h"
#include "tdictn.h"
#include "tempdir.h"
#include "tserver.h"

namespace tessarin::testing {

// A composed message without its 0xFF, as the receiving side's queue holds it.
inline std::string unframed(std::string message) {
    if (!message.empty()) message.pop_back();
    return message;
}

class FakeTicker : public Ticker {
  public:
    void start(int intervalMs) override {
        running_ = true;
        interval = intervalMs;
        ++starts;
    }
    void stop() override { running_ = false; }
    bool running() const override { return running_; }
    int interval = 0;
    int starts = 0;

  private:
    bool running_ = false;
};

// Records everything the server sends. One log keeps the order across seats.
class FakeHost : public ServerHost {
  public:
    struct Sent {
        int seat;
        std::string message;  // without its 0xFF
    };
    void sendToSeat(int seat, const std::string& message) override;
    void showHostError(const std::string& text) override { errors.push_back(text); }
    void closeSeat(int seat) override;
    int botSpeedMs() const override { return botSpeed; }
    int timeSpeedMs() const override { return timeSpeed; }
    BotStrength botStrength(int seat) const override { return strengths[seat]; }
    // "s1", "s2", ...: foreseeable in the messages a test expects.
    std::string newSecret() override { return "s" + std::to_string(++secrets); }

    // Messages to one seat, in order.
    std::vector<std::string> to(int seat) const;
    // Messages to one seat whose command word is `command`.
    std::vector<std::string> to(int seat, std::string_view command) const;
    void clear() { log.clear(); }

    std::vector<Sent> log;
    std::vector<std::string> errors;
    std::vector<int> closed;
    int botSpeed = 1000;
    int timeSpeed = 1000;
    std::array<BotStrength, kSeatSlots + 1> strengths{};  // all Normal
    TServer* server = nullptr;  // told about departures when a seat is closed
    bool missingTerminator = false;
    int secrets = 0;
};

// The embedded word list, written once per test program into a private directory.
const TDictn& sharedDictionary();

// A server with fake seams. Seats can be filled as if clients had connected and logged in.
struct ServerRig {
    explicit ServerRig(std::uint32_t seed = 1, const TDictn& spell = sharedDictionary());
    // Seats a client named `name` in the next free seat and logs it in; returns the seat.
    int join(const std::string& name);
    // Delivers due ticks of both timers until `until` is true or `maxTicks` ticks have run.
    // Returns the number of ticks delivered.
    template <typename Pred>
    int run(Pred until, int maxTicks = 100000);

    FakeHost host;
    TRandom random;
    FakeTicker timer1;
    FakeTicker computertimer;
    TServer server;
};

template <typename Pred>
int ServerRig::run(Pred until, int maxTicks) {
    int ticks = 0;
    while (!until() && ticks < maxTicks) {
        if (computertimer.running())
            server.computertimerTimer();
        else if (timer1.running())
            server.timer1Timer();
        else
            break;
        ++ticks;
    }
    return ticks;
}

}  // namespace tessarin::testing
