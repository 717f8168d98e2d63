#include "fakes.h"

#include <gtest/gtest.h>

#include "protocol.h"

namespace tessarin::testing {

void FakeHost::sendToSeat(int seat, const std::string& message) {
    if (message.empty() || message.back() != proto::kTerminator) missingTerminator = true;
    log.push_back({seat, message.substr(0, message.size() - 1)});
}

void FakeHost::closeSeat(int seat) {
    closed.push_back(seat);
    if (server) server->departure(seat);
}

std::vector<std::string> FakeHost::to(int seat) const {
    std::vector<std::string> out;
    for (const auto& s : log)
        if (s.seat == seat) out.push_back(s.message);
    return out;
}

std::vector<std::string> FakeHost::to(int seat, std::string_view command) const {
    std::vector<std::string> out;
    for (const auto& s : log)
        if (s.seat == seat && proto::split(s.message) &&
            proto::split(s.message)->command == command)
            out.push_back(s.message);
    return out;
}

const TDictn& sharedDictionary() {
    static TempDir dir;
    static TDictn dictionary(dir.path());
    return dictionary;
}

ServerRig::ServerRig(std::uint32_t seed, const TDictn& spell)
    : random(seed), server(host, random, spell, timer1, computertimer) {
    host.server = &server;
}

int ServerRig::join(const std::string& name) {
    const int seat = server.chooseseat();
    if (seat == 0) return 0;
    server.seattaken(seat);
    server.dispatch(seat, unframed(proto::request::logininfo(seat, proto::kVersion, name)));
    return seat;
}

}  // namespace tessarin::testing
