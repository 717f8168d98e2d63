#include <gtest/gtest.h>

#include <map>

#include "fakes.h"
#include "protocol.h"

namespace tessarin::testing {
namespace {

std::map<char, int> countLetters(const GameState& st) {
    std::map<char, int> counts;
    for (int i = 1; i <= kBagSize; ++i) ++counts[TServer::convertoletter(st.bag[i])];
    return counts;
}

TEST(Bag, HoldsTheTileSetInRandomOrder) {
    ServerRig rig(7);
    rig.server.shuffletiles();
    const std::map<char, int> expected = {
        {'a', 10}, {'b', 3}, {'c', 2}, {'d', 4}, {'e', 5}, {'f', 2}, {'g', 3}, {'h', 3}, {'i', 4},
        {'j', 1},  {'k', 2}, {'l', 3}, {'m', 3}, {'n', 3}, {'o', 3}, {'p', 2}, {'q', 1}, {'r', 3},
        {'s', 5},  {'t', 4}, {'u', 2}, {'v', 1}, {'w', 2}, {'x', 1}, {'y', 2}, {'z', 1}};
    for (int i = 1; i <= kBagSize; ++i) {
        EXPECT_GE(rig.server.state().bag[i], 1);
        EXPECT_LE(rig.server.state().bag[i], 26);
    }
    EXPECT_EQ(countLetters(rig.server.state()), expected);
    EXPECT_EQ(rig.server.state().drawpos, 0);

    ServerRig other(8);
    other.server.shuffletiles();
    EXPECT_NE(rig.server.state().bag, other.server.state().bag);
    ServerRig same(7);
    same.server.shuffletiles();
    EXPECT_EQ(rig.server.state().bag, same.server.state().bag);
}

TEST(Bag, SeventySixthDrawReshuffles) {
    ServerRig rig(3);
    rig.server.shuffletiles();
    for (int i = 1; i <= kBagSize; ++i)
        EXPECT_EQ(rig.server.getletter(), rig.server.state().bag[i]);
    const auto oldBag = rig.server.state().bag;
    const int next = rig.server.getletter();
    EXPECT_EQ(rig.server.state().drawpos, 1);
    EXPECT_NE(rig.server.state().bag, oldBag);
    EXPECT_EQ(next, rig.server.state().bag[1]);
}

TEST(Bag, GeneratorFollowsTheLinearCongruence) {
    TRandom r(0);
    EXPECT_EQ(r.Random(75), 0);  // state 1: 75 / 2^32 rounds down to 0
    EXPECT_EQ(r.state(), 1u);
    EXPECT_EQ(r.Random(1 << 16), static_cast<int>((134775814ull << 16) >> 32));
    TRandom wrap(0xFFFFFFFFu);
    wrap.Random(2);
    EXPECT_EQ(wrap.state(), 0xFFFFFFFFu * 134775813u + 1u);
}

TEST(Convertoletter, MapsCodesAndStrays) {
    EXPECT_EQ(TServer::convertoletter(1), 'a');
    EXPECT_EQ(TServer::convertoletter(26), 'z');
    EXPECT_EQ(TServer::convertoletter(0), 't');
    EXPECT_EQ(TServer::convertoletter(27), 't');
    EXPECT_EQ(TServer::convertoletter(-1), 't');
}

TEST(Deal, EachSeatInTheRoundDrawsSixInSeatOrderAndOnlyHumansAreTold) {
    ServerRig rig(11);
    rig.join("Ann");  // seat 1
    auto& st = rig.server.state();
    st.players[1].inround = true;
    st.players[2].inround = true;  // the computer
    st.players[3].inround = false;
    st.players[3].tiles = {0, 9, 9, 9, 9, 9, 9};
    rig.host.clear();
    rig.server.shuffletiles();
    const auto bag = st.bag;
    rig.server.dealtiles();

    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(st.players[1].tiles[k], bag[k]);
        EXPECT_EQ(st.players[2].tiles[k], bag[6 + k]);
        EXPECT_EQ(st.players[3].tiles[k], 9);
    }
    EXPECT_EQ(st.drawpos, 12);
    ASSERT_EQ(rig.host.log.size(), 1u);
    EXPECT_EQ(rig.host.log[0].seat, 1);
    std::string expected = "CMD_mytiles+1";
    for (int k = 1; k <= 6; ++k) expected += "+" + std::to_string(k) + "+" + std::to_string(bag[k]);
    EXPECT_EQ(rig.host.log[0].message, expected);
}

}  // namespace
}  // namespace tessarin::testing
