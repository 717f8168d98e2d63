// The program's section: defaults, reading rules, what a save writes and what it keeps.
#include <gtest/gtest.h>

#include <QFile>

#include <filesystem>
#include <functional>
#include <random>

#include "tempdir.h"
#include "tessarinsettings.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

class TessarinSettingsTest : public ::testing::Test {
  protected:
    fs::path file() const { return dir_.path() / "zorvlobby.ini"; }
    TessarinSettings settings() const { return TessarinSettings(QString::fromStdString(file())); }

    void put(const QByteArray& bytes) const {
        QFile out(QString::fromStdString(file()));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_EQ(out.write(bytes), bytes.size());
    }
    std::string contents() const {
        QFile in(QString::fromStdString(file()));
        return in.open(QIODevice::ReadOnly) ? in.readAll().toStdString() : "<missing>";
    }

  private:
    testing::TempDir dir_;
};

SavedSettings everything() {
    SavedSettings s;
    s.textSize = 12;
    s.bounds = QRect(40, 30, 800, 600);
    s.textColour = 0x123456;
    s.playToScore = 3;
    s.botSpeedMs = 2000;
    s.timeSpeedMs = 500;
    s.turnSoundNew = true;
    s.playerPhraseSounds = false;
    s.playSounds = false;
    s.botStrength = settings::kStrengthExpert;
    return s;
}

constexpr char kEverything[] =
    "Textsize=12\nTop=30\nLeft=40\nWidth=800\nHeight=600\nTextcolor=$00123456\n"
    "Playtoscore=3\nBotspeed=2000\nDelay=500\nTurnsound=1\nPlayerphrasesounds=false\n"
    "Playsounds=false\nBotstrength=Expert\n";

TEST_F(TessarinSettingsTest, NoFileGivesDefaultsAndTheFirstLoadMarksHelpShown) {
    const LoadedSettings first = settings().loadinifile();
    EXPECT_EQ(first, LoadedSettings{});
    EXPECT_EQ(first.textSize, 8);
    EXPECT_EQ(first.bounds, QRect(3, 3, 768, 470));
    EXPECT_EQ(first.botSpeedMs, 1000);
    EXPECT_EQ(first.timeSpeedMs, 1000);
    EXPECT_TRUE(first.playSounds);
    EXPECT_TRUE(first.showHelp);
    EXPECT_EQ(contents(), "[Tessarin]\nHelp=2\n");

    EXPECT_FALSE(settings().loadinifile().showHelp);
}

TEST_F(TessarinSettingsTest, HelpIsWrittenAsTwoWhateverItWas) {
    for (const char* help : {"1", "2", "7", ""}) {
        SCOPED_TRACE(help);
        put(QByteArray("[Tessarin]\nHelp=") + help + "\n");
        EXPECT_EQ(settings().loadinifile().showHelp, QByteArray(help) == "1");
        EXPECT_EQ(contents(), "[Tessarin]\nHelp=2\n");
    }
}

TEST_F(TessarinSettingsTest, ReadingRules) {
    using Get = std::function<QString(const LoadedSettings&)>;
    const Get botSpeed = [](auto& s) { return QString::number(s.botSpeedMs); };
    const Get timeSpeed = [](auto& s) { return QString::number(s.timeSpeedMs); };
    const Get turnSound = [](auto& s) { return QString::number(s.turnSoundNew); };
    const Get playSounds = [](auto& s) { return QString::number(s.playSounds); };
    const Get phraseSounds = [](auto& s) { return QString::number(s.playerPhraseSounds); };
    const Get textSize = [](auto& s) { return QString::number(s.textSize); };
    const Get colour = [](auto& s) { return QString::number(s.textColour, 16); };
    const Get rounds = [](auto& s) {
        return s.playToScore ? QString::number(*s.playToScore) : QString("none");
    };
    const Get top = [](auto& s) { return QString::number(s.bounds.top()); };
    const Get width = [](auto& s) { return QString::number(s.bounds.width()); };
    const Get phrase3 = [](auto& s) { return s.phrases[2]; };
    const Get phrase4 = [](auto& s) { return s.phrases[3]; };
    const Get strength = [](auto& s) { return QString::number(s.botStrength); };
    struct Case {
        const char* line;
        Get get;
        QString expected;
    };
    const Case cases[] = {
        {"Botspeed=2000", botSpeed, "2000"},
        {"Botspeed=500", botSpeed, "500"},
        {"botspeed = 500 ", botSpeed, "500"},
        {"Botspeed=fast", botSpeed, "1000"},
        {"Botspeed=0500", botSpeed, "1000"},
        {"Botstrength=Strong", strength, "1"},
        {"Botstrength=Expert", strength, "2"},
        {"Botstrength=expert", strength, "0"},
        {"Botstrength=2", strength, "0"},
        {"Delay=1500", timeSpeed, "1500"},
        {"Delay=500", timeSpeed, "500"},
        {"Delay=long", timeSpeed, "1000"},
        {"Turnsound=1", turnSound, "1"},
        {"Turnsound=yes", turnSound, "0"},
        {"Playsounds=false", playSounds, "0"},
        {"Playsounds=no", playSounds, "1"},
        {"Playsounds=False", playSounds, "1"},
        {"Playerphrasesounds=false", phraseSounds, "0"},
        {"Playerphrasesounds=0", phraseSounds, "1"},
        {"Textsize=9", textSize, "9"},
        {"Textsize=14", textSize, "14"},
        {"Textsize=big", textSize, "8"},
        {"Textsize=0", textSize, "8"},
        {"Textsize=5", textSize, "8"},  // smaller than the chat shows
        {"Textsize=-12", textSize, "8"},
        {"Textsize=4000", textSize, "8"},
        {"Textcolor=clRed", colour, "ff"},
        {"Textcolor=CLBLUE", colour, "ff0000"},
        {"Textcolor=$00123456", colour, "123456"},
        {"Textcolor=$abcdef", colour, "abcdef"},
        {"Textcolor=255", colour, "ff"},
        {"Textcolor=$FF000000", colour, "0"},
        {"Textcolor=$-1", colour, "0"},
        {"Textcolor=0x0000FF", colour, "0"},
        {"Textcolor=purple", colour, "0"},
        {"Playtoscore=3", rounds, "3"},
        {"Playtoscore=9", rounds, "9"},
        {"Playtoscore=", rounds, "none"},
        {"Playtoscore=three", rounds, "none"},
        {"Top=abc", top, "3"},
        {"Top=-20", top, "-20"},
        {"Width=1024", width, "1024"},
        {"Width=2147483647", width, "1073741824"},
        {"Width=-5", width, "0"},
        {"Top=-2147483648", top, "-1073741824"},
        {"Phrase3=Hello there", phrase3, "Hello there"},
        {"Phrase3=", phrase3, ""},
        {"Phrase4=12345678901234567890123456789012345678901234567890EXTRA", phrase4,
         "12345678901234567890123456789012345678901234567890"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        put(QByteArray("[Tessarin]\n") + c.line + "\n");
        EXPECT_EQ(c.get(settings().read()).toStdString(), c.expected.toStdString());
    }
}

TEST_F(TessarinSettingsTest, SaveWritesTheKeysInOrderAndReadsBack) {
    ASSERT_TRUE(settings().saveinifile(everything()).ok());
    EXPECT_EQ(contents(), std::string("[Tessarin]\n") + kEverything);

    const LoadedSettings back = settings().read();
    EXPECT_EQ(back.textSize, 12);
    EXPECT_EQ(back.bounds, QRect(40, 30, 800, 600));
    EXPECT_EQ(back.textColour, 0x123456u);
    EXPECT_EQ(back.playToScore, 3);
    EXPECT_EQ(back.botSpeedMs, 2000);
    EXPECT_EQ(back.timeSpeedMs, 500);
    EXPECT_TRUE(back.turnSoundNew);
    EXPECT_FALSE(back.playerPhraseSounds);
    EXPECT_FALSE(back.playSounds);
    EXPECT_EQ(back.botStrength, settings::kStrengthExpert);
}

TEST_F(TessarinSettingsTest, SaveWritesBasicColoursByName) {
    SavedSettings s;
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0x000000, "clBlack"}, {0xFF0000, "clBlue"}, {0x0000FF, "clRed"}, {0x0000FE, "$000000FE"}};
    for (const auto& [colour, text] : cases) {
        s.textColour = colour;
        ASSERT_TRUE(settings().saveinifile(s).ok());
        EXPECT_EQ(contents(), std::string("[Tessarin]\nTextcolor=") + text + "\n");
        EXPECT_EQ(settings().read().textColour, colour);
    }
}

TEST_F(TessarinSettingsTest, SaveKeepsEverythingElseByteForByte) {
    const QByteArray before = "; Zorvik programs\r\n[Lobby]\r\n  Name = Bob \r\n\r\n";
    const QByteArray after = "[Other Game]\r\nx=1\r\n; trailing comment without line end";
    put(before +
        "[tessarin]\r\nTEXTSIZE=10\r\n; mine\r\nUnknownKey=keep me\r\nPhrase1=Hi all\r\n"
        "Help=2\r\n\r\n" +
        after);

    ASSERT_TRUE(settings().saveinifile(everything()).ok());

    QByteArray ours =
        "[tessarin]\r\nTEXTSIZE=12\r\n; mine\r\nUnknownKey=keep me\r\nPhrase1=Hi all\r\n"
        "Help=2\r\n";
    ours += QByteArray(kEverything).mid(QByteArray("Textsize=12\n").size()).replace("\n", "\r\n");
    EXPECT_EQ(contents(), (before + ours + "\r\n" + after).toStdString());
}

TEST_F(TessarinSettingsTest, PartialSaveLeavesOtherKeys) {
    put("[Tessarin]\nTextsize=14\nBotspeed=2000\nTextcolor=clRed\n");
    SavedSettings s;
    s.bounds = QRect(1, 2, 3, 4);
    s.timeSpeedMs = 1500;
    ASSERT_TRUE(settings().saveinifile(s).ok());
    EXPECT_EQ(contents(),
              "[Tessarin]\nTextsize=14\nBotspeed=2000\nTextcolor=clRed\nTop=2\nLeft=1\nWidth=3\n"
              "Height=4\nDelay=1500\n");
}

TEST_F(TessarinSettingsTest, PhrasesAreWrittenSeparately) {
    std::array<QString, 9> phrases;
    phrases[0] = "Hi all";
    phrases[8] = QString::fromUtf8("Gr\xC3\xBC\xC3\x9F dich");
    ASSERT_TRUE(settings().savephrases(phrases).ok());
    EXPECT_EQ(settings().read().phrases, phrases);
    EXPECT_EQ(contents().find("Botspeed"), std::string::npos);
}

// Every prefix of a valid file, as a crash in the middle of someone else's write could
// leave it: each value reads either as written or as its default, never as garbage.
TEST_F(TessarinSettingsTest, TruncatedFileReadsValuesOrDefaults) {
    const QByteArray full =
        "[Tessarin]\r\nBotspeed=2000\r\nDelay=1500\r\nTurnsound=1\r\nPlaysounds=false\r\n"
        "Playerphrasesounds=false\r\nTextcolor=clRed\r\n";
    put(full);
    const LoadedSettings whole = settings().read();
    const LoadedSettings defaults;
    for (qsizetype n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE(n);
        put(full.left(n));
        const LoadedSettings s = settings().read();
        EXPECT_TRUE(s.botSpeedMs == whole.botSpeedMs || s.botSpeedMs == defaults.botSpeedMs);
        EXPECT_TRUE(s.timeSpeedMs == whole.timeSpeedMs || s.timeSpeedMs == defaults.timeSpeedMs);
        EXPECT_TRUE(s.turnSoundNew == whole.turnSoundNew ||
                    s.turnSoundNew == defaults.turnSoundNew);
        EXPECT_TRUE(s.textColour == whole.textColour || s.textColour == defaults.textColour);
    }
    EXPECT_NE(whole.botSpeedMs, defaults.botSpeedMs);
    EXPECT_NE(whole.textColour, defaults.textColour);
}

TEST_F(TessarinSettingsTest, BinaryOrHugeFileReadsAsDefaults) {
    std::mt19937 random(11);
    QByteArray binary;
    for (int i = 0; i < 65536; ++i) binary += static_cast<char>(random());
    QByteArray huge = "[Tessarin]\nBotspeed=2000\n";
    huge += QByteArray(2 * 1024 * 1024, '\n');

    for (const QByteArray& bytes : {binary, huge}) {
        put(bytes);
        EXPECT_EQ(settings().read(), LoadedSettings{});
    }
    EXPECT_FALSE(settings().saveinifile(everything()).ok());
    EXPECT_EQ(contents().size(), static_cast<std::size_t>(huge.size()));
}

}  // namespace
}  // namespace tessarin
