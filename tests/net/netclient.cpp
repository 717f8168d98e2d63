#include "netclient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

#include "protocol.h"

namespace tessarin::testing {

int rawConnect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void ensureQtApp() {
    static int argc = 1;
    static char name[] = "tessarin-net-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

TestClient::TestClient(int port, const std::string& host) {
    ensureQtApp();
    sock.setHostName(host);
    sock.setPortName(std::to_string(port));
    sock.OnRead = [this](TSock& s, std::size_t) { framer_.feed(s.Receive(), received); };
    sock.OnDisconnect = [this](TSock&) { events.push_back("disconnect"); };
    sock.OnInfo = [this](TSock&, TSocketInfo code, const std::string& msg) {
        infos.push_back(msg);
        if (code == TSocketInfo::Closed) events.push_back("closed");
    };
    sock.Open();
}

int TestClient::awaitSeat() {
    const auto answered = [this] {
        return !messages(proto::kSendLoginInfo).empty() || !messages(proto::kFull).empty();
    };
    if (!waitFor(answered)) return -1;
    const auto offers = messages(proto::kSendLoginInfo);
    if (offers.empty()) return 0;
    seat = proto::toInt(proto::split(offers.front())->payload).value_or(-1);
    return seat;
}

void TestClient::login(const std::string& name, std::string_view version) {
    sock.Send(proto::request::logininfo(seat, version, name));
}

int TestClient::awaitMessage(std::string_view prefix, std::size_t from) {
    int found = -1;
    waitFor([&] {
        for (std::size_t i = from; i < received.size(); ++i)
            if (received[i].starts_with(prefix)) {
                found = static_cast<int>(i);
                return true;
            }
        return false;
    });
    return found;
}

std::vector<std::string> TestClient::messages(std::string_view command) const {
    std::vector<std::string> out;
    for (const auto& line : received) {
        const auto m = proto::split(line);
        if (m && m->command == command) out.push_back(line);
    }
    return out;
}

bool TestClient::closed() const {
    return !events.empty() && events.back() == "closed";
}

}  // namespace tessarin::testing
