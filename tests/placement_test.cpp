#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "getcombos.h"
#include "wordfinder.h"

#include "fakes.h"
#include "protocol.h"

namespace tessarin::testing {
namespace {

int code(char letter) {
    return letter - 'a' + 1;
}

// Ann in seat 1 has the turn in the given column; seat 2 is the computer.
struct PlacementRig : ServerRig {
    explicit PlacementRig(int column) {
        join("Ann");
        auto& st = server.state();
        st.gamestarted = true;
        st.column = column;
        st.whoseturn = 1;
        for (int seat = 1; seat <= 2; ++seat) st.players[seat].inround = true;
        for (int r = 1; r <= kRows; ++r)
            for (int c = 1; c < column; ++c) st.board[r][c] = code('e');
        st.players[1].tiles = {0, code('t'), code('o'), code('x'), code('q'), code('z'), code('j')};
        server.shuffletiles();
        host.clear();
    }
    void place(const std::string& request) { server.dispatch(1, "CMD_placeit+" + request); }
};

TEST(Placement, ActCatTaAtScoresTenInOrder) {
    PlacementRig rig(3);
    auto& st = rig.server.state();
    st.board[2][1] = code('c');
    st.board[2][2] = code('a');
    const int nextTile = st.bag[1];
    rig.place("1+1+23+");

    EXPECT_EQ(st.board[2][3], code('t'));
    EXPECT_EQ(st.players[1].score, 10);
    EXPECT_EQ(st.players[1].tiles[1], nextTile);
    EXPECT_EQ(st.columnplays, 1);
    EXPECT_EQ(st.whoseturn, 0);
    const std::vector<std::string> expected = {
        "CMD_ascore+1+10+10+act+cat+ta+at",
        "CMD_mytiles+1+1+" + std::to_string(nextTile),
        "CMD_placeletter+1+2+3+20+",
    };
    EXPECT_EQ(rig.host.to(1), expected);
}

TEST(Placement, RepeatedLetterFindsAWordOncePerArrangement) {
    PlacementRig rig(3);
    auto& st = rig.server.state();
    st.board[4][1] = code('t');
    st.board[4][2] = code('o');
    st.players[1].score = 5;
    rig.place("1+1+4+");
    ASSERT_FALSE(rig.host.to(1, proto::kAScore).empty());
    EXPECT_EQ(rig.host.to(1, proto::kAScore)[0], "CMD_ascore+1+13+8+tot+tot+to");
}

TEST(Placement, ScoreGoesToEveryConnectedSeat) {
    PlacementRig rig(3);
    rig.join("Bob");  // seat 2
    rig.join("Spy");  // seat 3
    rig.host.clear();
    auto& st = rig.server.state();
    st.board[2][1] = code('c');
    st.board[2][2] = code('a');
    rig.place("1+1+2");
    for (int seat = 2; seat <= 3; ++seat) {
        const std::vector<std::string> expected = {"CMD_ascore+1+10+10+act+cat+ta+at",
                                                   "CMD_placeletter+1+2+3+20+"};
        EXPECT_EQ(rig.host.to(seat), expected) << seat;
    }
}

TEST(Placement, ColumnOneNeverScores) {
    PlacementRig rig(1);
    rig.place("1+2+5+");
    EXPECT_EQ(rig.server.state().board[5][1], code('o'));
    EXPECT_TRUE(rig.host.to(1, proto::kAScore).empty());
    EXPECT_EQ(rig.host.to(1, proto::kPlaceLetter).size(), 1u);
}

TEST(Placement, OnlyTheRowDigitOfTheCellIdCounts) {
    PlacementRig rig(2);
    rig.place("1+3+35+");
    EXPECT_EQ(rig.server.state().board[3][2], code('x'));
    EXPECT_EQ(rig.host.to(1, proto::kPlaceLetter)[0], "CMD_placeletter+1+3+2+24+");
}

TEST(Placement, RejectionsKeepTheTurnAndChangeNothing) {
    struct Case {
        const char* name;
        std::function<void(GameState&)> setup;
        std::string request;
        bool errornum;
        std::string hostError;
    };
    const std::vector<Case> cases = {
        {"filled cell", [](GameState& st) { st.board[3][2] = code('a'); }, "1+1+3+", true, ""},
        {"left neighbour empty", [](GameState& st) { st.board[3][1] = 0; }, "1+1+3+", true, ""},
        {"empty rack slot", [](GameState& st) { st.players[1].tiles[4] = 0; }, "1+4+3+", false,
         "Error CPerror10104 - Contact "},
        {"slot 0", [](GameState&) {}, "1+0+3+", false, "Error CPerror10104 - Contact "},
        {"slot 7", [](GameState&) {}, "1+7+3+", false, "Error CPerror10104 - Contact "},
        {"row 0", [](GameState&) {}, "1+1+0+", false, "Error CPerror10104 - Contact "},
        {"row 9", [](GameState&) {}, "1+1+9+", false, "Error CPerror10104 - Contact "},
        {"slot -2147483648", [](GameState&) {}, "1+-2147483648+3+", false,
         "Error CPerror10104 - Contact "},
    };
    for (const auto& c : cases) {
        PlacementRig rig(2);
        auto& st = rig.server.state();
        c.setup(st);
        int board[kRows + 1][kColumns + 1];
        std::memcpy(board, st.board, sizeof board);
        const auto tiles = st.players[1].tiles;
        rig.place(c.request);
        EXPECT_EQ(std::memcmp(board, st.board, sizeof board), 0) << c.name;
        EXPECT_EQ(st.players[1].tiles, tiles) << c.name;
        EXPECT_EQ(st.whoseturn, 1) << c.name;
        EXPECT_EQ(st.columnplays, 0) << c.name;
        EXPECT_FALSE(rig.timer1.running()) << c.name;
        EXPECT_EQ(rig.host.to(1), c.errornum ? std::vector<std::string>{"CMD_errornum+1+1+"}
                                             : std::vector<std::string>{})
            << c.name;
        if (c.hostError.empty()) {
            EXPECT_TRUE(rig.host.errors.empty()) << c.name;
        } else {
            ASSERT_EQ(rig.host.errors.size(), 1u) << c.name;
            EXPECT_EQ(rig.host.errors[0].rfind(c.hostError, 0), 0u) << c.name;
        }
    }
}

TEST(Placement, RowThatIsNotADigitUsesRowOneAndWarnsTheHost) {
    PlacementRig rig(1);
    rig.place("1+1+x+");
    EXPECT_EQ(rig.server.state().board[1][1], code('t'));
    ASSERT_EQ(rig.host.errors.size(), 1u);
    EXPECT_EQ(rig.host.errors[0].rfind("Error CPerror10101 - Contact ", 0), 0u);
}

TEST(Placement, RequestsFromSeatsWithoutTheTurnAreIgnored) {
    PlacementRig rig(1);
    rig.join("Bob");
    rig.host.clear();
    rig.server.placeit("2+1+1+");
    rig.server.state().whoseturn = 0;
    rig.server.placeit("0+1+1+");
    rig.server.placeit("1+1+1+");
    EXPECT_TRUE(rig.host.log.empty());
    EXPECT_EQ(rig.server.state().board[1][1], 0);
}

TEST(Placement, NonNumericSeatOrSlotChangesNothing) {
    PlacementRig rig(1);
    EXPECT_THROW(rig.place("x+1+1+"), proto::ConversionError);
    EXPECT_THROW(rig.place("1+y+1+"), proto::ConversionError);
    EXPECT_EQ(rig.server.state().board[1][1], 0);
    EXPECT_EQ(rig.server.state().whoseturn, 1);
}

TEST(Placement, PauseBeforeTheNextTurnGrowsWithTheColumn) {
    const int expected[] = {0, 1, 1, 3, 3, 5, 5};
    for (int column = 1; column <= kColumns; ++column) {
        PlacementRig rig(column);
        rig.host.timeSpeed = 1500;
        rig.place("1+1+1+");
        EXPECT_TRUE(rig.timer1.running());
        EXPECT_EQ(rig.timer1.interval, 1500);
        EXPECT_EQ(rig.server.state().waitticks, expected[column]) << column;
        EXPECT_EQ(rig.server.state().timer1purpose, Timer1Purpose::NextTurn);
    }
}

TEST(Placement, TheThirtySixthPlacementEndsTheRound) {
    PlacementRig rig(6);
    rig.join("Bob");
    rig.join("Cy");
    rig.join("Spy");  // seat 4
    rig.host.clear();
    auto& st = rig.server.state();
    for (int r = 2; r <= kRows; ++r) st.board[r][6] = code('s');
    st.columnplays = 5;
    rig.place("1+6+1+");
    EXPECT_TRUE(rig.server.checkforfull());
    for (int seat = 1; seat <= 4; ++seat) {
        const auto messages = rig.host.to(seat);
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back(), "CMD_roundover+" + std::to_string(seat) + "+");
    }
    EXPECT_EQ(st.waitticks, 7);
    EXPECT_EQ(st.timer1purpose, Timer1Purpose::NextRound);
    EXPECT_TRUE(rig.timer1.running());
}

TEST(Placement, NextArrangementVisitsAllInLexicographicOrder) {
    std::uint8_t a[4] = {1, 2, 3, 4};
    std::vector<std::string> seen;
    do {
        seen.push_back({char('0' + a[0]), char('0' + a[1]), char('0' + a[2]), char('0' + a[3])});
    } while (nextcombo(a, 3));
    ASSERT_EQ(seen.size(), 24u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), "4321");
    EXPECT_EQ(std::string(a, a + 4), std::string("\4\3\2\1"));  // left in falling order
    std::uint8_t one[1] = {1};
    EXPECT_FALSE(nextcombo(one, 0));
}

// The word finder against the plain arrangement search it replaces: the total and the words
// in their order for one row (slot 0 the newest letter).
void expectSameSearch(const TDictn& spell, const WordFinder& finder, const std::string& slots) {
    std::string plain, fast;
    const int n = static_cast<int>(slots.size());
    EXPECT_EQ(finder.score(slots.data(), n, &fast),
              scorearrangements(spell, slots.data(), n, &plain))
        << slots;
    EXPECT_EQ(fast, plain) << slots;
    EXPECT_EQ(finder.scoreLetters(slots.data(), n), finder.score(slots.data(), n, nullptr))
        << slots;
}

// Every placement of seeded games, at every strength: each "CMD_ascore" must be what the
// arrangement search makes of the row, message text included.
TEST(WordFinder, ScoresEveryPlacementOfSeededGamesAsTheArrangementSearch) {
    int scored = 0;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        ServerRig rig(seed);
        rig.host.strengths[1] = static_cast<BotStrength>(seed % 3);
        rig.host.strengths[2] = static_cast<BotStrength>(seed / 3 % 3);
        rig.join("Ann");
        rig.server.dispatch(1, "CMD_startgame+Ann+2+");
        rig.server.dispatch(1, "CMD_justwatch+1+1");
        rig.run([&] { return !rig.server.state().gamestarted; });

        int board[kRows + 1][kColumns + 1] = {};
        int totals[kSeatSlots + 1] = {};
        std::string ascore;
        for (const std::string& message : rig.host.to(1)) {
            const auto m = proto::split(message);
            ASSERT_TRUE(m);
            proto::FieldReader f(m->payload);
            if (m->command == proto::kRoundStart) {
                std::memset(board, 0, sizeof board);
            } else if (m->command == proto::kAScore) {
                ascore = message;
            } else if (m->command == proto::kPlaceLetter) {
                const int seat = f.integer(), row = f.integer(), col = f.integer();
                board[row][col] = f.integer();
                std::string slots, found;
                for (int c = col; c >= 1; --c) slots += TServer::convertoletter(board[row][c]);
                const int points = col > 1 ? scorearrangements(rig.server.finder().spell(),
                                                               slots.data(), col, &found)
                                           : 0;
                std::string expected;
                if (points > 0) {
                    totals[seat] += points;
                    expected = unframed(proto::msg::ascore(seat, totals[seat], points, found));
                    ++scored;
                }
                EXPECT_EQ(ascore, expected) << "seed " << seed << " row " << slots;
                ascore.clear();
            }
        }
    }
    EXPECT_GT(scored, 100);
}

// Random rows of one to six letters drawn like the bag's, and a list out of order, whose
// words the binary search cannot all find.
TEST(WordFinder, ScoresRandomRowsAsTheArrangementSearch) {
    const TDictn& spell = sharedDictionary();
    const WordFinder finder(spell);
    const std::string bag =
        "aaaaabbbccddddeeeeeffggghhhiiiijkklllmmmnnnooopp"
        "qrrrsssssttttuuvwwxyyzaaaaa";
    TRandom random(2026);
    for (int i = 0; i < 2000; ++i) {
        std::string slots(static_cast<std::size_t>(random.Random(6) + 1), ' ');
        for (char& c : slots) c = bag[static_cast<std::size_t>(random.Random(int(bag.size())))];
        expectSameSearch(spell, finder, slots);
    }

    TempDir dir;
    // Sorted except "AB" and "BA", so a binary search misses one of them.
    std::string list;
    for (std::string w : {"AA", "BA", "AB", "ABC", "CAB", "ZZZZZZZ"}) {
        w.insert(0, "\x1E");
        w.resize(15, ' ');
        list += w;
    }
    const TDictn unsorted(dir.path(), list);
    const WordFinder partial(unsorted);
    for (const char* slots : {"ab", "ba", "cab", "bac", "aab", "Ab", "a?b"})
        expectSameSearch(unsorted, partial, slots);
}

}  // namespace
}  // namespace tessarin::testing
