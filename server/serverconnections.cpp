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
      timer1([this] { step(0, {}, [this] { server_.timer1Timer(); }); }),
      computertimer([this] { step(0, {}, [this] { server_.computertimerTimer(); }); }),
      server_(*this, random, spell, timer1, computertimer) {
    Sock1.setPortName(std::to_string(proto::kPort));
    Sock1.OnAccept = [this](TSock&) { Sock1Accept(); };
    socktimer.setInterval(kSocktimerMs);
    connect(&socktimer, &QTimer::timeout, this, &ServerConnections::socktimerTimer);
}

// The sockets close silently with Sock1; nothing calls back into a half-destroyed server.
ServerConnections::~ServerConnections() = default;

void ServerConnections::listen() {
    Sock1.setListen(true);
    log("listening on port " + std::to_string(port()));
}

bool ServerConnections::seatOpen(int seat) const {
    return seat >= 1 && seat <= kMaxSeats && seats_[seat].sock != nullptr;
}

int ServerConnections::connections() const {
    int open = 0;
    for (int seat = 1; seat <= kMaxSeats; ++seat) open += seatOpen(seat);
    return open;
}

std::size_t ServerConnections::pendingBytes(int seat) const {
    return seatOpen(seat) ? seats_[seat].framer.pending().size() : 0;
}

void ServerConnections::Sock1Accept() {
    const int seat = server_.chooseseat();
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
        log("refused " + sock->hostName() + ": the game is full");
        sock->Send(proto::msg::full());
        delete sock;
        return;
    }
    attach(seat, sock);
    log(seatText(seat) + ": connection from " + sock->hostName());
    step(seat, {}, [&] { server_.seattaken(seat); });
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
    if (!c->framer.feed(sock.Receive(), lines)) {
        drop(sock.tag, "a message without end passed " +
                           std::to_string(proto::Framer::kDefaultMaxPending / 1024) + " KiB");
        return;
    }
    for (auto& line : lines) {
        if (c->queuedMessages >= kMaxQueuedMessages ||
            c->queuedBytes + line.size() > kMaxQueuedBytes) {
            drop(sock.tag, "too many messages waiting");
            return;
        }
        enqueue(sock.tag, *c, std::move(line));
    }
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
        step(message.seat, message.line, [&] { server_.dispatch(message.seat, message.line); });
        const auto split = proto::split(message.line);
        const std::string& name = server_.state().players[message.seat].name;
        if (split && split->command == proto::kLoginInfo && !name.empty())
            log(seatText(message.seat) + ": " + printable(name) + " logged in");
    }
    if (receivedlist.empty()) socktimer.stop();
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
    if (connectionOf(sock) != nullptr && server_.state().players[sock.tag].connected) sock.Close();
}

void ServerConnections::tempsockInfo(TSock& sock, TSocketInfo, const std::string& msg) {
    if (msg != "Socket Closed") return;
    Connection* c = connectionOf(sock);
    if (c == nullptr) return;  // this connection has departed already
    const int seat = sock.tag;
    const std::uint64_t id = c->id;
    std::erase_if(receivedlist, [id](const Received& r) { return r.connection == id; });
    if (receivedlist.empty()) socktimer.stop();
    *c = Connection{};
    sock.deleteLater();
    const std::string& name = server_.state().players[seat].name;
    log(seatText(seat) + ": " + (name.empty() ? "connection" : printable(name)) + " left");
    step(seat, {}, [&] { server_.departure(seat); });
}

void ServerConnections::drop(int seat, const std::string& why) {
    log(seatText(seat) + ": closing the connection: " + why);
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
    if (sock.pendingOutput() > kMaxUnsentBytes)
        closeLater(seat, "it does not read what it is sent");
}

void ServerConnections::showHostError(const std::string& text) {
    if (onHostError)
        onHostError(text);
    else
        log(text);
}

void ServerConnections::closeSeat(int seat) {
    if (seatOpen(seat)) seats_[seat].sock->Close();
}

template <typename F>
void ServerConnections::step(int seat, std::string_view line, F&& call) {
    announced_ = false;
    const auto begin = std::chrono::steady_clock::now();
    const auto cpuBegin = threadCpu();
    try {
        call();
    } catch (const std::exception& e) {
        std::string where = seat > 0 ? seatText(seat) + ": " : std::string();
        if (!line.empty()) where += "message \"" + printable(line) + "\" dropped: ";
        // Conversion errors quote the peer's field.
        log(where + printable(e.what(), 120));
    }
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - begin);
    longestStep_ = std::max(longestStep_, took);
    mostStepCpu_ = std::max(mostStepCpu_, threadCpu() - cpuBegin);
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
