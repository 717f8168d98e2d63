// The game server on TCP: the listener Sock1, one TSock per seat connection (its tag is the
// seat), the message queue receivedlist with its 10 ms socktimer, and the two game timers.
// It is the ServerHost of the TServer it owns. Everything runs on the one Qt event loop.
//
// Limits (serverlimits.h), so that nothing a peer sends can crash the server, grow its
// memory without bound or flood the others: an unterminated message may not pass 64 KiB,
// a connection may have at most kMaxQueuedMessages (and kMaxQueuedBytes) waiting in the
// queue, and at most kMaxUnsentBytes of output it does not read; a connection over any of
// these is closed and departs like any other. Chat beyond a connection's ChatRate is dropped
// as it arrives. A connection that has not logged in within the login timeout is closed
// too, and so is one that has pinged ("CMD_ping") and then said nothing for kDeadPeerMs; the
// sockets' TCP keepalive notices a peer whose machine has gone. When a peer closes its
// connection, the chat lines, actions and sounds it sent just before still reach the
// others; anything else it left queued is dropped unread.
//
// Who sits where is TServer's SeatKeeper's; this class times its holds (kSeatHoldMs from
// the moment a seat becomes held), moves a returning player's connection to its seat
// (moveSeat), and closes what it is asked to close once the asking handler has returned.
//
// The log has a line for each login ("seat 2: connection from 10.0.0.5", "seat 2: Ann
// logged in") and each departure of a logged-in seat ("left", "removed by the host");
// connections that leave without logging in, refusals and forced closes are summarised by
// RepeatLog.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "chatrate.h"
#include "framing.h"
#include "gamestate.h"
#include "protocol.h"
#include "qtticker.h"
#include "repeatlog.h"
#include "serverlimits.h"
#include "serverseams.h"
#include "tserver.h"
#include "tsock.h"

namespace tessarin {

class TDictn;
class TRandom;

class ServerConnections : public QObject, public ServerHost {
    Q_OBJECT
  public:
    static constexpr int kSocktimerMs = 10;
    static constexpr int kLoginTimeoutMs = 10000;
    static constexpr int kSeatHoldMs = 60000;

    // random and spell must outlive this object.
    ServerConnections(TRandom& random, const TDictn& spell, QObject* parent = nullptr);
    ~ServerConnections() override;

    // Port number or service name for listen(); "7772" unless set, "0" takes any free port.
    void setPortName(std::string port) { Sock1.setPortName(std::move(port)); }
    // Starts listening on all interfaces; throws ESockException ("Listen - Error Binding
    // Socket", ...).
    void listen();
    // Starts listening on the loopback interface only, on any free port: a game that only
    // this machine can reach (a solo game).
    void listenLocal();
    // The port listened on, 0 while not listening.
    int port() const { return Sock1.localPort(); }

    void setBotSpeedMs(int ms) { botSpeed_ = ms; }
    void setTimeSpeedMs(int ms) { timeSpeed_ = ms; }
    void setLoginTimeoutMs(int ms) { loginTimeoutMs_ = ms; }
    void setSeatHoldMs(int ms) { seatHoldMs_ = ms; }
    // Chat lines a connection may send in a window; limits::kChatLines in kChatWindowMs
    // unless set. Each connection starts with the whole allowance.
    void setChatRate(int lines, int windowMs);
    // How long a connection that pings may stay silent; proto::kDeadPeerMs unless set.
    void setDeadPeerMs(int ms);
    void setBotStrength(BotStrength strength) { botStrength_ = strength; }
    // Receive errors for the host ("Error CPerror...") and one-line log entries
    // (connections, departures, games, dropped input). Unset: errors go to the log, after
    // the seat whose message or tick caused them.
    std::function<void(const std::string&)> onHostError;
    std::function<void(const std::string&)> onLog;
    // Logs the counts of lines held back by the summary now (for instance when stopping).
    void summariseLog() { repeats_.summarise(); }
    // Called after every call into the game: a message, a timer's tick, a connection
    // arriving or leaving. Hosting watches the seats and the game's end through it.
    std::function<void()> onStep;

    TServer& server() { return server_; }
    const TServer& server() const { return server_; }

    // The dispatcher: hands one queued message to the server. Runs on socktimer, which
    // ticks only while messages are queued. Connections with messages waiting take turns,
    // in seat order, so that one that keeps the queue full delays another's next message by
    // at most one tick per connection; each connection's own messages keep their order.
    void socktimerTimer();
    bool socktimerRunning() const { return socktimer.isActive(); }
    std::size_t queued() const { return receivedlist.size(); }
    // Whether seat 1..9 has an open connection, and the bytes of its unfinished message.
    bool seatOpen(int seat) const;
    std::size_t pendingBytes(int seat) const;
    // Open connections, players and spectators alike.
    int connections() const;
    // The longest single call into the game so far, by the wall clock: what a table's
    // slowest moment costs its players. And the most processor time one call took, which
    // tells the game's own cost apart from waiting for a busy machine.
    std::chrono::microseconds longestStep() const { return longestStep_; }
    std::chrono::microseconds mostStepCpu() const { return mostStepCpu_; }

    // For hosting: the latest call's wall time, bytes waiting in the queue and unsent, and
    // counts of what the limits turned away. While draining, a new connection gets
    // "CMD_full", logins and requests to start a game are ignored.
    struct Tally {
        std::uint64_t refused = 0, noLogin = 0, chatDropped = 0;
    };
    std::chrono::microseconds lastStep() const { return lastStep_; }
    std::size_t queuedBytes() const;
    std::size_t unsentBytes() const;
    const Tally& tally() const { return tally_; }
    void setDraining(bool on) { draining_ = on; }

    // ServerHost.
    void sendToSeat(int seat, const std::string& message) override;
    void showHostError(const std::string& text) override;
    void closeSeat(int seat) override;
    void moveSeat(int from, int to) override;
    int botSpeedMs() const override { return botSpeed_; }
    int timeSpeedMs() const override { return timeSpeed_; }
    BotStrength botStrength(int) const override { return botStrength_; }

  private:
    struct Connection {
        TSock* sock = nullptr;  // child of Sock1; deleted later once closed
        std::uint64_t id = 0;   // tells a seat's successive connections apart
        proto::Framer framer{proto::Framer::kDefaultMaxPending};
        std::size_t queuedMessages = 0;
        std::size_t queuedBytes = 0;
        bool closing = false;
        bool peerClosed = false;  // the peer ended it, rather than a limit or the host
        std::string peer;         // the address it came from, logged once it logs in
        ChatRate chat{limits::kChatLines, limits::kChatWindowMs};  // its own allowance
        bool pings = false;            // it has sent "CMD_ping": its silence means it is dead
        std::int64_t lastHeardMs = 0;  // clock_ when its last bytes arrived
    };
    struct Received {
        int seat;
        std::uint64_t connection;
        std::string line;
    };

    void Sock1Accept();
    void Sock1Read(TSock& sock);
    void tempsockDisconnect(TSock& sock);
    void tempsockInfo(TSock& sock, TSocketInfo code, const std::string& msg);

    Connection* connectionOf(const TSock& sock);
    void attach(int seat, TSock* sock);
    void drop(int seat, const std::string& why);
    void closeLater(int seat, const std::string& why);
    void enqueue(int seat, Connection& connection, std::string line);
    void dispatch(const Received& message);
    // Closes the connection `id` unless it has logged in by now.
    void checkLogin(std::uint64_t id);
    // Starts the time of holds that began in the step just run, stops it for holds ended.
    void noteHolds(const std::array<bool, kPlayerSeats + 1>& wereHeld);
    void holdRanOut(int seat);
    // Closes connections that pinged once and have been silent for longer than allowed.
    void checkDeadPeers();
    // Whether a received line may go on: anything but chat, or chat within the rate.
    bool withinChatRate(int seat, Connection& connection, std::string_view line);
    // The oldest message of the first seat after lastServed_, in turn, that has one.
    std::deque<Received>::iterator nextInTurn();
    // Runs one call into the server: a failing handler is logged and the server goes on.
    template <typename F>
    void step(int seat, std::string_view line, F&& call);
    void noteAnnouncement(const std::string& message);
    void log(const std::string& text) const;

    TSock Sock1;
    QTimer socktimer;
    std::deque<Received> receivedlist;
    std::array<Connection, kMaxSeats + 1> seats_;  // index 0 unused
    int chatLines_ = limits::kChatLines;
    int chatWindowMs_ = limits::kChatWindowMs;
    int deadPeerMs_ = proto::kDeadPeerMs;
    QTimer deadPeers_;
    QElapsedTimer clock_;
    RepeatLog repeats_;
    std::uint64_t lastConnection_ = 0;
    int lastServed_ = 0;  // seat of the message dispatched last
    int botSpeed_ = 1000;
    int timeSpeed_ = 1000;
    int loginTimeoutMs_ = kLoginTimeoutMs;
    int seatHoldMs_ = kSeatHoldMs;
    int stepSeat_ = 0;  // the seat of the step running now, 0 for a timer's
    std::array<QTimer, kPlayerSeats + 1> holdTimers_;  // index 0 unused
    BotStrength botStrength_ = BotStrength::Normal;
    bool announced_ = false;  // the current step has logged its game start or winner
    std::chrono::microseconds longestStep_{0};
    std::chrono::microseconds mostStepCpu_{0};
    std::chrono::microseconds lastStep_{0};
    Tally tally_;
    bool draining_ = false;
    QtTicker timer1;
    QtTicker computertimer;
    TServer server_;
};

}  // namespace tessarin
