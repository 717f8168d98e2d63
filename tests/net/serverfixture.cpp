#include "serverfixture.h"

#include "protocol.h"

namespace tessarin::testing {

ServerOnTcp::ServerOnTcp(std::uint32_t seed) : random(seed), server(random, sharedDictionary()) {
    server.onLog = [this](const std::string& line) { log.push_back(line); };
    server.setBotSpeedMs(1);
    server.setTimeSpeedMs(1);
    server.setPortName("0");
    server.listen();
}

TestClient& ServerOnTcp::connect(const std::string& host) {
    clients.push_back(std::make_unique<TestClient>(server.port(), host));
    TestClient& client = *clients.back();
    EXPECT_GE(client.awaitSeat(), 0) << "no answer from the server";
    return client;
}

TestClient& ServerOnTcp::join(const std::string& name, std::string_view version) {
    TestClient& client = connect();
    client.login(name, version);
    const std::string own = "CMD_newplayerinfo+" + std::to_string(client.seat) + "+" + name;
    EXPECT_GE(client.awaitMessage(own), 0) << name << " did not arrive";
    return client;
}

bool ServerOnTcp::logged(std::string_view text) const {
    for (const auto& line : log)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace tessarin::testing
