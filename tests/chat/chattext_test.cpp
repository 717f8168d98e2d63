// Colour text, chatter sound captions, link addresses and the phrase throttle.
#include <gtest/gtest.h>

#include <cstdint>

#include "chatline.h"
#include "chattersounds.h"
#include "colourtext.h"
#include "phrasethrottle.h"

namespace tessarin::chat {
namespace {

struct Named {
    const char* name;
    Colour value;
};

class BasicColourNames : public ::testing::TestWithParam<Named> {};

TEST_P(BasicColourNames, WriteAndReadInAnyCase) {
    const Named c = GetParam();
    EXPECT_EQ(colourToText(c.value), c.name);
    EXPECT_EQ(colourFromText(c.name), c.value);
    std::string upper = c.name, lower = c.name;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(colourFromText(upper), c.value);
    EXPECT_EQ(colourFromText(lower), c.value);
}

INSTANTIATE_TEST_SUITE_P(All16, BasicColourNames,
                         ::testing::Values(Named{"clBlack", 0x000000}, Named{"clMaroon", 0x000080},
                                           Named{"clGreen", 0x008000}, Named{"clOlive", 0x008080},
                                           Named{"clNavy", 0x800000}, Named{"clPurple", 0x800080},
                                           Named{"clTeal", 0x808000}, Named{"clGray", 0x808080},
                                           Named{"clSilver", 0xC0C0C0}, Named{"clRed", 0x0000FF},
                                           Named{"clLime", 0x00FF00}, Named{"clYellow", 0x00FFFF},
                                           Named{"clBlue", 0xFF0000}, Named{"clFuchsia", 0xFF00FF},
                                           Named{"clAqua", 0xFFFF00}, Named{"clWhite", 0xFFFFFF}));

struct HexCase {
    Colour value;
    const char* text;
};

class HexColours : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexColours, RoundTrip) {
    const HexCase c = GetParam();
    EXPECT_EQ(colourToText(c.value), c.text);
    EXPECT_EQ(colourFromText(c.text), c.value);
}

INSTANTIATE_TEST_SUITE_P(NotBasic, HexColours,
                         ::testing::Values(HexCase{0x123456, "$00123456"},
                                           HexCase{0x0000FE, "$000000FE"},
                                           HexCase{0xABCDEF, "$00ABCDEF"},
                                           HexCase{0x01000000, "$01000000"},
                                           HexCase{0xFFFFFFFF, "$FFFFFFFF"}));

struct ReadCase {
    const char* text;
    std::optional<Colour> value;
};

class ReadColourText : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadColourText, NumberOrNothing) {
    EXPECT_EQ(colourFromText(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadColourText,
    ::testing::Values(ReadCase{"255", 255u}, ReadCase{"0", 0u}, ReadCase{"$ff", 0xFFu},
                      ReadCase{"$0000ff", 0xFFu}, ReadCase{"-1", 0xFFFFFFFFu},
                      ReadCase{"16777215", 0xFFFFFFu}, ReadCase{"", std::nullopt},
                      ReadCase{"$", std::nullopt}, ReadCase{"$123456789", std::nullopt},
                      ReadCase{"$-1", std::nullopt}, ReadCase{"$+1", std::nullopt},
                      ReadCase{"clBlck", std::nullopt}, ReadCase{" clRed", std::nullopt},
                      ReadCase{"clRed ", std::nullopt}, ReadCase{"12a", std::nullopt},
                      ReadCase{"0x10", std::nullopt}, ReadCase{"99999999999", std::nullopt},
                      ReadCase{"there|clBlack", std::nullopt}));

TEST(ChatterSounds, CaptionsByTagAndByWireName) {
    const std::pair<int, const char*> table[] = {
        {1, "Doh"},     {4, "Thank You"}, {5, "Where have you been?"},
        {9, "Welcome"}, {13, "Applause"}, {18, "Woman Laughing"},
        {20, "Crying"}};
    for (const auto& [tag, caption] : table) {
        EXPECT_EQ(chatterCaption(tag), caption) << tag;
        EXPECT_EQ(chatterCaption(chatterSoundName(tag)), caption) << tag;
    }
    EXPECT_EQ(chatterSoundName(13), "wave13");
    EXPECT_EQ(chatterCaption(std::string_view("WAVE9")), "Welcome");
    for (std::string_view unknown : {"wave0", "wave21", "wave", "wave09", "wave9 ", "", "turn"})
        EXPECT_EQ(chatterCaption(unknown), std::nullopt) << unknown;
    EXPECT_EQ(chatterCaption(0), "");
    EXPECT_EQ(chatterCaption(21), "");
}

TEST(WebAddress, OnlyWebSchemesReachTheDesktop) {
    const std::pair<const char*, const char*> opened[] = {
        {"www.example.com", "http://www.example.com"},
        {"http://example.com/a?b=1", "http://example.com/a?b=1"},
        {"HTTP://Example.com", "http://example.com"},
        {"https://www.example.com/", "https://www.example.com/"},
    };
    for (const auto& [text, url] : opened) {
        const auto address = webAddress(QString::fromLatin1(text));
        ASSERT_TRUE(address.has_value()) << text;
        EXPECT_EQ(address->toString().toStdString(), url);
    }
    for (const char* refused : {"file:///home/me/www.evil.desktop", "smb://host/www.share",
                                "javascript:www.x()", "http://", "/tmp/www.x"}) {
        EXPECT_EQ(webAddress(QString::fromLatin1(refused)), std::nullopt) << refused;
    }
}

class Throttle : public ::testing::Test {
  protected:
    std::int64_t now = 50'000;
    PhraseThrottle throttle{[this] { return now; }};
};

TEST_F(Throttle, ReadyAgainOnlyAfterTwoSecondsHowEverManyTicks) {
    EXPECT_TRUE(throttle.ready());
    throttle.used();
    EXPECT_FALSE(throttle.ready());
    for (int tick = 0; tick < 1000; ++tick) {
        now += 1;
        throttle.tick();
    }
    EXPECT_FALSE(throttle.ready());
    now += 999;  // 1999 ms after use
    throttle.tick();
    EXPECT_FALSE(throttle.ready());
    now += 1;
    throttle.tick();
    EXPECT_TRUE(throttle.ready());
}

TEST_F(Throttle, QuietDispatchTimerDoesNotLockTheButtons) {
    throttle.used();
    now += PhraseThrottle::kPauseMs;
    EXPECT_TRUE(throttle.ready());  // no tick at all in between
    throttle.used();
    now += 10;
    EXPECT_FALSE(throttle.ready());
}

}  // namespace
}  // namespace tessarin::chat
