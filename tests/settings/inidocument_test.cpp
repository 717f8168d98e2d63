// The INI text model: what it reads, and that a change touches only the lines it must.
#include <gtest/gtest.h>

#include <random>

#include "inidocument.h"

namespace tessarin {
namespace {

std::string show(const QByteArray& bytes) {
    return bytes.toStdString();
}

TEST(IniDocument, ReadsValues) {
    struct Case {
        const char* text;
        const char* key;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"[Tessarin]\nBotspeed=500\n", "BOTSPEED", "500"},
        {"[TESSARIN]\nbotspeed=500\n", "Botspeed", "500"},
        {"  [ Tessarin ]  \n\t Botspeed =  500  \n", "Botspeed", "500"},
        {"[Other]\nBotspeed=1\n[Tessarin]\nBotspeed=2\n", "Botspeed", "2"},
        {"[Tessarin]\n;Botspeed=1\n#Botspeed=3\nBotspeed=2", "Botspeed", "2"},
        {"Botspeed=1\n[Tessarin]\n", "Botspeed", std::nullopt},
        {"[Tessarin]\nBotspeed=1\nBotspeed=2\n", "Botspeed", "1"},
        {"[Tessarin]\r\nBotspeed=1\r\n", "Botspeed", "1"},
        {"\xEF\xBB\xBF[Tessarin]\nBotspeed=1\n", "Botspeed", "1"},
        {"[Tessarin\nBotspeed=1\n", "Botspeed", std::nullopt},
        {"[Tessarin]\n[Next]\nBotspeed=1\n", "Botspeed", std::nullopt},
        {"[Tessarin]\nPhrase1=a=b\n", "Phrase1", "a=b"},
        {"[Tessarin]\nPhrase1=\n", "Phrase1", ""},
        {"[Tessarin]\nPhrase1=caf\xC3\xA9\n", "Phrase1", QString::fromUtf8("caf\xC3\xA9")},
        {"[Tessarin]\nPhrase1=caf\xE9\n", "Phrase1", QString::fromUtf8("caf\xC3\xA9")},
        {"[Tessarin]\n=orphan\nBotspeed\n", "Botspeed", std::nullopt},
        {"[Tessarin]\nPhrase1=\xEF\xBB\xBFhi\n", "Phrase1", QString(QChar(0xFEFF)) + "hi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const IniDocument document{QByteArray(c.text)};
        EXPECT_EQ(document.section("tessarin").value(QString::fromLatin1(c.key)), c.expected);
    }
}

TEST(IniDocument, ChangesOnlyTheLinesItMust) {
    struct Case {
        const char* before;
        IniEntries entries;
        const char* after;
    };
    const Case cases[] = {
        {"", {{"Help", "2"}}, "[Tessarin]\nHelp=2\n"},
        {"[A]\nx=1\n", {{"Help", "2"}}, "[A]\nx=1\n[Tessarin]\nHelp=2\n"},
        {"[A]\nx=1", {{"Help", "2"}}, "[A]\nx=1\n[Tessarin]\nHelp=2\n"},
        {"[Tessarin]", {{"Help", "2"}}, "[Tessarin]\nHelp=2\n"},
        {"[tessarin]\n; note\n help = 1 \n\n[B]\ny = 2\n",
         {{"Help", "2"}},
         "[tessarin]\n; note\nhelp=2\n\n[B]\ny = 2\n"},
        {"[Tessarin]\nTop=1\n\n; about B\n[B]\n",
         {{"Left", "5"}, {"Width", "6"}},
         "[Tessarin]\nTop=1\nLeft=5\nWidth=6\n\n; about B\n[B]\n"},
        {"[A]\r\nx=1\r\n", {{"Help", "2"}}, "[A]\r\nx=1\r\n[Tessarin]\r\nHelp=2\r\n"},
        {"[Tessarin]\r\nHelp=1\r\nTop=3",
         {{"Help", "2"}, {"Top", "4"}},
         "[Tessarin]\r\nHelp=2\r\nTop=4"},
        {"[Tessarin]\nHelp=1\nHelp=1\n", {{"Help", "2"}}, "[Tessarin]\nHelp=2\nHelp=1\n"},
        {"[Tessarin]\nA=1\n[B]\n[TESSARIN]\nC=1\n",
         {{"C", "2"}},
         "[Tessarin]\nA=1\nC=2\n[B]\n[TESSARIN]\nC=1\n"},
        {"", {{"Phrase1", "a\r\n[B]\nx=1"}}, "[Tessarin]\nPhrase1=a  [B] x=1\n"},
        {"", {{"Phrase1", QString(QChar(0))}}, "[Tessarin]\nPhrase1=\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        IniDocument document{QByteArray(c.before)};
        ASSERT_TRUE(document.set("Tessarin", c.entries));
        EXPECT_EQ(show(document.text()), c.after);
    }
}

TEST(IniDocument, RefusesNamesThatWouldNotReadBack) {
    const QByteArray before = "[Tessarin]\nHelp=1\n";
    const std::pair<QString, QString> cases[] = {
        {"", "Help"},          {"Tess]arin", "Help"}, {"Tess\narin", "Help"},
        {"Tessarin", ""},      {"Tessarin", "a=b"},   {"Tessarin", "[Help"},
        {"Tessarin", ";Help"}, {"Tessarin", "#Help"}, {"Tessarin", "He\rlp"},
    };
    for (const auto& [section, key] : cases) {
        SCOPED_TRACE((section + " / " + key).toStdString());
        IniDocument document(before);
        QString error;
        EXPECT_FALSE(document.set(section, {{"Top", "1"}, {key, "2"}}, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(show(document.text()), show(before));
    }
}

// Junk of the characters that matter to the form: whatever it holds, a value set in our
// section reads back and every byte that was there before is still there, in order.
TEST(IniDocument, JunkSurvivesASet) {
    const char alphabet[] = {'a', 'T', '=', '[', ']', '\n', '\r', ' ', ';', '\0', '\xFF'};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
    std::uniform_int_distribution<int> length(0, 300);
    for (int round = 0; round < 500; ++round) {
        QByteArray junk;
        for (int n = length(random); n > 0; --n) junk += alphabet[pick(random)];
        IniDocument document(junk);
        ASSERT_TRUE(document.set("Tessarin", {{"Help", "2"}}));
        const QByteArray after = document.text();
        SCOPED_TRACE(junk.toHex().toStdString());
        EXPECT_TRUE(after.startsWith(junk));
        EXPECT_EQ(IniDocument(after).section("Tessarin").value(u"help"), QString("2"));
    }
}

}  // namespace
}  // namespace tessarin
