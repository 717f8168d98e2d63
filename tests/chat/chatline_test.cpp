// How a chat line is cut into head, words, links and smilies, and which style it takes.
#include <gtest/gtest.h>

#include <algorithm>

#include "chatline.h"

namespace tessarin::chat {
namespace {

// "style|head|pieces": T[text], L[link text], S<picture>.
std::string describe(const ChatLine& line) {
    std::string out = std::to_string(line.style) + '|' + line.head.toStdString() + '|';
    for (const ChatPiece& piece : line.pieces) {
        switch (piece.kind) {
            case ChatPiece::Kind::Text:
                out += "T[" + piece.text.toStdString() + ']';
                break;
            case ChatPiece::Kind::Link:
                out += "L[" + piece.text.toStdString() + ']';
                break;
            case ChatPiece::Kind::Smiley:
                out += "S" + std::to_string(piece.smiley);
                break;
        }
    }
    return out;
}

struct LineCase {
    const char* line;
    const char* expected;
};

class ParseChatLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseChatLine, Pieces) {
    EXPECT_EQ(describe(parseChatLine(QString::fromUtf8(GetParam().line))), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Smilies, ParseChatLine,
    ::testing::Values(LineCase{"2+Ann chats: hi:)#12there", "7|Ann chats: |T[ hi ]S2T[there ]"},
                      LineCase{"2+Ann chats: hi :)#12 there", "7|Ann chats: |T[ hi  ]S2T[ there ]"},
                      LineCase{"2+Ann chats: :)#99", "7|Ann chats: |T[  ]S0"},
                      LineCase{"2+Ann chats: :)#ab!", "7|Ann chats: |T[  ]S0T[! ]"},
                      LineCase{"2+A: :)#10:)#27", "7|A: |T[  ]S0T[ ]S17"},
                      LineCase{"2+A: :)#28 :)#09", "7|A: |T[  ]S0T[  ]S0"},
                      LineCase{"2+A: x:)#1", "7|A: |T[ x ]S0"},
                      LineCase{"2+A: x:)#", "7|A: |T[ x ]S0"},
                      LineCase{"2+A: :)#-1", "7|A: |T[  ]S0"}));

INSTANTIATE_TEST_SUITE_P(
    Seats, ParseChatLine,
    ::testing::Values(LineCase{"0+You are Connected.", "0| |T[You are Connected. ]"},
                      LineCase{"1+Bob chats: x", "6|Bob chats: |T[ x ]"},
                      LineCase{"9+Cy chats: x", "14|Cy chats: |T[ x ]"},
                      LineCase{"10+Cy chats: x", "1|Cy chats: |T[ x ]"},
                      LineCase{"-3+Cy chats: x", "1|Cy chats: |T[ x ]"},
                      LineCase{"99999999999+x", "1| |T[x ]"}, LineCase{"two+x", "1| |T[x ]"},
                      LineCase{"+x", "1| |T[x ]"},
                      LineCase{"no plus: at all", "1|no plus: |T[ at all ]"}, LineCase{"", "1| |"},
                      LineCase{"3+a+b: c", "8|a+b: |T[ c ]"}));

INSTANTIATE_TEST_SUITE_P(
    Links, ParseChatLine,
    ::testing::Values(LineCase{"2+A: see www.x.com now", "7|A: |T[ see ]L[www.x.com ]T[now ]"},
                      LineCase{"2+A: HTTP://X.ORG/a", "7|A: |T[ ]L[HTTP://X.ORG/a ]"},
                      LineCase{"2+A: Www.a.b", "7|A: |T[ ]L[Www.a.b ]"},
                      LineCase{"2+A: wwwx.com http:/x", "7|A: |T[ wwwx.com http:/x ]"},
                      LineCase{"2+A: www.a www.b", "7|A: |T[ ]L[www.a ]L[www.b ]"},
                      LineCase{"2+A: www.a:)#11x", "7|A: |T[ ]L[www.a ]S1T[x ]"}));

TEST(StyleForSeat, OnlySeatsZeroToNineHaveTheirOwnStyle) {
    for (int seat = 1; seat <= 9; ++seat)
        EXPECT_EQ(styleForSeat(QString::number(seat)), seat + 5) << seat;
    EXPECT_EQ(styleForSeat(u"0"), kSystemStyle);
    for (QStringView odd : {u"10", u"-1", u"", u"x", u"2147483648", u"1.5"})
        EXPECT_EQ(styleForSeat(odd), kStrayStyle) << odd.toString().toStdString();
}

TEST(ParseChatLine, OnlyTheFirstPartOfAHugeLineIsRead) {
    const ChatLine plain = parseChatLine(QStringLiteral("5+A: ") + QString(100'000, u'x'));
    ASSERT_EQ(plain.pieces.size(), 1u);
    EXPECT_EQ(plain.pieces[0].text, u' ' + QString(kMaxLineLength - 5, u'x') + u' ');

    QString codes = QStringLiteral("5+Eve chats: ");
    for (int i = 0; i < 20000; ++i) codes += QStringLiteral(":)#1%1").arg(i % 10);
    const ChatLine line = parseChatLine(codes);
    // Each code is a (blank) words piece and, up to the limit, a smiley.
    const auto smilies = std::count_if(line.pieces.begin(), line.pieces.end(), [](const auto& p) {
        return p.kind == ChatPiece::Kind::Smiley;
    });
    EXPECT_EQ(smilies, kMaxSmiliesPerLine);
    ASSERT_EQ(line.pieces.size(), 2u * kMaxSmiliesPerLine + 1);
    EXPECT_EQ(line.pieces[1].smiley, 0);
    EXPECT_EQ(line.pieces[19].smiley, 9);
}

}  // namespace
}  // namespace tessarin::chat
