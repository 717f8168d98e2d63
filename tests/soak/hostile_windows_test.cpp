// Hostile peers against a real main window (offscreen) and its own server, over loopback:
// the ways a peer, a local process or a server once closed, froze or bloated the program.
// Each replay checks that the window stays open and the process under 100 MB, and prints
// how long the window's event loop went without answering (a 5 ms timer measures the
// gaps; the aim is under 50 ms, a figure, not asserted). Floods last
// TESSARIN_HOSTILE_SECONDS each (2 by default).
//
//   1 a 60,000-byte name and a 60,000-byte chat line
//   2 chat lines of 819 smiley codes at 100 a second; a server's backlog of such lines
//   3 a login repeated 100 times a second under 2,000-byte names
//   4 a local process pushing into the lobby link as fast as it can
//   5 a server sending 60 KB messages, and seat lists of 5,400 spectators
//   7 connections that come and go without logging in
// (The single-instance marker of another user, case 6, is in client/launch_test.)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "clientrig.h"
#include "netclient.h"
#include "rss.h"
#include "serverlimits.h"

namespace tessarin::testing {

namespace {

using soak::RssSampler;

// What a replay may add to the window's memory, from its start to its peak. Growth, not
// size: under AddressSanitizer (its quarantine held small by the sanitize preset's
// ASAN_OPTIONS) the shadow of Qt's own memory alone is larger than the window.
constexpr long kMaxGrowthKib = 64 * 1024;

int floodMs() {
    const QByteArray text = qgetenv("TESSARIN_HOSTILE_SECONDS");
    return (text.isEmpty() ? 2 : std::max(1, text.toInt())) * 1000;
}

double mib(long kib) {
    return static_cast<double>(kib) / 1024.0;
}

// The longest time the event loop went without running a 5 ms timer, beyond its 5 ms.
class StallProbe {
  public:
    StallProbe() {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            const qint64 now = clock_.elapsed();
            worst_ = std::max(worst_, now - last_ - 5);
            last_ = now;
        });
        clock_.start();
        timer_.start(5);
    }
    qint64 worstMs() const { return worst_; }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 worst_ = 0;
};

// A listening socket on a free loopback port, for a hostile lobby or server.
class RawListener {
  public:
    RawListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 4);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length);
        port_ = ntohs(a.sin_port);
    }
    ~RawListener() { ::close(fd_); }
    int port() const { return port_; }
    // Runs the event loop until a connection waits, then takes it; -1 after 5 s.
    int accept() {
        pollfd p{fd_, POLLIN, 0};
        if (!QTest::qWaitFor([&] { return ::poll(&p, 1, 0) == 1; }, 5000)) return -1;
        return ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

// Writes `chunk` over and over from a thread of its own, as another process would, until
// stopped or the window closes the connection.
class Pusher {
  public:
    Pusher(int fd, std::string chunk) : fd_(fd), chunk_(std::move(chunk)) {
        thread_ = std::thread([this] {
            while (!stop_) {
                const ssize_t n = ::send(fd_, chunk_.data(), chunk_.size(), MSG_NOSIGNAL);
                if (n <= 0) break;
                pushed_ += static_cast<std::uint64_t>(n);
            }
            ended_ = true;
        });
    }
    ~Pusher() {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        thread_.join();
        ::close(fd_);
    }
    std::uint64_t pushed() const { return pushed_; }
    bool ended() const { return ended_; }

  private:
    int fd_;
    std::string chunk_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> ended_{false};
    std::atomic<std::uint64_t> pushed_{0};
    std::thread thread_;
};

std::string smileyLine() {
    std::string text;
    for (int i = 0; i < 819; ++i) text += ":)#" + std::to_string(10 + i % 18);
    return text;
}

// Hosts a game in the window and waits for it to be seated.
void host(Rig& rig) {
    rig.chat->show();
    rig.chat->processparams({});
    QVERIFY(rig.waitForChat(QStringLiteral("You are Connected.")));
}

}  // namespace

class HostileWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void longNameAndLongChatLine() {
        Rig rig;
        host(rig);
        StallProbe probe;
        RawClient bad(rig.server.port());
        const int seat = bad.login(std::string(60'000, 'L'));
        QVERIFY(seat > 0);
        bad.send(proto::request::chat(seat, std::string(60'000, 'c') + "|clRed"));
        QVERIFY(rig.waitForChat(QString(static_cast<int>(proto::kMaxNameLength), u'L') +
                                " chats: " + QString(static_cast<int>(proto::kMaxChatText), u'c')));
        QTest::qWait(200);
        QVERIFY(rig.chat->isVisible());
        std::printf("replay 1: window open, stall %lld ms\n", probe.worstMs());
    }

    void smileyFlood() {
        Rig rig;
        host(rig);
        RawClient bad(rig.server.port());
        const int seat = bad.login("Flood");
        QVERIFY(seat > 0);
        const std::string line = proto::request::chat(seat, smileyLine() + "|clRed");
        RssSampler rss;
        rss.start(100);
        StallProbe probe;
        QTimer flood;
        int sent = 0;
        connect(&flood, &QTimer::timeout, [&] {
            bad.send(line);
            ++sent;
        });
        flood.start(10);
        QTest::qWait(floodMs());
        flood.stop();
        QTest::qWait(100);
        const auto shown = rig.chatText().count(QStringLiteral("Flood chats:"));
        std::printf(
            "replay 2: %d smiley lines sent, %lld shown, stall %lld ms, memory %.1f -> peak %.1f "
            "MiB\n",
            sent, static_cast<long long>(shown), probe.worstMs(), mib(rss.first()),
            mib(rss.peak()));
        QVERIFY(shown <= limits::kChatLines * (floodMs() / limits::kChatWindowMs + 1));
        QVERIFY2(rss.peak() - rss.first() < kMaxGrowthKib, "grew by more than 64 MiB");
        QVERIFY(rig.chat->isVisible());
    }

    // A server that does not keep to the rate: a backlog of smiley lines, then a turn.
    void gameMessagesPassAChatBacklog() {
        Rig rig;
        host(rig);
        std::vector<std::string> order;
        std::vector<qint64> costs;
        const auto dispatch = rig.chat->link().dispatchLine;
        rig.chat->link().dispatchLine = [&](std::string_view message) {
            QElapsedTimer cost;
            cost.start();
            dispatch(message);
            costs.push_back(cost.elapsed());
            order.emplace_back(message.substr(0, message.find('+')));
        };
        std::string backlog;
        for (int i = 0; i < 300; ++i) backlog += "CMD_chat+2+Flood chats: " + smileyLine() + "\xFF";
        rig.chat->link().sockRead(backlog + "CMD_roundstart+1+\xFF");
        QVERIFY(QTest::qWaitFor([&] { return order.size() == 301; }, 20000));
        QCOMPARE(order.front(), std::string("CMD_roundstart"));
        std::vector<qint64> sorted(costs.begin() + 1, costs.end());
        std::sort(sorted.begin(), sorted.end());
        std::printf(
            "replay 2: a server's smiley line costs the window %lld ms (p50), %lld ms "
            "(max); the turn went first past 300 of them\n",
            sorted[sorted.size() / 2], sorted.back());
    }

    void repeatedLogins() {
        Rig rig;
        host(rig);
        RawClient bob(rig.server.port()), cy(rig.server.port());
        QCOMPARE(bob.login("Bob"), 2);
        QCOMPARE(cy.login("Cy"), 3);
        RawClient bad(rig.server.port());
        const int seat = bad.login("Relog");
        QCOMPARE(seat, 4);
        QVERIFY(rig.waitForChat(QStringLiteral("Relog is spying.")));
        const long before = RssSampler::residentKib();
        StallProbe probe;
        QTimer again;
        connect(&again, &QTimer::timeout, [&] {
            bad.send(proto::request::logininfo(seat, "1.0.1", std::string(2000, 'R')));
        });
        again.start(10);
        QTest::qWait(floodMs());
        again.stop();
        QTest::qWait(200);
        const long after = RssSampler::residentKib();
        std::printf("replay 3: spy lines %lld, stall %lld ms, memory %.1f -> %.1f MiB\n",
                    static_cast<long long>(rig.spies.size()), probe.worstMs(), mib(before),
                    mib(after));
        QCOMPARE(rig.spies, QStringList{"4: Relog"});
        QVERIFY2(after - before < kMaxGrowthKib, "grew by more than 64 MiB");
    }

    void lobbyLinkFlood() {
        Rig rig;
        RawListener lobby;
        rig.chat->setPorts(0, lobby.port());
        rig.chat->show();
        rig.chat->processparams({"Ann", "127.0.0.1", "true"});
        const int fd = lobby.accept();
        QVERIFY(fd >= 0);
        RssSampler rss;
        rss.start(100);
        StallProbe probe;
        std::uint64_t pushed = 0;
        {
            Pusher pusher(fd, std::string(1 << 20, 'x'));
            QTest::qWait(floodMs());
            pushed = pusher.pushed();
        }
        std::printf(
            "replay 4: %.0f MiB pushed into the lobby link, stall %lld ms, memory %.1f -> peak "
            "%.1f MiB\n",
            static_cast<double>(pushed) / (1 << 20), probe.worstMs(), mib(rss.first()),
            mib(rss.peak()));
        QVERIFY(pushed > 64u << 20);
        QVERIFY2(rss.peak() - rss.first() < kMaxGrowthKib, "grew by more than 64 MiB");
        QVERIFY(rig.waitForChat(QStringLiteral("You are Connected.")));
    }

    void hostileServer() {
        RawListener hostile;
        RssSampler rss;
        rss.start(100);
        {
            // Seat lists far beyond nine seats.
            Rig rig;
            rig.chat->setPorts(hostile.port(), 1);
            rig.chat->processparams({"Ann", "127.0.0.1", "false"});
            const int fd = hostile.accept();
            QVERIFY(fd >= 0);
            StallProbe probe;
            std::string spies = "CMD_sendlogininfo+5\xFF";
            for (int i = 0; i < 20; ++i) {
                spies += "CMD_existingplayers";
                for (int j = 0; j < 5400; ++j) spies += "+" + std::to_string(4 + j % 20) + "+Spy+0";
                spies += '\xFF';
            }
            QCOMPARE(::send(fd, spies.data(), spies.size(), MSG_NOSIGNAL),
                     static_cast<ssize_t>(spies.size()));
            QVERIFY(rig.waitForChat(QStringLiteral("Spy is spying.")));
            QTest::qWait(500);
            std::printf("replay 5: 20 seat lists of 5,400 spectators, stall %lld ms\n",
                        probe.worstMs());
            QVERIFY(rig.chat->link().sock().connected());
            ::close(fd);
        }
        {
            // Long messages nobody knows: held by bytes, not only by count.
            Rig rig;
            rig.chat->setPorts(hostile.port(), 1);
            rig.chat->processparams({"Ann", "127.0.0.1", "false"});
            const int fd = hostile.accept();
            QVERIFY(fd >= 0);
            const long base = rss.warmUp();  // this window's own start left out
            StallProbe probe;
            std::size_t mostQueued = 0;
            QTimer watch;
            connect(&watch, &QTimer::timeout,
                    [&] { mostQueued = std::max(mostQueued, rig.chat->link().queuedBytes()); });
            watch.start(1);
            Pusher pusher(fd, "CMD_nonsense+" + std::string(60'000, 'x') + "\xFF");
            static_cast<void>(QTest::qWaitFor([&] { return pusher.ended(); }, floodMs()));
            std::printf(
                "replay 5: 60 KB messages: %.0f MiB sent, connection %s, at most %.1f "
                "MiB queued, stall %lld ms, memory %.1f -> peak %.1f MiB\n",
                static_cast<double>(pusher.pushed()) / (1 << 20),
                pusher.ended() ? "closed by the window" : "kept up with",
                static_cast<double>(mostQueued) / (1 << 20), probe.worstMs(), mib(base),
                mib(rss.peakAfterWarmUp()));
            QVERIFY(mostQueued <= ClientLink::kMaxQueuedBytes);
            QVERIFY2(rss.peakAfterWarmUp() - base < kMaxGrowthKib, "grew by more than 64 MiB");
        }
    }

    void churnBeforeLogin() {
        Rig rig;
        std::vector<std::string> log;
        rig.server.onLog = [&](const std::string& line) { log.push_back(line); };
        host(rig);
        StallProbe probe;
        const QString before = rig.chatText();
        int cycles = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < floodMs()) {
            const int raw = rawConnect(rig.server.port());
            QVERIFY(raw >= 0);
            QVERIFY(QTest::qWaitFor([&] { return rig.server.seatOpen(2); }, 5000));
            ::close(raw);
            QVERIFY(QTest::qWaitFor([&] { return !rig.server.seatOpen(2); }, 5000));
            ++cycles;
        }
        QTest::qWait(100);
        std::printf("replay 7: %d connections came and went, %lld log lines, stall %lld ms\n",
                    cycles, static_cast<long long>(log.size()), probe.worstMs());
        QCOMPARE(rig.chatText(), before);
        QVERIFY(log.size() < 10);
    }
};

}  // namespace tessarin::testing

QTEST_MAIN(tessarin::testing::HostileWindowsTest)
#include "hostile_windows_test.moc"
