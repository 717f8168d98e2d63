// Seats, login and departures of the game server over real loopback connections.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "hostport.h"

#include "protocol.h"
#include "serverfixture.h"

namespace tessarin::testing {
namespace {

using SeatsOverTcp = ServerOnTcp;

bool loopbackIPv6() {
    const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_loopback;
    const bool ok = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

std::size_t count(const std::vector<std::string>& lines, std::string_view prefix) {
    return static_cast<std::size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
}

TEST_F(SeatsOverTcp, NineSeatsInOrderAndATenthIsRefused) {
    for (int seat = 1; seat <= 9; ++seat) EXPECT_EQ(connect().seat, seat);
    TestClient& tenth = connect();
    EXPECT_EQ(tenth.seat, 0);
    EXPECT_EQ(tenth.received, std::vector<std::string>{"CMD_full+"});
    ASSERT_TRUE(waitFor([&] { return tenth.closed(); }));
    EXPECT_EQ(tenth.events, (std::vector<std::string>{"disconnect", "closed"}));
    EXPECT_TRUE(logged("the game is full"));
    // The seated nine notice nothing.
    for (int seat = 1; seat <= 9; ++seat) {
        EXPECT_EQ(clients[seat - 1]->received,
                  std::vector<std::string>{"CMD_sendlogininfo+" + std::to_string(seat)});
        EXPECT_TRUE(server.seatOpen(seat));
    }
}

// The hosting server listens on both families; each peer is logged as the address it typed.
TEST_F(SeatsOverTcp, JoinsThroughIPv4AndIPv6Addresses) {
    const std::string port = std::to_string(server.port());
    const std::pair<std::string, std::string> table[] = {{"127.0.0.1:" + port, "127.0.0.1"},
                                                         {"[::1]:" + port, "::1"}};
    for (const auto& [typed, peer] : table) {
        const auto address = proto::parseHostPort(typed, 7772);
        ASSERT_TRUE(address) << typed;
        if (address->host == "::1" && !loopbackIPv6())
            GTEST_SKIP() << "::1 is not available here (no IPv6 on the loopback)";
        TestClient& client = connect(address->host);
        ASSERT_GT(client.seat, 0) << typed;
        client.login("P" + std::to_string(client.seat));
        ASSERT_TRUE(waitFor([&] { return logged("connection from " + peer); })) << typed;
    }
}

TEST_F(SeatsOverTcp, LowestFreeSeatIsReusedFirst) {
    for (int i = 0; i < 5; ++i) connect();
    clients[1]->sock.Close();
    ASSERT_TRUE(waitFor([&] { return !server.seatOpen(2); }));
    EXPECT_EQ(connect().seat, 2);
    EXPECT_EQ(connect().seat, 6);
    EXPECT_EQ(server.server().state().lastseat, 6);
}

TEST_F(SeatsOverTcp, WelcomeSequenceInOrder) {
    TestClient& bob = join("Bob");
    TestClient& cy = join("Cy");
    TestClient& ann = join("Ann", "0.9");
    ASSERT_GE(ann.awaitMessage("CMD_wrongversion"), 0);
    ASSERT_GE(bob.awaitMessage("CMD_havewrongversion"), 0);
    // Each player's secret comes first, to it alone, and differs from the others'.
    const std::string secret = ann.messages(proto::kSecret).at(0);
    EXPECT_EQ(ann.received, (std::vector<std::string>{
                                "CMD_sendlogininfo+3", secret, "CMD_newplayerinfo+3+Ann+0",
                                "CMD_existingplayers+1+Bob+0+2+Cy+0", "CMD_wrongversion+"}));
    EXPECT_EQ(bob.received,
              (std::vector<std::string>{"CMD_sendlogininfo+1", bob.messages(proto::kSecret).at(0),
                                        "CMD_newplayerinfo+1+Bob+0", "CMD_newplayerinfo+2+Cy+0",
                                        "CMD_newplayerinfo+3+Ann+0", "CMD_havewrongversion+Ann"}));
    EXPECT_NE(bob.messages(proto::kSecret), ann.messages(proto::kSecret));
    ASSERT_TRUE(waitFor([&] { return cy.received.size() == 5; }));
    EXPECT_EQ(cy.received.back(), "CMD_newplayerinfo+3+Ann+0");
    EXPECT_TRUE(logged("seat 3: Ann logged in"));
}

TEST_F(SeatsOverTcp, JoinersOfARunningGameCatchUpAndSpectatorsGetNoRack) {
    TestClient& ann = join("Ann");
    ann.sock.Send(proto::request::startgame("Ann", "2"));
    ASSERT_GE(ann.awaitMessage("CMD_nextplayer+"), 0);

    TestClient& bob = join("Bob");
    ASSERT_GE(bob.awaitMessage("CMD_gamestats+"), 0);
    ASSERT_EQ(bob.received.size(), 6u);
    EXPECT_EQ(bob.received[3], "CMD_existingplayers+1+Ann+0");
    EXPECT_TRUE(bob.received[4].starts_with("CMD_mytiles+2+1+"));
    EXPECT_EQ(std::count(bob.received[4].begin(), bob.received[4].end(), '+'), 13);
    EXPECT_TRUE(bob.received[5].starts_with("CMD_gamestats+2+"));

    join("Cy");
    TestClient& spy = join("Spy");
    ASSERT_GE(spy.awaitMessage("CMD_gamestats+4+"), 0);
    EXPECT_TRUE(spy.messages(proto::kMyTiles).empty());
}

// Ann and Cy play in seats 1 and 3, the computer in seat 2.
class HeldSeat : public ServerOnTcp {
  protected:
    TestClient& startWithCyInSeatThree() {
        TestClient& ann = join("Ann");
        TestClient& passer = join("Passer");
        cy = &join("Cy");
        passer.sock.Close();
        EXPECT_TRUE(waitFor([&] { return !server.seatOpen(2); }));
        ann.sock.Send(proto::request::startgame("Ann", "5"));
        EXPECT_GE(cy->awaitMessage("CMD_mytiles+3+"), 0);
        eachPlacesOnce(ann);
        const auto secrets = cy->messages(proto::kSecret);
        EXPECT_EQ(secrets.size(), 1u);
        if (!secrets.empty()) secret = std::string(proto::split(secrets.back())->payload);
        EXPECT_EQ(secret.size(), 2 * proto::kSecretBytes);
        return ann;
    }
    // Ann and Cy each place a tile, the computer one for seat 2; the turn then rests with a
    // person, and the board stays as it is until somebody places again.
    void eachPlacesOnce(TestClient& ann) {
        const GameState& st = server.server().state();
        bool placed[4] = {};
        const auto personWaits = [&] {
            return (st.whoseturn == 1 || st.whoseturn == 3) && !st.computermove;
        };
        while (!placed[1] || !placed[3]) {
            ASSERT_TRUE(waitFor([&] { return personWaits() && !placed[st.whoseturn]; }));
            const int seat = st.whoseturn;
            int row = 1;
            while (st.board[row][st.column] != 0) ++row;
            const int column = st.column;
            (seat == 1 ? ann : *cy)
                .sock.Send(proto::request::placeit(seat, 1, std::to_string(row * 10 + column)));
            ASSERT_TRUE(waitFor([&] { return st.board[row][column] != 0; }));
            placed[seat] = true;
        }
        ASSERT_TRUE(waitFor(personWaits));
    }
    void dropCy() {
        cy->sock.Close();
        EXPECT_TRUE(waitFor([&] { return logged("seat 3: held for Cy"); }));
    }
    // A new connection that presents `key` (if any) and logs in as `name`.
    TestClient& comeBack(const std::string& name, const std::string& key) {
        TestClient& client = connect();
        if (!key.empty()) client.sock.Send(proto::request::secret(client.seat, key));
        client.login(name);
        return client;
    }
    std::size_t logCount(std::string_view what) const {
        return static_cast<std::size_t>(std::count_if(log.begin(), log.end(), [&](const auto& l) {
            return l.find(what) != std::string::npos;
        }));
    }

    TestClient* cy = nullptr;
    std::string secret;
};

TEST_F(HeldSeat, AHijackByNameGetsNeitherTheSeatNorTheRack) {
    TestClient& ann = startWithCyInSeatThree();
    dropCy();
    TestClient& mallory = comeBack("Cy", "");
    EXPECT_EQ(mallory.seat, 2);
    ASSERT_GE(mallory.awaitMessage("CMD_gamestats+2+"), 0);
    EXPECT_GE(ann.awaitMessage("CMD_newplayerinfo+2+Cy (2)+0"), 0);
    EXPECT_TRUE(mallory.messages(proto::kSendLoginInfo).size() == 1);
    for (const auto& rack : mallory.messages(proto::kMyTiles))
        EXPECT_TRUE(rack.starts_with("CMD_mytiles+2+")) << rack;
    // A wrong secret is no better than none.
    TestClient& guesser = comeBack("Cy", std::string(2 * proto::kSecretBytes, '0'));
    ASSERT_GE(guesser.awaitMessage("CMD_newplayerinfo+4+Cy (3)+0"), 0);
    EXPECT_TRUE(server.server().seats().held(3));
}

// The player is back with its secret, whether the server saw the old connection go or
// still thought it alive (the player redialled first).
class Reclaim : public HeldSeat, public ::testing::WithParamInterface<bool> {};

TEST_P(Reclaim, GetsTheSeatRackScoreAndBoard) {
    const bool oldStillOpen = GetParam();
    TestClient& ann = startWithCyInSeatThree();
    if (!oldStillOpen) dropCy();
    TestClient& back = comeBack("Cy", secret);
    ASSERT_EQ(back.seat, 2);
    ASSERT_GE(back.awaitMessage("CMD_sendlogininfo+3"), 0);  // moved, and asked again
    back.seat = 3;
    back.sock.Send(proto::request::secret(3, secret));
    back.login("Cy");
    ASSERT_GE(back.awaitMessage("CMD_gamestats+3+"), 0);
    if (oldStillOpen) {
        EXPECT_TRUE(waitFor([&] { return cy->closed(); }));
    }

    const GameState& st = server.server().state();
    const tplayer& seat3 = st.players[3];
    // What the server holds, in the layouts the protocol test pins down.
    std::vector<proto::msg::SlotTile> rack;
    for (int slot = 1; slot <= kRackSize; ++slot) rack.push_back({slot, seat3.tiles[slot]});
    proto::msg::GameStats stats{3,
                                st.whoseturn,
                                true,
                                5,
                                st.round,
                                st.column,
                                {st.players[1].score, st.players[2].score, seat3.score},
                                {}};
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kColumns; ++c)
            if (st.board[r][c] != 0) stats.cells.push_back({r, c, st.board[r][c]});
    ASSERT_GE(stats.cells.size(), 3u);
    ASSERT_EQ(back.received.size(), 7u);
    EXPECT_TRUE(back.received[2].starts_with("CMD_secret+"));
    EXPECT_NE(back.received[2], "CMD_secret+" + secret);  // a new one for the next time
    EXPECT_EQ(back.received[3], "CMD_newplayerinfo+3+Cy+0");
    EXPECT_EQ(back.received[5], unframed(proto::msg::mytiles(3, rack)));
    EXPECT_EQ(back.received[6], unframed(proto::msg::gamestats(stats)));
    EXPECT_EQ(seat3.name, "Cy");
    EXPECT_FALSE(server.server().seats().held(3));
    EXPECT_FALSE(server.seatOpen(2));
    ASSERT_GE(ann.awaitMessage("CMD_chat+0+Cy is back.|clBlue"), 0);
    EXPECT_EQ(count(ann.received, "CMD_newplayerinfo+2+"), 1u);  // only Passer, long gone
}

INSTANTIATE_TEST_SUITE_P(OldConnection, Reclaim, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "StillOpen" : "Gone"; });

// A hold runs its time from the drop, whatever tries to come back meanwhile.
TEST_F(HeldSeat, FailedReclaimsDoNotExtendTheHold) {
    server.setSeatHoldMs(1000);
    startWithCyInSeatThree();
    dropCy();
    // Until the hold ends: a newcomer by the name, a wrong secret, and the right secret on a
    // connection that leaves before logging in.
    for (int round = 0; !logged("seat 3: no longer held for Cy"); ++round) {
        ASSERT_LT(round, 100) << "the hold never ended";
        const std::string key = round % 3 == 0   ? std::string()
                                : round % 3 == 1 ? std::string(secret.size(), 'f')
                                                 : secret;
        TestClient& again = connect();
        if (!key.empty()) again.sock.Send(proto::request::secret(again.seat, key));
        if (round % 3 != 2) again.login("Cy");
        ASSERT_TRUE(waitFor([&] { return server.queued() == 0; }));
        again.sock.Close();
        const QDeadlineTimer pause(100);
        waitFor([&] { return pause.hasExpired(); });
    }
    EXPECT_EQ(logCount("seat 3: held for Cy"), 1u);
}

TEST_F(HeldSeat, TheHoldEndsWithTheGame) {
    TestClient& ann = startWithCyInSeatThree();
    ann.sock.Send(proto::request::startgame("Ann", "1"));
    ASSERT_GE(ann.awaitMessage("CMD_startgame+Ann+1+", 1), 0);
    dropCy();
    ann.sock.Send(proto::request::justwatch(1, true));  // the computer plays the game out
    ASSERT_GE(ann.awaitMessage("CMD_winner+"), 0);
    EXPECT_FALSE(server.server().seats().held(3));
    TestClient& late = comeBack("Cy", secret);
    ASSERT_GE(late.awaitMessage("CMD_newplayerinfo+2+Cy+0"), 0);  // a newcomer now
    EXPECT_EQ(late.messages(proto::kSendLoginInfo).size(), 1u);
}

TEST_F(SeatsOverTcp, NamesAtATableAreDistinct) {
    TestClient& ann = join("Ann");
    const struct {
        std::string name;
        std::string shown;
    } cases[] = {{"ann", "ann (2)"},
                 {"Ann", "Ann (3)"},
                 {"Klot", "Klot (2)"},
                 {std::string(proto::kMaxNameLength, 'Z'), std::string(proto::kMaxNameLength, 'Z')},
                 {std::string(proto::kMaxNameLength, 'Z'),
                  std::string(proto::kMaxNameLength - 4, 'Z') + " (2)"}};
    int seat = 1;
    for (const auto& c : cases) {
        TestClient& next = connect();
        next.login(c.name);
        ++seat;
        EXPECT_GE(
            ann.awaitMessage("CMD_newplayerinfo+" + std::to_string(seat) + "+" + c.shown + "+0"), 0)
            << c.name;
    }
}

TEST_F(SeatsOverTcp, ALineSaidOnTheWayOutReachesTheOthersAndNotTheNextInTheSeat) {
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    bob.sock.Send(proto::request::chat(2, "bye|clRed"));
    bob.sock.Close();
    const int said = ann.awaitMessage("CMD_chat+2+Bob chats: bye|clRed");
    ASSERT_GE(said, 0);
    EXPECT_GE(ann.awaitMessage("CMD_playerdisconnected+2+Bob", static_cast<std::size_t>(said)), 0);
    TestClient& cy = join("Cy");
    EXPECT_EQ(cy.seat, 2);
    cy.sock.Send(proto::request::chat(2, "hi|clRed"));
    ASSERT_GE(ann.awaitMessage("CMD_chat+2+Cy chats: hi|clRed"), 0);
    EXPECT_EQ(cy.messages(proto::kChat).size(), 1u);
}

// Seat 3 is a human's whose turn it is when its connection goes.
class DepartureDuringTurn : public ServerOnTcp, public ::testing::WithParamInterface<bool> {
  protected:
    // The first turn goes to the seat after the randomly drawn one.
    static std::uint32_t seedGivingSeat3TheFirstTurn() {
        for (std::uint32_t seed = 1;; ++seed)
            if (TRandom(seed).Random(3) == 2) return seed;
    }
    DepartureDuringTurn() : ServerOnTcp(seedGivingSeat3TheFirstTurn()) {}
};

TEST_P(DepartureDuringTurn, PassesTheTurnOnOnce) {
    const bool kicked = GetParam();
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    TestClient& cy = join("Cy");
    ann.sock.Send(proto::request::startgame("Ann", "1"));
    const int turn = ann.awaitMessage("CMD_nextplayer+");
    ASSERT_GE(turn, 0);
    ASSERT_EQ(ann.received[turn], "CMD_nextplayer+3+1+0+");

    if (kicked)
        ann.sock.Send(proto::request::kickhim(1, 3));
    else
        cy.sock.Close();
    const int gone = ann.awaitMessage("CMD_playerdisconnected+3+Cy");
    ASSERT_GE(gone, 0);
    const int next = ann.awaitMessage("CMD_nextplayer+", gone);
    ASSERT_GE(next, 0);
    EXPECT_EQ(ann.received[next], "CMD_nextplayer+1+1+0+");
    ASSERT_GE(bob.awaitMessage("CMD_nextplayer+1+1+0+"), 0);
    EXPECT_EQ(count(bob.received, "CMD_playerdisconnected+"), 1u);
    EXPECT_EQ(count(ann.received, "CMD_playerdisconnected+"), 1u);
    if (kicked) {
        ASSERT_TRUE(waitFor([&] { return cy.closed(); }));
    }
    EXPECT_FALSE(server.seatOpen(3));
    EXPECT_FALSE(server.server().state().players[3].connected);
    EXPECT_EQ(std::count(log.begin(), log.end(),
                         kicked ? "seat 3: Cy removed by the host" : "seat 3: Cy left"),
              1);
}

INSTANTIATE_TEST_SUITE_P(KickedOrLeft, DepartureDuringTurn, ::testing::Bool());

struct FramingCase {
    std::string name;
    std::vector<std::string> chunks;  // sent one after another, each arrived before the next
    std::vector<std::string> relayed;
};

class Framing : public ServerOnTcp, public ::testing::WithParamInterface<FramingCase> {};

TEST_P(Framing, MessagesAreCutAtEvery0xFF) {
    TestClient& ann = join("Ann");
    const std::size_t before = ann.received.size();
    std::string sent;
    for (const auto& chunk : GetParam().chunks) {
        ann.sendRaw(chunk);
        sent += chunk;
        const std::size_t tail = sent.size() - (sent.rfind('\xFF') + 1);
        ASSERT_TRUE(
            waitFor([&] { return server.pendingBytes(1) == tail && server.queued() == 0; }));
    }
    const auto& relayed = GetParam().relayed;
    ASSERT_TRUE(waitFor([&] { return ann.received.size() >= before + relayed.size(); }));
    // Anything extra (a message taken twice, an empty one answered) would show up here.
    ann.sock.Send(proto::request::chat(1, "end|clRed"));
    ASSERT_GE(ann.awaitMessage("CMD_chat+1+Ann chats: end"), 0);
    std::vector<std::string> got(ann.received.begin() + static_cast<long>(before),
                                 ann.received.end() - 1);
    EXPECT_EQ(got, relayed);
}

INSTANTIATE_TEST_SUITE_P(Chunks, Framing,
                         ::testing::Values(FramingCase{"SplitInTheCommandWord",
                                                       {"CMD_ch", "at+1+hi|clRed\xFF"},
                                                       {"CMD_chat+1+Ann chats: hi|clRed"}},
                                           FramingCase{"SplitRightBeforeTheTerminator",
                                                       {"CMD_chat+1+hi|clRed", "\xFF"},
                                                       {"CMD_chat+1+Ann chats: hi|clRed"}},
                                           FramingCase{"TwoInOneChunk",
                                                       {"CMD_chat+1+a+b|clRed\xFF"
                                                        "CMD_action+1+waves|clRed\xFF"},
                                                       {"CMD_chat+1+Ann chats: a+b|clRed",
                                                        "CMD_action+1+Ann waves|clRed"}},
                                           FramingCase{"TwoTerminatorsInARow",
                                                       {"\xFF\xFF", "CMD_playasound+1+wave3+\xFF"},
                                                       {"CMD_playasound+1+wave3+"}},
                                           FramingCase{"OneAndAHalf",
                                                       {"CMD_chat+1+a|clRed\xFF"
                                                        "CMD_cha",
                                                        "t+1+b|clRed\xFF"},
                                                       {"CMD_chat+1+Ann chats: a|clRed",
                                                        "CMD_chat+1+Ann chats: b|clRed"}}),
                         [](const auto& info) { return info.param.name; });

TEST_F(SeatsOverTcp, TheQueueTimerRunsOnlyWhileMessagesWait) {
    EXPECT_FALSE(server.socktimerRunning());
    TestClient& ann = join("Ann");
    ann.sock.Send(proto::request::chat(1, "one|clRed") + proto::request::chat(1, "two|clRed"));
    ASSERT_TRUE(waitFor([&] { return server.queued() > 0; }));
    EXPECT_TRUE(server.socktimerRunning());
    ASSERT_GE(ann.awaitMessage("CMD_chat+1+Ann chats: two"), 0);
    EXPECT_EQ(server.queued(), 0u);
    EXPECT_FALSE(server.socktimerRunning());
}

}  // namespace
}  // namespace tessarin::testing
