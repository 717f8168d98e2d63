// The server under load: nine seats over loopback, of which one floods chat with smiley
// lines, one trickles its messages a byte at a time, one logs in under a 60,000-byte name,
// sends a 60,000-byte chat line and then logs in again and again, and the last is fought
// over by one that sends garbage and one that connects and leaves over and over (every
// other time without logging in), while three honest ones (the host watching, two players)
// and two honest spectators see a game against the computer through to its winner. Each
// honest client must receive exactly the bytes the server sent to its seat, none of them
// longer than the longest relayed chat line; chat keeps to its rate, a repeated login and
// a departure before login reach nobody, and the process's memory must stay flat.
//
// Games follow one another for 15 seconds, or for TESSARIN_SOAK_SECONDS; the trickler sends
// a byte every 10 ms, or a byte a second in runs of two minutes and more.
#include <gtest/gtest.h>

#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fakes.h"
#include "netclient.h"
#include "protocol.h"
#include "rss.h"
#include "serverconnections.h"
#include "serverlimits.h"
#include "soakclients.h"
#include "trandom.h"

namespace tessarin::soak {
namespace {

using testing::ensureQtApp;
using testing::waitFor;

// The server, telling each watched seat's client what it sends there.
class WatchedServer : public ServerConnections {
  public:
    using ServerConnections::ServerConnections;
    void watch(int seat, HonestClient* client) { watchers_.at(seat) = client; }
    void sendToSeat(int seat, const std::string& message) override {
        if (seatOpen(seat)) {
            ++sent;
            if (watchers_.at(seat) != nullptr) watchers_[seat]->expect(message);
        }
        ServerConnections::sendToSeat(seat, message);
    }
    std::uint64_t sent = 0;

  private:
    std::array<HonestClient*, kMaxSeats + 1> watchers_{};
};

int soakSeconds() {
    const char* text = std::getenv("TESSARIN_SOAK_SECONDS");
    return text ? std::max(0, std::atoi(text)) : 15;
}

double mib(long kib) {
    return static_cast<double>(kib) / 1024.0;
}

TEST(Soak, NineClientsAndAGameAgainstTheComputer) {
    ensureQtApp();
    const int seconds = soakSeconds();
    const auto began = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    };

    TRandom random(11);
    WatchedServer server(random, testing::sharedDictionary());
    int drops = 0, logLines = 0;
    server.onLog = [&](const std::string& line) {
        ++logLines;
        drops += line.find("closing the connection") != std::string::npos;
    };
    server.setPortName("0");
    server.setBotSpeedMs(20);
    server.setTimeSpeedMs(20);
    server.listen();
    const int port = server.port();

    // Seats 1..5, in order: the host (watching, so the computer plays seat 1), two players,
    // two spectators.
    std::vector<std::unique_ptr<HonestClient>> honest;
    const std::pair<const char*, bool> people[] = {
        {"Ann", false}, {"Bob", true}, {"Cy", true}, {"Dee", false}, {"Eve", false}};
    for (const auto& [name, plays] : people) {
        honest.push_back(std::make_unique<HonestClient>(port, name, plays));
        HonestClient& client = *honest.back();
        const int seat = static_cast<int>(honest.size());
        server.watch(seat, &client);
        client.open();
        ASSERT_TRUE(waitFor([&] { return client.loggedIn(); })) << name << " did not log in";
        ASSERT_EQ(client.seat(), seat);
    }
    HonestClient& host = *honest.front();

    Flooder flood(port);
    Garbage garbage(port);
    Trickler trickle(port, seconds >= 120 ? 1000 : 10);
    Looper looper(port);
    Relogger relog(port);
    flood.open();
    ASSERT_TRUE(waitFor([&] { return flood.sent() > 0; }));
    trickle.open();
    ASSERT_TRUE(waitFor([&] { return trickle.seat() != 0; }));
    const int trickleSeat = trickle.seat();
    relog.open();
    ASSERT_TRUE(waitFor([&] { return relog.seat() != 0; }));
    garbage.open();
    looper.open();

    RssSampler rss;
    rss.start(250);
    // Warm-up: every kind of traffic is flowing and the server's buffers have grown.
    waitFor([] { return false; }, 2000);
    const long warmKib = rss.warmUp();

    int games = 0;
    do {
        host.send(proto::request::startgame("Ann", "1") + proto::request::justwatch(1, true));
        ++games;
        const bool won = waitFor(
            [&] {
                return std::all_of(honest.begin(), honest.end(),
                                   [&](const auto& c) { return c->winners() == games; });
            },
            100000);
        ASSERT_TRUE(won) << "game " << games << " stalled after " << host.placements().size()
                         << " placements";
    } while (elapsed() < seconds);

    flood.stop();
    garbage.stop();
    trickle.stop();
    looper.stop();
    relog.stop();
    const bool drained = waitFor(
        [&] {
            return std::all_of(honest.begin(), honest.end(),
                               [](const auto& c) { return c->drained() || !c->fault().empty(); });
        },
        20000);
    rss.stop();

    for (const auto& client : honest) {
        SCOPED_TRACE(client->seat());
        EXPECT_EQ(client->fault(), "");
        // The last game: every placement once, in the same order for everybody, and the
        // board built from them is the server's.
        EXPECT_EQ(client->placements().size(), 36u * client->rounds());
        EXPECT_EQ(client->placements(), host.placements());
        const auto& board = server.server().state().board;
        for (int row = 1; row <= 6; ++row)
            for (int column = 1; column <= 6; ++column)
                EXPECT_EQ(client->board()[row][column], board[row][column])
                    << "row " << row << ", column " << column;
        // The trickled chat lines arrive whole, each once, in order.
        const std::vector<int> slow = client->slowLines(trickleSeat);
        ASSERT_FALSE(slow.empty());
        for (std::size_t i = 0; i < slow.size(); ++i) EXPECT_EQ(slow[i], static_cast<int>(i) + 1);
        // Nothing a peer sent made a message long, a login count twice, or a connection
        // that never logged in leave aloud.
        EXPECT_LT(client->longest(), proto::kMaxRelayedLine);
        EXPECT_LE(client->arrivals("Relog"), relog.connections());
        EXPECT_EQ(client->namelessDepartures(), 0);
    }
    EXPECT_TRUE(drained);
    EXPECT_EQ(trickle.reconnects(), 0);
    // The misbehaving clients did misbehave, and chat kept to its rate: the flood's sender
    // alone was told, once.
    EXPECT_GT(flood.sent(), 100u);
    EXPECT_GT(flood.echoed(), 0u);
    EXPECT_LE(flood.echoed(),
              static_cast<std::uint64_t>(limits::kChatLines) *
                  static_cast<std::uint64_t>(elapsed() * 1000 / limits::kChatWindowMs + 1));
    EXPECT_EQ(flood.notices(), 1);
    EXPECT_EQ(flood.reconnects(), 0);
    EXPECT_GT(relog.relogins(), 100u);
    EXPECT_GT(garbage.sent(), 100000u);
    EXPECT_GT(looper.cycles(), 10);
    EXPECT_GT(looper.silentCycles(), 0);

    const long growth = rss.peakAfterWarmUp() - warmKib;
    std::uint64_t received = 0, receivedBytes = 0;
    for (const auto& client : honest) {
        received += client->messages();
        receivedBytes += client->bytes();
    }
    std::printf(
        "soak: %.1f s, %d game(s); server sent %llu messages; honest clients received %llu "
        "messages (%llu bytes); flood sent %llu chat lines, %llu relayed back, %d notice(s), "
        "%d reconnects; relogger %d connection(s), %llu logins ignored; garbage %llu bytes, %d "
        "reconnects; trickle %d lines; looper %d cycles (%d silent); %d connections closed by "
        "the server, %d log lines\n"
        "memory: %.1f MiB at start, %.1f MiB after warm-up, peak %.1f MiB, end %.1f MiB, "
        "growth after warm-up %.1f MiB\n",
        elapsed(), games, static_cast<unsigned long long>(server.sent),
        static_cast<unsigned long long>(received), static_cast<unsigned long long>(receivedBytes),
        static_cast<unsigned long long>(flood.sent()),
        static_cast<unsigned long long>(flood.echoed()), flood.notices(), flood.reconnects(),
        relog.connections(), static_cast<unsigned long long>(relog.relogins()),
        static_cast<unsigned long long>(garbage.sent()), garbage.reconnects(), trickle.completed(),
        looper.cycles(), looper.silentCycles(), drops, logLines, mib(rss.first()), mib(warmKib),
        mib(rss.peak()), mib(rss.last()), mib(growth));
    // AddressSanitizer holds freed memory back for a while, so its figures say nothing
    // about growth.
    if (!RssSampler::underAddressSanitizer()) {
        EXPECT_LT(mib(growth), 48.0);
    }
}

}  // namespace
}  // namespace tessarin::soak
