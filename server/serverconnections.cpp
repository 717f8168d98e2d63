#include "serverconnections.h"

#include <time.h>

#include <algorithm>
#include <cctype>
#include <exception>

#include "protocol.h"

namespace tessarin {

namespace {

// A peer's text as it may appear in a log line: printable ASCII, cut short.
std::string printable(std::string_view text, std::size_t maxLength = 60) {
    std::string out;
    for (char c : text.substr(0, maxLength))
        out += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    if (text.size() > maxLength) out += "...";
    return out;
}

std::string duration(int ms) {
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

std::chrono::microseconds threadCpu() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::duration_cast<std::chrono::microseconds>(
                                                  std::chrono::nanoseconds(now.tv_nsec));
}

std::string seatText(int seat) {
    return "seat " + std::to_string(seat);
}

}  // namespace

ServerConnections::ServerConnections(TRandom& random, const TDictn& spell, QObject* parent)
    : QObject(parent),
      repeats_([this](const std::string& line) { log(line); }),
      timer1([this] { step(0, {}, [this] { server_.timer1Timer(); }); }),
      computertimer([this] { step(0, {}, [this] { server_.computertimerTimer(); }); }),
      server_(*this, random, spell, timer1, computertimer) {
    clock_.start();
    Sock1.setPortName(std::to_string(proto::kPort));
    Sock1.OnAccept = [this](TSock&) { Sock1Accept(); };
    socktimer.setInterval(kSocktimerMs);
    connect(&socktimer, &QTimer::timeout, this, &ServerConnections::socktimerTimer);
    for (int seat = 1; seat <= kPlayerSeats; ++seat) {
        QTimer& hold = holdTimers_[seat];
        hold.setSingleShot(true);
        connect(&hold, &QTimer::timeout, this, [this, seat] { holdRanOut(seat); });
    }
    connect(&deadPeers_, &QTimer::timeout, this, &ServerConnections::checkDeadPeers);
    setDeadPeerMs(proto::kDeadPeerMs);
}

// The sockets close silently with Sock1; nothing calls back into a half-destroyed server.
ServerConnections::~ServerConnections() = default;

void ServerConnections::listen() {
    Sock1.setListen(true);
    log("listening on port " + std::to_string(port()));
}

void ServerConnections::listenLocal() {
    Sock1.setPortName("0");
    Sock1.setLoopbackOnly(true);
    Sock1.setListen(true);
    log("listening on port " + std::to_string(port()) + " of this machine only");
}

void ServerConnections::setDeadPeerMs(int ms) {
    deadPeerMs_ = ms;
    // Checked four times a period: a dead peer is closed within 1.25 periods of silence.
    deadPeers_.start(std::max(1, ms / 4));
}

void ServerConnections::checkDeadPeers() {
    const std::int64_t now = clock_.elapsed();
    for (int seat = 1; seat <= kMaxSeats; ++seat) {
        const Connection& c = seats_[seat];
        if (c.sock != nullptr && c.pings && !c.closing && now - c.lastHeardMs > deadPeerMs_)
            drop(seat, "no answer for " + duration(deadPeerMs_));
    }
}

bool ServerConnections::seatOpen(int seat) const {
    return seat >= 1 && seat <= kMaxSeats && seats_[seat].sock != nullptr;
}

int ServerConnections::connections() const {
    int open = 0;
    for (int seat = 1; seat <= kMaxSeats; ++seat) open += seatOpen(seat);
    return open;
}

std::size_t ServerConnections::queuedBytes() const {
    std::size_t bytes = 0;
    for (const Connection& c : seats_) bytes += c.queuedBytes;
    return bytes;
}

std::size_t ServerConnections::unsentBytes() const {
    std::size_t bytes = 0;
    for (const Connection& c : seats_) bytes += c.sock != nullptr ? c.sock->pendingOutput() : 0;
    return bytes;
}

std::size_t ServerConnections::pendingBytes(int seat) const {
    return seatOpen(seat) ? seats_[seat].framer.pending().size() : 0;
}

void ServerConnections::Sock1Accept() {
    const int seat = draining_ ? 0 : server_.chooseseat();
    TSock* sock = nullptr;
    bool accepted = false;
    try {
        accepted = Sock1.Accept(sock);
    } catch (const ESockException&) {
        accepted = false;
    }
    if (!accepted) {
        log("could not accept a connection; no seat given");
        return;
    }
    if (seat == 0) {
        ++tally_.refused;
        const std::string why = draining_ ? "the table is closing" : "the game is full";
        repeats_.line("connections refused: " + why, "refused " + sock->hostName() + ": " + why);
        sock->Send(proto::msg::full());
        delete sock;
        return;
    }
    attach(seat, sock);
    seats_[seat].peer = sock->hostName();
    seats_[seat].chat = ChatRate(chatLines_, chatWindowMs_);
    seats_[seat].lastHeardMs = clock_.elapsed();
    step(seat, {}, [&] { server_.seattaken(seat); });
    QTimer::singleShot(loginTimeoutMs_, this, [this, id = seats_[seat].id] { checkLogin(id); });
}

void ServerConnections::checkLogin(std::uint64_t id) {
    for (int seat = 1; seat <= kMaxSeats; ++seat) {
        if (seats_[seat].sock == nullptr || seats_[seat].id != id) continue;
        if (server_.state().players[seat].loggedin) return;
        ++tally_.noLogin;
        drop(seat, "no login within " + duration(loginTimeoutMs_));
        return;
    }
}

void ServerConnections::attach(int seat, TSock* sock) {
    Connection& c = seats_[seat];
    c = Connection{};
    c.sock = sock;
    c.id = ++lastConnection_;
    sock->tag = seat;
    sock->OnRead = [this](TSock& s, std::size_t) { Sock1Read(s); };
    sock->OnDisconnect = [this](TSock& s) { tempsockDisconnect(s); };
    sock->OnInfo = [this](TSock& s, TSocketInfo code, const std::string& msg) {
        tempsockInfo(s, code, msg);
    };
}

ServerConnections::Connection* ServerConnections::connectionOf(const TSock& sock) {
    const int seat = sock.tag;
    if (seat < 1 || seat > kMaxSeats || seats_[seat].sock != &sock) return nullptr;
    return &seats_[seat];
}

void ServerConnections::Sock1Read(TSock& sock) {
    Connection* c = connectionOf(sock);
    if (c == nullptr) return;
    std::vector<std::string> lines;
    c->lastHeardMs = clock_.elapsed();
    if (!c->framer.feed(sock.Receive(), lines)) {
        drop(sock.tag, "a message without end passed " +
                           std::to_string(proto::Framer::kDefaultMaxPending / 1024) + " KiB");
        return;
    }
    for (auto& line : lines) {
        // Answered here, before the queue: a ping says nothing to the game.
        if (const auto m = proto::split(line); m && m->command == proto::kPing) {
            c->pings = true;
            sock.Send(proto::msg::pong());
            continue;
        }
        if (!withinChatRate(sock.tag, *c, line)) continue;
        if (c->queuedMessages >= limits::kMaxQueuedMessages ||
            c->queuedBytes + line.size() > limits::kMaxQueuedBytes) {
            drop(sock.tag, "too many messages waiting");
            return;
        }
        enqueue(sock.tag, *c, std::move(line));
    }
}

void ServerConnections::setChatRate(int lines, int windowMs) {
    chatLines_ = lines;
    chatWindowMs_ = windowMs;
}

bool ServerConnections::withinChatRate(int seat, Connection& connection, std::string_view line) {
    if (!proto::isChatter(line)) return true;
    const std::int64_t now = clock_.elapsed();
    if (connection.chat.allow(now)) return true;
    ++tally_.chatDropped;
    if (connection.chat.tellRefused(now)) {
        const std::string window = chatWindowMs_ % 1000 == 0
                                       ? std::to_string(chatWindowMs_ / 1000) + " seconds"
                                       : std::to_string(chatWindowMs_) + " ms";
        sendToSeat(
            seat, proto::msg::notice("Too much chat: " + std::to_string(chatLines_) + " lines in " +
                                     window + " at most; the others did not see the rest."));
    }
    return false;
}

void ServerConnections::enqueue(int seat, Connection& connection, std::string line) {
    ++connection.queuedMessages;
    connection.queuedBytes += line.size();
    receivedlist.push_back({seat, connection.id, std::move(line)});
    if (!socktimer.isActive()) socktimer.start();
}

void ServerConnections::socktimerTimer() {
    if (receivedlist.empty()) {
        socktimer.stop();
        return;
    }
    const auto next = nextInTurn();
    const Received message = std::move(*next);
    receivedlist.erase(next);
    lastServed_ = message.seat;
    Connection& c = seats_[message.seat];
    if (c.id == message.connection) {
        --c.queuedMessages;
        c.queuedBytes -= message.line.size();
        dispatch(message);
    }
    if (receivedlist.empty()) socktimer.stop();
}

void ServerConnections::dispatch(const Received& message) {
    const int seat = message.seat;
    const bool wasLoggedIn = server_.state().players[seat].loggedin;
    const auto split = proto::split(message.line);
    if (draining_ && (!wasLoggedIn || (split && split->command == proto::kStartGame))) return;
    step(seat, message.line, [&] { server_.dispatch(seat, message.line); });
    const tplayer& player = server_.state().players[seat];
    if (player.loggedin && !wasLoggedIn) {
        log(seatText(seat) + ": connection from " + seats_[seat].peer);
        log(seatText(seat) + ": " + printable(player.name) + " logged in");
    }
}

std::deque<ServerConnections::Received>::iterator ServerConnections::nextInTurn() {
    auto best = receivedlist.begin();
    int bestDistance = kMaxSeats;
    for (auto it = receivedlist.begin(); it != receivedlist.end() && bestDistance > 0; ++it) {
        // 0 for the seat right after lastServed_, up to kMaxSeats - 1 for lastServed_ itself.
        const int distance = (it->seat - lastServed_ - 1 + kMaxSeats) % kMaxSeats;
        if (distance < bestDistance) {
            best = it;
            bestDistance = distance;
        }
    }
    return best;
}

void ServerConnections::tempsockDisconnect(TSock& sock) {
    Connection* c = connectionOf(sock);
    if (c == nullptr || !server_.state().players[sock.tag].connected) return;
    c->peerClosed = true;
    sock.Close();
}

void ServerConnections::tempsockInfo(TSock& sock, TSocketInfo, const std::string& msg) {
    if (msg != "Socket Closed") return;
    Connection* c = connectionOf(sock);
    if (c == nullptr) return;  // this connection has departed already
    const int seat = sock.tag;
    const std::uint64_t id = c->id;
    const bool peerClosed = c->peerClosed;
    std::vector<Received> left;
    std::erase_if(receivedlist, [&](Received& r) {
        if (r.connection != id) return false;
        left.push_back(std::move(r));
        return true;
    });
    if (receivedlist.empty()) socktimer.stop();
    const std::string peer = c->peer;
    *c = Connection{};
    sock.deleteLater();
    // What a player said on the way out is relayed under its name while it still has the
    // seat; its moves and requests go with it.
    if (peerClosed) {
        for (const Received& message : left)
            if (proto::isChatter(message.line)) dispatch(message);
    }
    const tplayer& player = server_.state().players[seat];
    if (player.loggedin)
        log(seatText(seat) + ": " + printable(player.name) +
            (server_.seats().removed(seat) ? " removed by the host" : " left"));
    else
        repeats_.line("connections left without logging in",
                      seatText(seat) + ": a connection from " + peer + " left without logging in");
    step(seat, {}, [&] { server_.departure(seat); });
}

void ServerConnections::noteHolds(const std::array<bool, kPlayerSeats + 1>& wereHeld) {
    for (int seat = 1; seat <= kPlayerSeats; ++seat) {
        const bool held = server_.seats().held(seat);
        if (held == wereHeld[seat]) continue;
        if (held) {
            holdTimers_[seat].start(seatHoldMs_);
            log(seatText(seat) + ": held for " + printable(server_.seats().heldfor(seat)) +
                " for " + duration(seatHoldMs_));
        } else {
            holdTimers_[seat].stop();
        }
    }
}

void ServerConnections::holdRanOut(int seat) {
    if (!server_.seats().held(seat)) return;
    const std::string name = server_.seats().heldfor(seat);
    step(0, {}, [&] { server_.endhold(seat); });
    log(seatText(seat) + ": no longer held for " + printable(name));
}

void ServerConnections::moveSeat(int from, int to) {
    if (!seatOpen(from) || to < 1 || to > kMaxSeats || to == from) return;
    if (seatOpen(to)) {
        // The player's old connection, which the server still thought alive, goes quietly:
        // detached from the seat, its close reports nothing and its queued input is dropped.
        TSock* old = seats_[to].sock;
        const std::uint64_t oldId = seats_[to].id;
        std::erase_if(receivedlist, [&](const Received& r) { return r.connection == oldId; });
        old->tag = 0;
        QMetaObject::invokeMethod(
            this,
            [old] {
                old->Close();
                old->deleteLater();
            },
            Qt::QueuedConnection);
    }
    Connection& moved = seats_[to];
    moved = std::move(seats_[from]);
    seats_[from] = Connection{};
    moved.sock->tag = to;
    for (Received& r : receivedlist)
        if (r.connection == moved.id) r.seat = to;
    log(seatText(from) + ": connection moved to " + seatText(to) + ": its player is back");
}

void ServerConnections::drop(int seat, const std::string& why) {
    if (!why.empty())
        repeats_.line("connections closed: " + why,
                      seatText(seat) + ": closing the connection: " + why);
    seats_[seat].sock->Close();
}

void ServerConnections::closeLater(int seat, const std::string& why) {
    Connection& c = seats_[seat];
    if (c.closing) return;
    c.closing = true;
    // Not from inside the server's handler that is sending: the departure changes seats.
    QMetaObject::invokeMethod(
        this,
        [this, seat, why, id = c.id] {
            if (seats_[seat].sock != nullptr && seats_[seat].id == id) drop(seat, why);
        },
        Qt::QueuedConnection);
}

void ServerConnections::sendToSeat(int seat, const std::string& message) {
    if (!seatOpen(seat)) return;
    noteAnnouncement(message);
    TSock& sock = *seats_[seat].sock;
    sock.Send(message);
    if (sock.pendingOutput() > limits::kMaxUnsentBytes)
        closeLater(seat, "it does not read what it is sent");
}

void ServerConnections::showHostError(const std::string& text) {
    if (onHostError)
        onHostError(text);
    else
        log((stepSeat_ > 0 ? seatText(stepSeat_) + ": " : std::string()) + text);
}

void ServerConnections::closeSeat(int seat) {
    // The departure is logged as such; no second line for the close itself.
    if (seatOpen(seat)) closeLater(seat, {});
}

template <typename F>
void ServerConnections::step(int seat, std::string_view line, F&& call) {
    std::array<bool, kPlayerSeats + 1> wereHeld{};
    for (int s = 1; s <= kPlayerSeats; ++s) wereHeld[s] = server_.seats().held(s);
    announced_ = false;
    stepSeat_ = seat;
    const auto begin = std::chrono::steady_clock::now();
    const auto cpuBegin = threadCpu();
    try {
        call();
        stepSeat_ = 0;
    } catch (const std::exception& e) {
        stepSeat_ = 0;
        std::string where = seat > 0 ? seatText(seat) + ": " : std::string();
        if (!line.empty()) where += "message \"" + printable(line) + "\" dropped: ";
        // Conversion errors quote the peer's field.
        log(where + printable(e.what(), 120));
    }
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - begin);
    lastStep_ = took;
    longestStep_ = std::max(longestStep_, took);
    mostStepCpu_ = std::max(mostStepCpu_, threadCpu() - cpuBegin);
    noteHolds(wereHeld);
    if (onStep) onStep();
}

void ServerConnections::noteAnnouncement(const std::string& message) {
    if (announced_) return;
    const auto split = proto::split(std::string_view(message).substr(0, message.size() - 1));
    if (!split) return;
    proto::FieldReader fields(split->payload);
    if (split->command == proto::kStartGame) {
        const std::string starter = printable(fields.field());
        log("game started by " + starter + ": " + std::string(fields.field()) + " round(s)");
        announced_ = true;
    } else if (split->command == proto::kWinner) {
        log("game over: " + printable(fields.field()) + " wins");
        announced_ = true;
    }
}

void ServerConnections::log(const std::string& text) const {
    if (onLog) onLog(text);
}

}  // namespace tessarin
