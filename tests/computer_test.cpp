#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "fakes.h"
#include "protocol.h"

namespace tessarin::testing {
namespace {

int code(char letter) {
    return letter - 'a' + 1;
}

std::string records(std::vector<std::string> words) {
    std::sort(words.begin(), words.end());
    std::string list;
    for (const auto& w : words) {
        std::string r = "\x1E" + w;
        r.resize(15, ' ');
        list += r;
    }
    return list;
}

// The placement the computer made: row and letter of its "CMD_placeletter".
struct Placed {
    int seat, row, column, letter;
};
Placed lastPlaced(const FakeHost& host, int toSeat = 1) {
    const auto m = host.to(toSeat, proto::kPlaceLetter);
    EXPECT_FALSE(m.empty());
    if (m.empty()) return {};
    proto::FieldReader f(proto::split(m.back())->payload);
    Placed p;
    p.seat = f.integer();
    p.row = f.integer();
    p.column = f.integer();
    p.letter = f.integer();
    return p;
}

// Ann (seat 1) watches; the computer plays seat 2 in the given column.
struct ComputerRig : ServerRig {
    ComputerRig(std::uint32_t seed, int column, const TDictn& spell = sharedDictionary())
        : ServerRig(seed, spell) {
        join("Ann");
        auto& st = server.state();
        st.gamestarted = true;
        st.column = column;
        st.whoseturn = 2;
        st.players[1].inround = st.players[2].inround = true;
        server.shuffletiles();
        server.dealtiles();
        host.clear();
    }
};

// Every row reads B C D E F in cells 1..5; the computer tries its rack in column 6.
// Its words make G worth 20, H worth 21 and J worth 24.
TEST(Computer, PlaysTwentyOneAtOnceButOnlyRemembersTwenty) {
    TempDir dir;
    std::string list = records({"BCDEFG", "BCDEGF", "BCDFEG", "FG",        // G: 6+6+6+2
                                "BCDEFH", "BCDEHF", "BCDFEH", "EFH",       // H: 6+6+6+3
                                "BCDEFJ", "BCDEJF", "BCDFEJ", "BCDFJE"});  // J: 6*4
    TDictn spell(dir.path(), list);
    for (std::uint32_t seed : {1u, 2u, 3u, 99u}) {
        ComputerRig rig(seed, 6, spell);
        auto& st = rig.server.state();
        for (int r = 1; r <= kRows; ++r)
            for (int c = 1; c <= 5; ++c) st.board[r][c] = code("bcdef"[c - 1]);
        // Visiting order starts after the first random slot.
        TRandom preview = rig.random;
        const int start = preview.Random(6);
        auto slotAt = [&](int i) { return (start + i) % 6 + 1; };
        st.players[2].tiles = {0, code('q'), code('q'), code('q'), code('q'), code('q'), code('q')};
        st.players[2].tiles[slotAt(0)] = code('g');
        st.players[2].tiles[slotAt(1)] = code('h');
        st.players[2].tiles[slotAt(2)] = code('j');

        rig.server.computerplay(2);
        const Placed p = lastPlaced(rig.host);
        EXPECT_EQ(p.seat, 2);
        EXPECT_EQ(p.column, 6);
        EXPECT_EQ(p.letter, code('h')) << "seed " << seed;
        EXPECT_EQ(st.players[2].score, 21);
    }
}

TEST(Computer, PlaysTheBestTryBelowTheThreshold) {
    TempDir dir;
    const std::string list = records({"AB", "BA", "AC"});
    TDictn spell(dir.path(), list);
    ComputerRig rig(5, 2, spell);
    auto& st = rig.server.state();
    for (int r = 1; r <= kRows; ++r) st.board[r][1] = code('b');
    st.players[2].tiles = {0, code('c'), code('a'), code('c'), code('a'), code('z'), code('z')};
    rig.server.computerplay(2);
    const Placed p = lastPlaced(rig.host);
    EXPECT_EQ(p.letter, code('a'));  // "ab" + "ba" = 4 beats nothing else
    EXPECT_EQ(st.players[2].score, 4);
}

TEST(Computer, EmptyBoardPlacesARandomTileInARandomRow) {
    for (std::uint32_t seed : {4u, 40u, 400u}) {
        ComputerRig rig(seed, 1);
        auto& st = rig.server.state();
        st.players[2].tiles = {0, 1, 2, 3, 4, 5, 6};
        TRandom preview = rig.random;
        for (int i = 0; i < 7; ++i) preview.Random(6);  // start slot, one row per slot
        const int slot = preview.Random(6) + 1;
        const int row = preview.Random(6) + 1;
        rig.server.computerplay(2);
        const Placed p = lastPlaced(rig.host);
        EXPECT_EQ(p.row, row);
        EXPECT_EQ(p.column, 1);
        EXPECT_EQ(p.letter, slot);
        EXPECT_TRUE(rig.host.to(1, proto::kAScore).empty());
    }
}

TEST(Computer, LaterInColumnOneTakesTheFirstOpenRowFromARandomStart) {
    for (std::uint32_t seed : {6u, 60u, 600u}) {
        ComputerRig rig(seed, 1);
        auto& st = rig.server.state();
        st.board[2][1] = st.board[3][1] = st.board[5][1] = code('e');
        st.columnplays = 3;
        st.players[2].tiles = {0, 1, 2, 3, 4, 5, 6};
        rig.server.computerplay(2);
        const Placed p = lastPlaced(rig.host);
        EXPECT_TRUE(p.row == 1 || p.row == 4 || p.row == 6) << p.row;
        EXPECT_EQ(st.columnplays, 4);
        EXPECT_TRUE(rig.host.to(1, proto::kErrorNum).empty());
    }
}

TEST(Computer, NoWordAnywhereStillPlacesInAnOpenRow) {
    TempDir dir;
    const std::string list = records({"QQQQ"});
    TDictn spell(dir.path(), list);
    ComputerRig rig(8, 3, spell);
    auto& st = rig.server.state();
    for (int r = 1; r <= kRows; ++r) st.board[r][1] = st.board[r][2] = code('e');
    st.board[1][3] = st.board[4][3] = code('e');
    st.columnplays = 2;
    rig.server.computerplay(2);
    const Placed p = lastPlaced(rig.host);
    EXPECT_NE(p.row, 1);
    EXPECT_NE(p.row, 4);
    EXPECT_EQ(p.column, 3);
    EXPECT_EQ(st.players[2].score, 0);
}

TEST(Computer, LeavesAHumanSeatAlone) {
    ComputerRig rig(9, 1);
    rig.join("Bob");  // seat 2 now has a human who plays himself
    rig.host.clear();
    rig.server.computerplay(2);
    EXPECT_TRUE(rig.host.log.empty());
    rig.server.state().players[2].watching = true;
    rig.server.computerplay(2);
    EXPECT_EQ(rig.host.to(1, proto::kPlaceLetter).size(), 1u);
}

TEST(Computer, TrialScoreMatchesThePlacementScore) {
    ComputerRig rig(10, 3);
    auto& st = rig.server.state();
    st.botletters = {0, 't', 'a', 'c', 0, 0, 0};
    EXPECT_EQ(rig.server.computercheckword(), 10);
    st.botletters = {0, 't', 'o', 't', 0, 0, 0};
    EXPECT_EQ(rig.server.computercheckword(), 8);
    st.botletters = {};
    EXPECT_EQ(rig.server.computercheckword(), 0);
}

TEST(Computer, WatchingHumanHasTheirRackPlayedAfterTheBotDelay) {
    ServerRig rig(12);
    rig.join("Ann");
    rig.host.botSpeed = 2000;
    rig.server.dispatch(1, "CMD_startgame+Ann+1+");
    auto& st = rig.server.state();
    ASSERT_EQ(st.whoseturn, 1);
    rig.server.dispatch(1, "CMD_justwatch+1+1");
    EXPECT_EQ(st.whoseturn, 2);  // the turn passes at once
    rig.server.computertimerTimer();
    while (st.whoseturn == 0) rig.server.timer1Timer();
    EXPECT_EQ(st.whoseturn, 1);
    EXPECT_TRUE(rig.computertimer.running());
    EXPECT_EQ(rig.computertimer.interval, 2000);
    const auto rack = st.players[1].tiles;
    rig.server.computertimerTimer();
    EXPECT_EQ(lastPlaced(rig.host).seat, 1);
    EXPECT_NE(st.players[1].tiles, rack);
}

// Column 2: rows 1 and 2 start with Q and X, the rest with Z. "QI" and "XI" score Klot's I
// two points in either row; of the tiles Klot cannot see, the two U score "XU" in row 2 and
// nothing elsewhere. Strong takes the first best row, Expert takes row 2 away from Ann.
TEST(Computer, StrongerPlayersChooseByScoreAndByTheReplyTheyLeave) {
    TempDir dir;
    const std::string list = records({"QI", "XI", "XU", "VVV"});
    TDictn spell(dir.path(), list);  // searches `list` in place
    const struct {
        BotStrength strength;
        int row;
    } cases[] = {{BotStrength::Strong, 1}, {BotStrength::Expert, 2}};
    for (const auto& c : cases) {
        ComputerRig rig(14, 2, spell);
        rig.host.strengths[2] = c.strength;
        rig.server.latchstrengths();
        auto& st = rig.server.state();
        for (int r = 1; r <= kRows; ++r) st.board[r][1] = code(r == 1 ? 'q' : r == 2 ? 'x' : 'z');
        st.players[1].tiles = {0, code('v'), code('v'), code('u'), code('v'), code('v'), code('v')};
        st.players[2].tiles = {0, code('v'), code('v'), code('v'), code('v'), code('i'), code('v')};
        const auto bag = rig.random.state();
        rig.server.computerplay(2);
        const Placed p = lastPlaced(rig.host);
        EXPECT_EQ(p.letter, code('i')) << strengthName(c.strength);
        EXPECT_EQ(p.row, c.row) << strengthName(c.strength);
        EXPECT_EQ(st.players[2].score, 2);
        EXPECT_EQ(rig.random.state(), bag) << "no random draws";
    }
}

// With nothing to score, Strong plays the letter that the fewest words hold (Q, not E).
TEST(Computer, StrongKeepsTheLettersThatMakeWords) {
    ComputerRig rig(15, 1);
    rig.host.strengths[2] = BotStrength::Strong;
    rig.server.latchstrengths();
    rig.server.state().players[2].tiles = {0,         code('e'), code('s'), code('q'),
                                           code('a'), code('t'), code('r')};
    rig.server.computerplay(2);
    EXPECT_EQ(lastPlaced(rig.host).letter, code('q'));
}

// A computer move may depend only on what a player in the seat could know. From positions of
// a seeded game, the tiles it cannot see (the other rack and the rest of the bag) are dealt
// out again among the same places: with the same random state, every strength places the
// same tile in the same row and draws as many random numbers.
TEST(Computer, MovesDependOnlyOnWhatTheSeatCanSee) {
    for (BotStrength strength : {BotStrength::Normal, BotStrength::Strong, BotStrength::Expert}) {
        ServerRig game(31 + static_cast<std::uint32_t>(strength));
        game.join("Ann");
        game.host.strengths[1] = game.host.strengths[2] = strength;
        game.server.dispatch(1, "CMD_startgame+Ann+1+");
        game.server.dispatch(1, "CMD_justwatch+1+1");
        ServerRig rig;  // replays single moves
        rig.host.strengths = game.host.strengths;
        rig.server.latchstrengths();
        int moves = 0;
        while (game.server.state().gamestarted) {
            if (!game.computertimer.running()) {
                game.server.timer1Timer();
                continue;
            }
            if (moves++ % 4 == 0) {
                const GameState position = game.server.state();
                const int seat = position.whoseturn, other = 3 - seat;
                auto play = [&](const GameState& st) {
                    rig.random.seed(game.random.state());
                    rig.host.clear();
                    rig.server.state() = st;
                    rig.server.computerplaceletter(seat);
                    const Placed p = lastPlaced(rig.host);
                    return std::tuple(p.row, p.letter, rig.random.state());
                };
                const auto expected = play(position);
                TRandom deal(static_cast<std::uint32_t>(moves));
                for (int variant = 0; variant < 2; ++variant) {
                    GameState hidden = position;
                    std::vector<int*> places;
                    for (int k = 1; k <= kRackSize; ++k)
                        places.push_back(&hidden.players[other].tiles[k]);
                    for (int k = hidden.drawpos + 1; k <= kBagSize; ++k)
                        places.push_back(&hidden.bag[k]);
                    for (std::size_t i = places.size() - 1; i > 0; --i)
                        std::swap(*places[i], *places[deal.Random(static_cast<int>(i + 1))]);
                    EXPECT_EQ(play(hidden), expected) << strengthName(strength) << " move " << moves
                                                      << " column " << position.column;
                }
            }
            game.server.computertimerTimer();
        }
        EXPECT_GE(moves, 36);
    }
}

}  // namespace
}  // namespace tessarin::testing
