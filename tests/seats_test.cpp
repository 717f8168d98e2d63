#include <gtest/gtest.h>

#include "fakes.h"
#include "protocol.h"
#include "tablesummary.h"

namespace tessarin::testing {
namespace {

TEST(Seats, LowestFreeSeatFirstAndATenthIsRefused) {
    ServerRig rig;
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(rig.join("P" + std::to_string(i)), i);
    EXPECT_EQ(rig.server.chooseseat(), 0);
    rig.server.departure(2);
    rig.server.departure(5);
    EXPECT_EQ(rig.server.chooseseat(), 2);
    rig.join("Late");
    EXPECT_EQ(rig.server.chooseseat(), 5);
    EXPECT_EQ(rig.server.state().lastseat, 9);
}

TEST(Seats, FreedSeatBelowLastIsReusedBeforeANewOne) {
    ServerRig rig;
    for (int i = 1; i <= 5; ++i) rig.join("P" + std::to_string(i));
    rig.server.departure(2);
    EXPECT_EQ(rig.server.chooseseat(), 2);
    rig.join("Q");
    EXPECT_EQ(rig.server.chooseseat(), 6);
}

TEST(Seats, WelcomeSequenceInOrder) {
    ServerRig rig;
    rig.join("Bob");
    rig.server.seattaken(rig.server.chooseseat());  // seat 2
    rig.server.seattaken(rig.server.chooseseat());  // seat 3
    rig.server.dispatch(3, "CMD_logininfo+3+1.0.1+Cy");
    rig.host.clear();
    rig.server.dispatch(2, "CMD_logininfo+2+0.9+Ann");
    const std::vector<std::string> toAnn = {"CMD_secret+s3", "CMD_newplayerinfo+2+Ann+0",
                                            "CMD_existingplayers+1+Bob+0+3+Cy+0",
                                            "CMD_wrongversion+"};
    EXPECT_EQ(rig.host.to(2), toAnn);
    const std::vector<std::string> toBob = {"CMD_newplayerinfo+2+Ann+0",
                                            "CMD_havewrongversion+Ann"};
    EXPECT_EQ(rig.host.to(1), toBob);
    EXPECT_EQ(rig.host.to(3), std::vector<std::string>{"CMD_newplayerinfo+2+Ann+0"});
}

TEST(Seats, LoneNewcomerGetsNoExistingPlayers) {
    ServerRig rig;
    rig.join("Ann");
    EXPECT_EQ(rig.host.to(1), (std::vector<std::string>{"CMD_sendlogininfo+1", "CMD_secret+s1",
                                                        "CMD_newplayerinfo+1+Ann+0"}));
}

TEST(Seats, JoinerOfARunningGameCatchesUp) {
    ServerRig rig(3);
    rig.join("Ann");
    rig.server.dispatch(1, "CMD_startgame+Ann+2+");
    auto& st = rig.server.state();
    rig.server.dispatch(1, "CMD_placeit+1+1+3+");
    const int letter = st.board[3][1];
    rig.host.clear();
    rig.join("Bob");  // seat 2, played by the computer until now
    const auto toBob = rig.host.to(2);
    ASSERT_EQ(toBob.size(), 6u);
    std::string rack = "CMD_mytiles+2";
    for (int k = 1; k <= 6; ++k)
        rack += "+" + std::to_string(k) + "+" + std::to_string(st.players[2].tiles[k]);
    EXPECT_EQ(toBob[4], rack);
    EXPECT_EQ(toBob[5], "CMD_gamestats+2+0+t+2+1+1+0+0+0+3+1+" + std::to_string(letter));

    rig.join("Cy");
    rig.join("Spy");  // seat 4: no rack
    const auto toSpy = rig.host.to(4);
    EXPECT_TRUE(rig.host.to(4, proto::kMyTiles).empty());
    EXPECT_EQ(toSpy.back().rfind("CMD_gamestats+4+0+f+2+1+1+", 0), 0u);
}

TEST(Seats, SummaryShowsPeopleTheComputerAndSpectators) {
    ServerRig rig(3);
    rig.join("Ann");
    TableSummary before = summarise(rig.server.state());
    EXPECT_EQ(before.seats[1].name, "Klot");
    EXPECT_TRUE(before.seats[2].name.empty());
    rig.join("Bob");
    rig.join("Cy");
    rig.server.dispatch(1, "CMD_startgame+Ann+2+");
    rig.join("Spy");
    rig.server.departure(3);
    const TableSummary during = summarise(rig.server.state());
    EXPECT_EQ(during.seats[0].name, "Ann");
    EXPECT_EQ(during.seats[1].name, "Bob");
    EXPECT_FALSE(during.seats[1].computer);
    EXPECT_TRUE(during.seats[2].computer);  // Cy left mid-game; the computer plays on
    EXPECT_EQ(during.players, 2);
    EXPECT_EQ(during.spectators, 1);
    EXPECT_TRUE(during.playing);
    EXPECT_EQ(during.round, 1);
    EXPECT_EQ(during.rounds, 2);
}

TEST(Seats, EmptyBoardStatsEndWithZeroTriple) {
    ServerRig rig;
    rig.join("Ann");
    rig.server.state().gamestarted = true;
    rig.join("Bob");
    EXPECT_EQ(rig.host.to(2).back(), "CMD_gamestats+2+0+f+0+0+0+0+0+0+0+0+0");
}

TEST(Seats, SpoofedSeatFieldsAreDropped) {
    ServerRig rig;
    rig.join("Ann");
    rig.join("Bob");
    rig.join("Cy");
    rig.host.clear();
    rig.server.dispatch(2, "CMD_chat+1+I am Ann|clBlack");
    rig.server.dispatch(2, "CMD_logininfo+1+1.0.1+Mallory");
    rig.server.dispatch(2, "CMD_kickhim+1+3+");
    rig.server.dispatch(2, "CMD_justwatch+3+2");
    rig.server.dispatch(2, "CMD_startgame+Bob+1+");
    rig.server.dispatch(2, "CMD_playasound+12+wave1+");
    rig.server.dispatch(2, "CMD_chat+-5+x|clBlack");
    EXPECT_TRUE(rig.host.log.empty());
    EXPECT_TRUE(rig.host.closed.empty());
    EXPECT_EQ(rig.server.state().players[1].name, "Ann");
    EXPECT_FALSE(rig.server.state().gamestarted);
}

TEST(Seats, HostMaySetOtherPlayersToWatch) {
    ServerRig rig;
    rig.join("Ann");
    rig.join("Bob");
    rig.join("Cy");
    rig.server.dispatch(1, "CMD_startgame+Ann+1+");
    rig.host.clear();
    rig.server.dispatch(1, "CMD_justwatch+3+1");
    EXPECT_TRUE(rig.server.state().players[3].watching);
    EXPECT_EQ(rig.host.to(2), std::vector<std::string>{"CMD_justwatching+3+1"});

    // Watching already, or nobody there: the computer plays the seat anyway and the turn
    // must not be passed on.
    rig.server.departure(2);
    for (int seat : {2, 3}) {
        rig.server.state().whoseturn = rig.server.state().turnpos = seat;
        rig.host.clear();
        rig.server.dispatch(1, "CMD_justwatch+" + std::to_string(seat) + "+1");
        EXPECT_TRUE(rig.host.log.empty()) << seat;
        EXPECT_EQ(rig.server.state().whoseturn, seat);
    }
}

TEST(Seats, JustWatchRules) {
    ServerRig rig;
    rig.join("Ann");
    for (int i = 0; i < 3; ++i) rig.join("P");
    rig.host.clear();
    rig.server.dispatch(4, "CMD_justwatch+4+1");  // a spectator
    rig.server.dispatch(1, "CMD_justwatch+1+1");  // no game running
    EXPECT_TRUE(rig.host.log.empty());
    rig.server.dispatch(1, "CMD_justwatch+1+2");  // play again is always answered
    EXPECT_EQ(rig.host.to(4), std::vector<std::string>{"CMD_justwatching+1+2"});
}

TEST(Seats, KickOnlyFromTheHostAndDepartureDuringTurnPassesIt) {
    ServerRig rig(5);
    rig.join("Ann");
    rig.join("Bob");
    rig.join("Cy");
    rig.server.dispatch(1, "CMD_startgame+Ann+1+");
    auto& st = rig.server.state();
    st.whoseturn = st.turnpos = 3;
    rig.host.clear();
    rig.server.dispatch(1, "CMD_kickhim+1+3+");
    EXPECT_EQ(rig.host.closed, std::vector<int>{3});
    EXPECT_FALSE(st.players[3].connected);
    EXPECT_TRUE(st.players[3].inround);
    const std::vector<std::string> toBob = {"CMD_playerdisconnected+3+Cy", "CMD_nextplayer+1+1+0+"};
    EXPECT_EQ(rig.host.to(2), toBob);
    EXPECT_EQ(rig.host.to(3), std::vector<std::string>{"CMD_removed+"});  // told before closing
    rig.server.dispatch(1, "CMD_kickhim+1+3+");                           // already gone
    rig.server.dispatch(1, "CMD_kickhim+1+99+");
    EXPECT_EQ(rig.host.closed.size(), 1u);
}

TEST(Seats, HostRemovingItselfClosesItsOwnConnection) {
    ServerRig rig;
    rig.join("Ann");
    rig.join("Bob");
    rig.host.clear();
    rig.server.dispatch(1, "CMD_kickhim+1+1+");
    EXPECT_EQ(rig.host.closed, std::vector<int>{1});
    EXPECT_EQ(rig.host.to(2), std::vector<std::string>{"CMD_playerdisconnected+1+Ann"});
}

TEST(Seats, RelaysCarryTheSpeakersName) {
    ServerRig rig;
    rig.join("Ann");
    rig.join("Bob");
    rig.host.clear();
    rig.server.dispatch(2, "CMD_chat+2+hi+there|clBlack");
    rig.server.dispatch(2, "CMD_action+2+says: Hello\r\n|clRed");
    rig.server.dispatch(2, "CMD_playasound+2+wave9+");
    const std::vector<std::string> expected = {"CMD_chat+2+Bob chats: hi+there|clBlack",
                                               "CMD_action+2+Bob says: Hello|clRed",
                                               "CMD_playasound+2+wave9+"};
    EXPECT_EQ(rig.host.to(1), expected);
    EXPECT_EQ(rig.host.to(2), expected);
}

TEST(Seats, NamesLoseBytesThatWouldBreakTheSeatLists) {
    ServerRig rig;
    rig.server.seattaken(1);
    rig.server.dispatch(1, "CMD_logininfo+1+1.0.1+An+n\r\n");
    EXPECT_EQ(rig.server.state().players[1].name, "Ann");
}

TEST(Seats, MalformedMessagesAreDroppedOrReported) {
    ServerRig rig;
    rig.join("Ann");
    rig.host.clear();
    for (const char* line : {"", "CMD_chat", "+", "CMD_nothing+1+2", "cmd_chat+1+x"})
        rig.server.dispatch(1, line);
    EXPECT_TRUE(rig.host.log.empty());
    EXPECT_THROW(rig.server.dispatch(1, "CMD_chat+one+x"), proto::ConversionError);
    EXPECT_THROW(rig.server.dispatch(1, "CMD_placeit+"), proto::ConversionError);
}

}  // namespace
}  // namespace tessarin::testing
