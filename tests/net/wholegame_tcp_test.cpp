// A whole game over TCP: the host's client watches while the computer plays both seats.
#include <algorithm>

#include "protocol.h"
#include "serverfixture.h"

namespace tessarin::testing {
namespace {

using WholeGameOverTcp = ServerOnTcp;

TEST_F(WholeGameOverTcp, FromStartToWinner) {
    TestClient& ann = join("Ann");
    ann.sock.Send(proto::request::startgame("Ann", "1") + proto::request::justwatch(1, true));
    const int end = ann.awaitMessage("CMD_winner+");
    ASSERT_GE(end, 0) << "no winner; last message: " << ann.received.back();
    const std::size_t start = 3;  // after sendlogininfo, secret and newplayerinfo
    EXPECT_EQ(ann.received[start], "CMD_startgame+Ann+1+");
    EXPECT_EQ(ann.received[start + 1], "CMD_action+0+Klot plays Normal.|clBlue");
    EXPECT_EQ(ann.received[start + 2], "CMD_roundstart+1+");
    EXPECT_EQ(static_cast<std::size_t>(end), ann.received.size() - 1);

    const auto& st = server.server().state();
    int rounds = 0, placements = 0;
    for (const auto& m : ann.received) {
        rounds += m.starts_with("CMD_roundstart+");
        placements += m.starts_with("CMD_placeletter+");
    }
    EXPECT_GE(rounds, 1);
    EXPECT_EQ(placements, 36 * rounds);
    EXPECT_EQ(std::count(ann.received.begin(), ann.received.end(), "CMD_roundover+1+"), rounds);
    EXPECT_FALSE(st.gamestarted);
    ASSERT_NE(st.players[1].score, st.players[2].score);
    const std::string winner = st.players[1].score > st.players[2].score ? "Ann" : "Klot";
    EXPECT_EQ(ann.received.back(), "CMD_winner+" + winner + "+");

    // One log line each for the start and the winner, however many seats were told.
    EXPECT_EQ(std::count(log.begin(), log.end(), "game started by Ann: 1 round(s)"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "game over: " + winner + " wins"), 1);
    EXPECT_FALSE(server.socktimerRunning());
}

}  // namespace
}  // namespace tessarin::testing
