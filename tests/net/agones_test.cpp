// The server under Agones, against a fake SDK sidecar: the calls and their order, from a
// sidecar that is not up yet, through one that answers errors, to the shutdown after a game.
#include <algorithm>

#include "hosting.h"
#include "httpstub.h"
#include "protocol.h"
#include "serverfixture.h"

namespace tessarin::testing {
namespace {

using namespace std::chrono_literals;

class AgonesSidecar : public ServerOnTcp {
  protected:
    AgonesSidecar() { sidecar.close(); }

    static std::vector<std::string> readable(const QByteArrayList& calls) {
        std::vector<std::string> out;
        for (const auto& call : calls) out.push_back(call.toStdString());
        return out;
    }
    // Runs the event loop for `ms` whatever happens.
    static void idle(int ms) {
        waitFor([] { return false; }, ms);
    }
    bool called(const QByteArray& call, qsizetype times = 1) const {
        return sidecar.calls().count(call) >= times;
    }

    HttpStub sidecar;
};

TEST_F(AgonesSidecar, ReadyHealthPlayersAndShutdownAfterTheGame) {
    HostingOptions options;
    options.agones = sidecar.url("");
    options.exitAfterGame = true;
    options.timing = {.health = 100ms, .retry = 50ms, .answer = 5000ms};
    Hosting hosting(server, options);
    hosting.onLog = [this](const std::string& line) { log.push_back(line); };
    bool finished = false;
    hosting.onFinished = [&] { finished = true; };
    hosting.start();

    const QByteArray ready = "POST /ready {}";
    const QByteArray health = "POST /health {}";
    const auto players = [](int n) {
        return "PUT /metadata/label {\"key\":\"players\",\"value\":\"" + QByteArray::number(n) +
               "\"}";
    };
    idle(200);  // no sidecar yet
    sidecar.setanswer(HttpStub::head("500 Internal Server Error", 0));
    ASSERT_TRUE(sidecar.listen());
    ASSERT_TRUE(waitFor([&] { return called(ready, 3); }));
    sidecar.setanswer(HttpStub::head("200 OK", 2) + "{}");
    ASSERT_TRUE(waitFor([&] { return called(health); }));

    TestClient& ann = join("Ann");
    ASSERT_TRUE(waitFor([&] { return called(players(1)); }));
    ann.sock.Send(proto::request::startgame("Ann", "1") + proto::request::justwatch(1, true));
    ASSERT_GE(ann.awaitMessage("CMD_winner+"), 0);
    ann.sock.Close();
    ASSERT_TRUE(waitFor([&] { return finished; }));

    QByteArrayList calls = sidecar.calls();
    const auto readies = std::count(calls.begin(), calls.end(), ready);
    EXPECT_GE(readies, 3);
    ASSERT_TRUE(called(health));
    // Health pings come once ready, between the other calls; the rest keeps its order.
    EXPECT_LT(calls.indexOf(players(0)), calls.indexOf(health));
    calls.removeAll(health);
    QByteArrayList expected(readies, ready);
    expected << players(0) << players(1) << players(0) << "POST /shutdown {}";
    EXPECT_EQ(readable(calls), readable(expected));
    // Quiet retries: one line for the whole run of failures.
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) {
                                return l.find("does not answer") != std::string::npos;
                            }),
              1);
    EXPECT_TRUE(logged("asked Agones to shut the table down"));
}

}  // namespace
}  // namespace tessarin::testing
