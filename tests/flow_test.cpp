#include <gtest/gtest.h>

#include "fakes.h"
#include "protocol.h"

namespace tessarin::testing {
namespace {

// Seat numbers of the "CMD_nextplayer" messages seen by seat 1, in order.
std::vector<int> turns(const FakeHost& host) {
    std::vector<int> seats;
    for (const auto& m : host.to(1, proto::kNextPlayer))
        seats.push_back(proto::FieldReader(proto::split(m)->payload).integer());
    return seats;
}

// Places for whoever has the turn (humans only) into the first open row, then lets the
// pause run out. Returns false when nobody human has the turn.
bool playHumanTurn(ServerRig& rig) {
    auto& st = rig.server.state();
    const int seat = st.whoseturn;
    if (seat == 0 || !st.players[seat].connected) return false;
    for (int row = 1; row <= kRows; ++row) {
        if (st.board[row][st.column] == 0) {
            rig.server.dispatch(
                seat, unframed(proto::request::placeit(seat, 1, std::to_string(row) + "1")));
            break;
        }
    }
    while (rig.timer1.running() && st.whoseturn == 0) rig.server.timer1Timer();
    return true;
}

TEST(Flow, TwoPlayersAlternateAndTheLastPlacerOpensTheNextColumn) {
    ServerRig rig;
    rig.join("Ann");
    rig.join("Bob");
    rig.server.dispatch(1, "CMD_startgame+Ann+1+");
    auto& st = rig.server.state();
    // Whoever opened, rotate the expectations so the test reads as "seat 1 opening".
    const int first = st.whoseturn;
    const int second = 3 - first;
    for (int i = 0; i < 18; ++i) ASSERT_TRUE(playHumanTurn(rig));
    const std::vector<int> expected = {first,  second, first,  second, first,  second,  // column 1
                                       second, first,  second, first,  second, first,   // column 2
                                       first,  second, first,  second, first,  second,  // column 3
                                       second};
    EXPECT_EQ(turns(rig.host), expected);
    const auto nexts = rig.host.to(1, proto::kNextPlayer);
    EXPECT_EQ(nexts[6], "CMD_nextplayer+" + std::to_string(second) + "+2+2+");
    EXPECT_EQ(nexts[7], "CMD_nextplayer+" + std::to_string(first) + "+2+0+");
    EXPECT_EQ(nexts[12], "CMD_nextplayer+" + std::to_string(first) + "+3+3+");
}

TEST(Flow, ThreePlayersRotateAndStepBackAtEachNewColumn) {
    ServerRig rig;
    rig.join("Ann");
    rig.join("Bob");
    rig.join("Cy");
    auto& st = rig.server.state();
    rig.server.dispatch(1, "CMD_startgame+Ann+1+");
    // Force seat 1 to open, as in the rule's description.
    st.turnpos = 0;
    st.columnplays = 0;
    rig.host.clear();
    rig.server.findplayer();
    for (int i = 0; i < 13; ++i) ASSERT_TRUE(playHumanTurn(rig));
    const std::vector<int> expected = {1, 2, 3, 1, 2, 3, 3, 1, 2, 3, 1, 2, 2, 3};
    EXPECT_EQ(turns(rig.host), expected);
}

TEST(Flow, StartGameAnnouncesResetsAndDeals) {
    ServerRig rig;
    rig.join("Ann");
    auto& st = rig.server.state();
    st.players[1].score = 40;
    st.players[2].score = 12;
    st.players[1].watching = true;
    rig.host.strengths[2] = BotStrength::Expert;
    rig.host.clear();
    rig.server.dispatch(1, "CMD_startgame+Ann+3+");
    const auto messages = rig.host.to(1);
    ASSERT_GE(messages.size(), 5u);
    EXPECT_EQ(messages[0], "CMD_startgame+Ann+3+");
    EXPECT_EQ(messages[1], "CMD_action+0+Klot plays Expert.|clBlue");
    EXPECT_EQ(messages[2], "CMD_roundstart+1+");
    EXPECT_EQ(messages[3].rfind("CMD_mytiles+1+1+", 0), 0u);
    EXPECT_EQ(messages[4], "CMD_nextplayer+1+1+0+");  // the computer never opens
    EXPECT_EQ(st.players[1].score, 0);
    EXPECT_EQ(st.players[2].score, 0);
    EXPECT_FALSE(st.players[1].watching);
    EXPECT_TRUE(st.players[2].inround);
    EXPECT_FALSE(st.players[3].inround);
    EXPECT_EQ(st.playtoscore, 3);
    EXPECT_EQ(st.round, 1);
    EXPECT_TRUE(st.gamestarted);
}

// The host turns Klot from Strong to Expert after the first move: the chat says so at the
// next turn, the game is played on at Strong move for move, and the next game is Expert's.
TEST(Flow, StrengthChangedDuringAGameCountsFromTheNextGame) {
    auto play = [](ServerRig& rig, bool change) {
        rig.join("Ann");
        rig.host.strengths[1] = rig.host.strengths[2] = BotStrength::Strong;
        rig.server.dispatch(1, "CMD_startgame+Ann+1+");
        rig.server.dispatch(1, "CMD_justwatch+1+1");
        rig.server.computertimerTimer();
        if (change) rig.host.strengths[1] = rig.host.strengths[2] = BotStrength::Expert;
        rig.run([&] { return !rig.server.state().gamestarted; });
        return rig.host.to(1, proto::kPlaceLetter);
    };
    ServerRig steady(21), changed(21);
    EXPECT_EQ(play(changed, true), play(steady, false));
    const std::string notice = "CMD_action+0+Klot plays Expert from the next game.|clBlue";
    EXPECT_EQ(changed.host.to(1, proto::kAction), std::vector<std::string>({
                                                      "CMD_action+0+Klot plays Strong.|clBlue",
                                                      notice,
                                                  }));
    changed.host.clear();
    changed.server.dispatch(1, "CMD_startgame+Ann+1+");
    EXPECT_EQ(changed.host.to(1)[1], "CMD_action+0+Klot plays Expert.|clBlue");
}

TEST(Flow, RoundsPerGameAreANumberFromOneToFive) {
    const std::pair<const char*, int> cases[] = {
        {"Ann+x+", 1},  {"Ann", 1},    {"Ann++", 1},        {"Ann+0+", 1},
        {"Ann+-3+", 1}, {"Ann+5+", 5}, {"Ann+1000000+", 5},
    };
    for (const auto& [request, rounds] : cases) {
        ServerRig rig;
        rig.join("Ann");
        rig.server.startgame(request);
        EXPECT_EQ(rig.server.state().playtoscore, rounds) << request;
        EXPECT_EQ(rig.host.to(1)[3], "CMD_startgame+Ann+" + std::to_string(rounds) + "+")
            << request;
    }
}

TEST(Flow, StarterNameReachesTheSeatsWithoutLineBreaks) {
    ServerRig rig;
    rig.join("Ann");
    rig.join("Bob");
    rig.server.dispatch(1, "CMD_startgame+A\r\nn\rn+1+");
    for (int seat : {1, 2})
        EXPECT_EQ(rig.host.to(seat, proto::kStartGame).at(0), "CMD_startgame+Ann+1+");
    EXPECT_FALSE(rig.host.missingTerminator);
}

TEST(Flow, StartWithoutAHumanPlayerIsRefused) {
    ServerRig rig;
    for (const char* name : {"Ann", "Bob", "Cy", "Spy"}) rig.join(name);
    for (int seat = 1; seat <= 3; ++seat) rig.server.departure(seat);
    rig.host.clear();
    rig.server.startgame("Spy+1+");
    EXPECT_FALSE(rig.server.state().gamestarted);
    EXPECT_TRUE(rig.host.log.empty());
    EXPECT_FALSE(rig.timer1.running());
}

TEST(Flow, CheckForWin) {
    struct Case {
        int round, rounds, s1, s2, s3;
        bool over;
        const char* winner;
        bool annLeft = false;  // the computer played seat 1 on
    };
    const Case cases[] = {
        {1, 1, 0, 0, 0, false, ""},          {2, 1, 10, 9, 0, true, "Ann"},
        {2, 1, 9, 10, 0, true, "Klot"},      {2, 1, 12, 12, 0, false, ""},
        {2, 1, 0, 0, 0, false, ""},          {2, 1, 3, 4, 5, true, "Klick"},
        {3, 1, 12, 12, 13, true, "Klick"},   {1, 0, 0, 0, 0, false, ""},
        {2, 0, 1, 0, 0, true, "Ann"},        {3, 3, 50, 0, 0, false, ""},
        {1, 2147483647, 5, 0, 0, false, ""}, {2, 1, 10, 9, 0, true, "Klack", true},
    };
    for (const auto& c : cases) {
        // Ann in seat 1, the computer in seats 2 and 3, a spectator hearing the winner.
        ServerRig rig;
        for (const char* name : {"Ann", "Bob", "Cy", "Spy"}) rig.join(name);
        rig.server.departure(2);
        rig.server.departure(3);
        if (c.annLeft) rig.server.departure(1);
        auto& st = rig.server.state();
        st.gamestarted = true;
        st.round = c.round;
        st.playtoscore = c.rounds;
        st.players[1].score = c.s1;
        st.players[2].score = c.s2;
        st.players[3].score = c.s3;
        rig.host.clear();
        EXPECT_EQ(rig.server.checkforwin(), c.over) << c.round << "/" << c.rounds;
        EXPECT_EQ(st.gamestarted, !c.over);
        if (c.over)
            EXPECT_EQ(rig.host.to(4),
                      std::vector<std::string>{"CMD_winner+" + std::string(c.winner) + "+"});
        else
            EXPECT_TRUE(rig.host.log.empty());
    }
}

TEST(Flow, TimerOneWaitsItsTicksThenActs) {
    ServerRig rig;
    rig.join("Ann");
    rig.server.dispatch(1, "CMD_startgame+Ann+1+");
    auto& st = rig.server.state();
    rig.server.dispatch(1, "CMD_placeit+1+1+1+");
    ASSERT_EQ(st.waitticks, 1);
    rig.host.clear();
    rig.server.timer1Timer();
    EXPECT_FALSE(rig.timer1.running());
    EXPECT_EQ(rig.host.to(1), std::vector<std::string>{"CMD_nextplayer+2+1+0+"});
    EXPECT_TRUE(rig.computertimer.running());
    EXPECT_EQ(rig.computertimer.interval, 1000);
    EXPECT_EQ(st.botticks, 1);
}

TEST(Flow, NextRoundContinuesTheRotationWithAFreshBoard) {
    ServerRig rig;
    rig.join("Ann");
    rig.join("Bob");
    rig.server.dispatch(1, "CMD_startgame+Ann+2+");
    auto& st = rig.server.state();
    for (int i = 0; i < 36; ++i) ASSERT_TRUE(playHumanTurn(rig));
    EXPECT_EQ(st.round, 2);
    EXPECT_EQ(st.column, 1);
    EXPECT_EQ(st.drawpos, 12);  // a new bag for the new round
    for (int r = 1; r <= kRows; ++r) EXPECT_EQ(st.board[r][1], 0);
    const auto seats = turns(rig.host);
    // The last placer of round 1 had turn 36; round 2 opens with the next in rotation.
    EXPECT_EQ(seats[36], seats[35] == 1 ? 2 : 1);
}

TEST(Flow, HumanLeavingMidRoundHasTheComputerPlayTheRestOfTheirTurns) {
    ServerRig rig;
    rig.join("Ann");
    rig.join("Bob");
    rig.join("Cy");
    rig.server.dispatch(1, "CMD_startgame+Ann+1+");
    auto& st = rig.server.state();
    rig.server.departure(3);
    EXPECT_TRUE(st.players[3].inround);
    int played3 = 0;
    for (int i = 0; i < 36; ++i) {
        if (st.whoseturn == 3) {
            ASSERT_TRUE(rig.computertimer.running());
            rig.server.computertimerTimer();
            ++played3;
            while (rig.timer1.running() && st.whoseturn == 0) rig.server.timer1Timer();
        } else {
            ASSERT_TRUE(playHumanTurn(rig));
        }
    }
    EXPECT_GT(played3, 0);
    EXPECT_EQ(rig.host.to(1, proto::kPlaceLetter).size(), 36u);
}

}  // namespace
}  // namespace tessarin::testing
