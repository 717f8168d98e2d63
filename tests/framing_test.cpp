#include "framing.h"

#include <gtest/gtest.h>

namespace tessarin::proto {
namespace {

using Lines = std::vector<std::string>;

TEST(Framer, SplitAndJoinedChunks) {
    struct Case {
        std::vector<std::string> chunks;
        Lines expected;
        std::string pending;
    };
    const Case cases[] = {
        {{"CMD_chat+1+hi\xFF"}, {"CMD_chat+1+hi"}, ""},
        {{"CM", "D_full+\xFF"}, {"CMD_full+"}, ""},
        {{"A+1\xFF"
          "B+2\xFF"},
         {"A+1", "B+2"},
         ""},
        {{"A+1\xFF"
          "B+"},
         {"A+1"},
         "B+"},
        {{"A+1\xFF\xFF"}, {"A+1", ""}, ""},
        {{"\xFF"}, {""}, ""},
        {{"a", "b", "c",
          "\xFF"
          "d"},
         {"abc"},
         "d"},
    };
    for (const auto& c : cases) {
        Framer f;
        Lines out;
        for (const auto& chunk : c.chunks) EXPECT_TRUE(f.feed(chunk, out));
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(f.pending(), c.pending);
    }
}

TEST(Framer, UnterminatedFloodIsRefusedAndForgotten) {
    Framer f(16);
    Lines out;
    EXPECT_TRUE(f.feed(std::string(16, 'x'), out));
    EXPECT_FALSE(f.feed("y", out));
    EXPECT_TRUE(f.pending().empty());
    EXPECT_TRUE(out.empty());
}

TEST(Framer, CompleteMessagesInAnOverlongChunkAreStillDelivered) {
    Framer f(8);
    Lines out;
    EXPECT_TRUE(f.feed(std::string(20, 'x') + "\xFF" + "ok", out));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].size(), 20u);
    EXPECT_EQ(f.pending(), "ok");
}

}  // namespace
}  // namespace tessarin::proto
