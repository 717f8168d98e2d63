// The client's side of the connection: the game connection `sock`, the lobby link `Sock11`,
// the message queue `receivedlist` and the dispatch timer `Timer1`. It moves bytes and
// messages; what a message means is the main window's business (dispatchLine).
//
// The queue holds two lines of messages: chat (chat lines, actions, chatter sounds) and
// the game (everything else). Each keeps its order, and a tick takes a game message when
// one waits, so a backlog of chat never holds up a turn; chat only waits behind the game.
// Whatever arrives on the lobby link is read and dropped.
//
// While connected it pings the server every proto::kPingMs ("CMD_ping"), which tells the
// server it is alive; a server that has answered ("CMD_pong", never queued) and then sends
// nothing for proto::kDeadPeerMs is taken for dead, and the connection closed.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "framing.h"
#include "tsock.h"

namespace tessarin {

class ClientLink : public QObject {
  public:
    // A server that floods us faster than we dispatch is cut off rather than queued forever:
    // by messages, and by bytes for a few long ones (an honest server's longest message is
    // under 1 KiB).
    static constexpr std::size_t kMaxQueued = 20000;
    static constexpr std::size_t kMaxQueuedBytes = 4 * 1024 * 1024;

    explicit ClientLink(QObject* parent = nullptr);

    // Connects the game connection to host:port. Throws ESockException for a host name that
    // does not resolve; a refused connection shows only as OnInfo code 7.
    void open(const std::string& host, int port);
    // Opens the connection to the lobby program on this machine; nothing is ever sent on it.
    void openLobbyLink(int port);
    // Sends one complete message when the game connection is up; otherwise drops it.
    void send(const std::string& message);
    void close();

    // Each tick: one queued message to dispatchLine, then tickHook. The timer runs while
    // messages wait or keepTicking() says so, and sleeps otherwise.
    void Timer1Timer();
    // Takes the next queued message (the game's first) and hands it on; false if the
    // queue was empty.
    bool processsocktimer();
    // Appends received bytes to the queue as `sock`'s OnRead does (also for tests).
    void sockRead(std::string_view bytes);
    // Starts the timer if there is anything for it to do.
    void wake();
    // Every pingMs: a ping, or the close of a server silent for deadMs (tests shorten them).
    void setPingTiming(int pingMs, int deadMs);

    std::size_t queued() const { return game_.size() + chat_.size(); }
    std::size_t queuedBytes() const { return queuedBytes_; }
    TSock& sock() { return sock_; }
    TSock& Sock11() { return lobby_; }
    QTimer& Timer1() { return timer1_; }

    std::function<void(std::string_view line)> dispatchLine;
    std::function<void()> tickHook;
    std::function<bool()> keepTicking;
    // The game connection closed ("Socket Closed"), for whatever reason.
    std::function<void()> onClosed;

  private:
    void pingTimer();

    TSock sock_;
    TSock lobby_;
    proto::Framer framer_;
    std::deque<std::string> game_;
    std::deque<std::string> chat_;
    std::size_t queuedBytes_ = 0;
    QTimer timer1_;
    QTimer ping_;
    QElapsedTimer heard_;  // since the server's last bytes
    bool pongs_ = false;   // this server answers pings: its silence means it is gone
    int deadMs_ = 0;
};

}  // namespace tessarin
