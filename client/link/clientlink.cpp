#include "clientlink.h"

#include <vector>

#include "protocol.h"

namespace tessarin {

ClientLink::ClientLink(QObject* parent) : QObject(parent) {
    timer1_.setInterval(1);
    connect(&timer1_, &QTimer::timeout, this, &ClientLink::Timer1Timer);
    sock_.OnRead = [this](TSock& s, std::size_t) {
        heard_.restart();
        sockRead(s.Receive());
    };
    sock_.OnInfo = [this](TSock&, TSocketInfo, const std::string& msg) {
        if (msg == "Socket Closed" && onClosed) onClosed();
    };
    // Nobody reads the lobby link; what a local process pushes into it must not pile up.
    lobby_.OnRead = [](TSock& s, std::size_t) { s.Receive(); };
    connect(&ping_, &QTimer::timeout, this, &ClientLink::pingTimer);
    setPingTiming(proto::kPingMs, proto::kDeadPeerMs);
}

void ClientLink::setPingTiming(int pingMs, int deadMs) {
    deadMs_ = deadMs;
    ping_.start(pingMs);
}

void ClientLink::pingTimer() {
    if (!sock_.connected()) return;
    if (pongs_ && heard_.hasExpired(deadMs_)) {
        sock_.Close();
        return;
    }
    sock_.Send(proto::request::ping());
}

void ClientLink::open(const std::string& host, int port) {
    framer_ = proto::Framer{};  // an unfinished message of an earlier connection ends with it
    pongs_ = false;
    heard_.start();
    sock_.setPortName(std::to_string(port));
    sock_.setHostName(host);
    sock_.Open();
}

void ClientLink::openLobbyLink(int port) {
    lobby_.setPortName(std::to_string(port));
    lobby_.setHostName("127.0.0.1");
    try {
        lobby_.Open();
    } catch (const ESockException&) {
        // Without a lobby on this machine the link simply stays closed.
    }
}

void ClientLink::send(const std::string& message) {
    if (sock_.connected()) sock_.Send(message);
}

void ClientLink::close() {
    sock_.Close();
}

void ClientLink::sockRead(std::string_view bytes) {
    std::vector<std::string> lines;
    const bool withinLimit = framer_.feed(bytes, lines);
    for (auto& line : lines) {
        if (line.starts_with(proto::kPong)) {
            pongs_ = true;
            continue;
        }
        queuedBytes_ += line.size();
        (proto::isChatter(line) ? chat_ : game_).push_back(std::move(line));
    }
    if (!withinLimit || queued() > kMaxQueued || queuedBytes_ > kMaxQueuedBytes) {
        game_.clear();
        chat_.clear();
        queuedBytes_ = 0;
        sock_.Close();
        return;
    }
    wake();
}

bool ClientLink::processsocktimer() {
    std::deque<std::string>& from = game_.empty() ? chat_ : game_;
    if (from.empty()) return false;
    // Taken off the queue before it is handled, so a failing handler cannot block it.
    const std::string line = std::move(from.front());
    from.pop_front();
    queuedBytes_ -= line.size();
    if (dispatchLine) dispatchLine(line);
    return true;
}

void ClientLink::Timer1Timer() {
    processsocktimer();
    if (tickHook) tickHook();
    if (queued() == 0 && !(keepTicking && keepTicking())) timer1_.stop();
}

void ClientLink::wake() {
    if (!timer1_.isActive() && (queued() > 0 || (keepTicking && keepTicking()))) timer1_.start();
}

}  // namespace tessarin
