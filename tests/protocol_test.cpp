#include "protocol.h"
#include "discovery.h"
#include "hostport.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace tessarin::proto {
namespace {

struct Layout {
    std::string composed;
    std::string expected;  // without the 0xFF
};

void PrintTo(const Layout& layout, std::ostream* out) {
    *out << layout.expected;
}

class Layouts : public ::testing::TestWithParam<Layout> {};

// Names the cases by their command word, so a failure reads "ServerToClient/Layouts...
// /placeletter_18" rather than as raw bytes.
std::string layoutName(const ::testing::TestParamInfo<Layout>& info) {
    const std::string& text = info.param.expected;
    const auto start = text.find('_') + 1;
    return text.substr(start, text.find('+') - start) + "_" + std::to_string(info.index);
}

TEST_P(Layouts, ComposesTheExactBytes) {
    const Layout& l = GetParam();
    ASSERT_FALSE(l.composed.empty());
    EXPECT_EQ(l.composed.back(), '\xFF');
    EXPECT_EQ(l.composed.substr(0, l.composed.size() - 1), l.expected);
    EXPECT_EQ(l.composed.find('\xFF'), l.composed.size() - 1);
}

INSTANTIATE_TEST_SUITE_P(
    ServerToClient, Layouts,
    ::testing::Values(
        Layout{msg::sendlogininfo(2), "CMD_sendlogininfo+2"}, Layout{msg::full(), "CMD_full+"},
        Layout{msg::newplayerinfo(2, "Ann"), "CMD_newplayerinfo+2+Ann+0"},
        Layout{msg::existingplayers({{1, "Bob", false}, {4, "Cy", false}, {3, "Di", true}}),
               "CMD_existingplayers+1+Bob+0+4+Cy+0+3+Di+1"},
        Layout{msg::havewrongversion("Ann"), "CMD_havewrongversion+Ann"},
        Layout{msg::wrongversion(), "CMD_wrongversion+"},
        Layout{msg::mytiles(3, {{5, 19}}), "CMD_mytiles+3+5+19"},
        Layout{msg::gamestats({4, 2, false, 3, 1, 2, {5, 0, 7}, {}}),
               "CMD_gamestats+4+2+f+3+1+2+5+0+7+0+0+0"},
        Layout{msg::gamestats({1, 0, true, 1, 1, 2, {0, 0, 0}, {{1, 1, 3}, {2, 1, 26}}}),
               "CMD_gamestats+1+0+t+1+1+2+0+0+0+1+1+3+2+1+26"},
        Layout{msg::playerdisconnected(3, "Cy"), "CMD_playerdisconnected+3+Cy"},
        Layout{msg::justwatching(2, true), "CMD_justwatching+2+1"},
        Layout{msg::justwatching(2, false), "CMD_justwatching+2+2"},
        Layout{msg::chatline("2", "Ann", "hi there|clBlack"),
               "CMD_chat+2+Ann chats: hi there|clBlack"},
        Layout{msg::actionline("2", "Ann", "says: Hello|clRed"),
               "CMD_action+2+Ann says: Hello|clRed"},
        Layout{msg::playasound(2, "wave4+"), "CMD_playasound+2+wave4+"},
        Layout{msg::startgame("Ann", 3), "CMD_startgame+Ann+3+"},
        Layout{msg::roundstart(2), "CMD_roundstart+2+"},
        Layout{msg::nextplayer(1, 2, 2), "CMD_nextplayer+1+2+2+"},
        Layout{msg::placeletter(2, 3, 4, 20), "CMD_placeletter+2+3+4+20+"},
        Layout{msg::ascore(1, 10, 10, "+act+cat+ta+at"), "CMD_ascore+1+10+10+act+cat+ta+at"},
        Layout{msg::errornum(2), "CMD_errornum+2+1+"},
        Layout{msg::roundover(3), "CMD_roundover+3+"},
        Layout{msg::winner("Klot"), "CMD_winner+Klot+"},
        Layout{msg::secret("00ff"), "CMD_secret+00ff"}, Layout{msg::pong(), "CMD_pong+"}),
    layoutName);

INSTANTIATE_TEST_SUITE_P(
    ClientToServer, Layouts,
    ::testing::Values(Layout{request::logininfo(2, "1.0.1", "Ann"), "CMD_logininfo+2+1.0.1+Ann"},
                      Layout{request::startgame("Ann", "3"), "CMD_startgame+Ann+3+"},
                      Layout{request::placeit(2, 5, "31"), "CMD_placeit+2+5+31+"},
                      Layout{request::chat(2, "a+b|clBlack"), "CMD_chat+2+a+b|clBlack"},
                      Layout{request::action(2, "waves|$00FF0000"), "CMD_action+2+waves|$00FF0000"},
                      Layout{request::playasound(3, "wave9"), "CMD_playasound+3+wave9+"},
                      Layout{request::justwatch(1, true), "CMD_justwatch+1+1"},
                      Layout{request::kickhim(1, 3), "CMD_kickhim+1+3+"},
                      Layout{request::secret(3, "00ff"), "CMD_secret+3+00ff"},
                      Layout{request::ping(), "CMD_ping+"}),
    layoutName);

INSTANTIATE_TEST_SUITE_P(
    Discovery, Layouts,
    ::testing::Values(
        Layout{discovery::query({"1.0.1", 42}), "CMD_findtables+1.0.1+42"},
        Layout{discovery::answer(
                   {"1.0.1", 42, 7780, "A+nn", {"Ann", "Klot", ""}, "2", 4, 2, 3, "strong"}),
               "CMD_table+1.0.1+42+7780+Ann+Ann+Klot++2+4+2+3+strong"}),
    layoutName);

TEST(Split, CutsAtTheFirstPlus) {
    auto m = split("CMD_chat+2+Ann chats: a+b");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->command, "CMD_chat");
    EXPECT_EQ(m->payload, "2+Ann chats: a+b");
    EXPECT_FALSE(split("CMD_full"));
    EXPECT_FALSE(split(""));
    auto empty = split("+");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->command, "");
}

TEST(FieldReader, ReadsFieldsThenTheRest) {
    FieldReader r("2+1.0.1+Ann+Lee");
    EXPECT_EQ(r.integer(), 2);
    EXPECT_EQ(r.field(), "1.0.1");
    EXPECT_EQ(r.rest(), "Ann+Lee");
    EXPECT_EQ(r.field(), "Ann");
    EXPECT_EQ(r.field(), "Lee");
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(r.field(), "");
}

TEST(FieldReader, TrailingPlusLeavesTheLastFieldWhole) {
    FieldReader r("1+2+2+");
    EXPECT_EQ(r.integer(), 1);
    EXPECT_EQ(r.integer(), 2);
    EXPECT_EQ(r.integer(), 2);
    EXPECT_TRUE(r.atEnd());
}

TEST(FieldReader, RejectsFieldsThatAreNotNumbers) {
    for (const char* bad : {"", "x", "1x", " 1", "99999999999", "1.5", "--1"}) {
        FieldReader r(bad);
        EXPECT_THROW(r.integer(), ConversionError) << '"' << bad << '"';
    }
    EXPECT_EQ(toInt("-3"), -3);
    EXPECT_EQ(toInt("+7"), 7);
    EXPECT_EQ(toInt("007"), 7);
}

TEST(StripUnsafe, RemovesTerminatorAndLineBreaks) {
    EXPECT_EQ(stripUnsafe("a\xFF"
                          "b\r\nc+d|e"),
              "abc+d|e");
}

}  // namespace
}  // namespace tessarin::proto

namespace tessarin::proto {
namespace {

TEST(HostPort, ReadsEveryFormPlayersType) {
    struct Case {
        const char* text;
        PortZero zero;
        std::optional<HostPort> expected;
    };
    const Case cases[] = {
        {"10.0.0.5", PortZero::Refused, HostPort{"10.0.0.5", 7772}},
        {"tables.example:7780", PortZero::Refused, HostPort{"tables.example", 7780}},
        {"[::1]:9000", PortZero::Refused, HostPort{"::1", 9000}},
        {"[fe80::1%eth0]", PortZero::Refused, HostPort{"fe80::1%eth0", 7772}},
        {"::1", PortZero::Refused, HostPort{"::1", 7772}},
        {"0.0.0.0:0", PortZero::Allowed, HostPort{"0.0.0.0", 0}},
        {"0.0.0.0:0", PortZero::Refused, std::nullopt},
        {"host:65536", PortZero::Refused, std::nullopt},
        {"host:", PortZero::Refused, std::nullopt},
        {"host:+80", PortZero::Refused, std::nullopt},
        {":7772", PortZero::Refused, std::nullopt},
        {"[::1", PortZero::Refused, std::nullopt},
        {"[::1]x", PortZero::Refused, std::nullopt},
        {"[host]:1", PortZero::Refused, std::nullopt},
        {"a b", PortZero::Refused, std::nullopt},
        {"", PortZero::Refused, std::nullopt},
        {"bad/host:1", PortZero::Refused, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto got = parseHostPort(c.text, 7772, c.zero);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (!got) continue;
        EXPECT_EQ(got->host, c.expected->host);
        EXPECT_EQ(got->port, c.expected->port);
        EXPECT_EQ(parseHostPort(formatHostPort(*got), 1, c.zero)->port, got->port);
    }
    EXPECT_FALSE(parseHostPort(std::string(254, 'a'), 7772));
}

}  // namespace
}  // namespace tessarin::proto

namespace tessarin::proto::discovery {
namespace {

// What a lobby reads from the network: whole answers in range, or nothing.
TEST(Discovery, ReadsOnlyWholeAnswersInRange) {
    const std::string good = "CMD_table+1.0.1+7+7780+Ann+Ann+Klot++2+4+2+3+strong";
    const auto read = readAnswer(good + '\xFF');
    ASSERT_TRUE(read);
    EXPECT_EQ(answer(*read), good + '\xFF');
    // A later version's extra fields are ignored.
    EXPECT_TRUE(readAnswer(good + "+more+fields\xFF"));
    // A name too long or with a line break is cleaned, as names on the wire are.
    const auto cleaned =
        readAnswer("CMD_table+1.0.1+7+7780+" + std::string(300, 'x') + "+A\nn++++0+0+0+normal\xFF");
    ASSERT_TRUE(cleaned);
    EXPECT_EQ(cleaned->name, std::string(kMaxNameLength, 'x'));
    EXPECT_EQ(cleaned->seats[0], "An");

    const std::string refused[] = {
        good,                                                    // no terminator
        good + "\xFF\xFF",                                       // two messages
        "CMD_findtables+1.0.1+7\xFF",                            // a query
        "CMD_table+1.0.1+7+0+Ann+Ann+Klot++2+4+2+3+strong\xFF",  // port 0
        "CMD_table+1.0.1+7+70000+Ann+Ann+Klot++2+4+2+3+x\xFF",   // port out of range
        "CMD_table+1.0.1+7+7780+Ann+Ann+Klot++2+7+2+3+x\xFF",    // seven spectators
        "CMD_table+1.0.1+7+7780+Ann+Ann+Klot++4+4+2+3+x\xFF",    // computer in seat 4
        "CMD_table+1.0.1+-7+7780+Ann+Ann+Klot++2+4+2+3+x\xFF",   // negative token
        "CMD_table+1.0.1+7+7780+Ann+Ann+Klot++2+4+2+3\xFF",      // strength missing
        "CMD_table+1.0.1+7+7780+Ann\xFF",                        // cut short
        "CMD_table+1.0.1+7+7780+" + std::string(kMaxDatagram, 'x') + "++++0+0+0+x\xFF",
    };
    for (const std::string& datagram : refused) {
        SCOPED_TRACE(datagram.substr(0, 60));
        EXPECT_FALSE(readAnswer(datagram));
    }
    EXPECT_TRUE(readQuery(query({"1.0.1", 2147483647})));
    EXPECT_FALSE(readQuery("CMD_findtables+1.0.1+x\xFF"));
}

}  // namespace
}  // namespace tessarin::proto::discovery
