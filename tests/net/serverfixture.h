// A game server listening on a free loopback port, with scripted clients joining it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes.h"
#include "netclient.h"
#include "serverconnections.h"
#include "trandom.h"

namespace tessarin::testing {

class ServerOnTcp : public ::testing::Test {
  protected:
    explicit ServerOnTcp(std::uint32_t seed = 7);

    // A new client that has been given its seat (or refused: seat 0).
    TestClient& connect(const std::string& host = "127.0.0.1");
    // A new client seated and logged in as `name`, its own newplayerinfo received.
    TestClient& join(const std::string& name, std::string_view version = "1.0.1");
    // Whether some log line contains `text`.
    bool logged(std::string_view text) const;

    struct AppFirst {
        AppFirst() { ensureQtApp(); }
    } app_;
    TRandom random;
    std::vector<std::string> log;
    ServerConnections server;
    std::vector<std::unique_ptr<TestClient>> clients;
};

}  // namespace tessarin::testing
