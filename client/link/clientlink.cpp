#include "clientlink.h"

#include <vector>

namespace tessarin {

ClientLink::ClientLink(QObject* parent) : QObject(parent) {
    timer1_.setInterval(1);
    connect(&timer1_, &QTimer::timeout, this, &ClientLink::Timer1Timer);
    sock_.OnRead = [this](TSock& s, std::size_t) { sockRead(s.Receive()); };
    sock_.OnInfo = [this](TSock&, TSocketInfo, const std::string& msg) {
        if (msg == "Socket Closed" && onClosed) onClosed();
    };
}

void ClientLink::open(const std::string& host, int port) {
    framer_ = proto::Framer{};  // an unfinished message of an earlier connection ends with it
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
    for (auto& line : lines) receivedlist_.push_back(std::move(line));
    if (!withinLimit || receivedlist_.size() > kMaxQueued) {
        receivedlist_.clear();
        sock_.Close();
        return;
    }
    wake();
}

bool ClientLink::processsocktimer() {
    if (receivedlist_.empty()) return false;
    // Taken off the queue before it is handled, so a failing handler cannot block it.
    const std::string line = std::move(receivedlist_.front());
    receivedlist_.pop_front();
    if (dispatchLine) dispatchLine(line);
    return true;
}

void ClientLink::Timer1Timer() {
    processsocktimer();
    if (tickHook) tickHook();
    if (receivedlist_.empty() && !(keepTicking && keepTicking())) timer1_.stop();
}

void ClientLink::wake() {
    if (!timer1_.isActive() && (!receivedlist_.empty() || (keepTicking && keepTicking())))
        timer1_.start();
}

}  // namespace tessarin
