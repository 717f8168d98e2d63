// The sound player: which recording it asks for, when, and that a new sound takes over the
// one channel. The test machine has no sound device, which must stay silent, not fail.
#include <QFile>
#include <QSignalSpy>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QtTest>

#include "soundplayer.h"

using tessarin::SoundPlayer;

namespace {

constexpr char kBlip[] = ":/testsounds/turn.wav";

// A folder of copies of the test recording under the game's sound names.
class SoundFolder {
  public:
    SoundFolder() {
        for (const char* name : {"turn", "turnnew", "clickletter", "wave9"}) {
            QFile::copy(kBlip, dir_.filePath(QString(name) + ".wav"));
        }
    }
    QString prefix() const { return dir_.path() + '/'; }

  private:
    QTemporaryDir dir_;
};

}  // namespace

class SoundPlayerTest : public QObject {
    Q_OBJECT

  private slots:
    void options_data() {
        QTest::addColumn<bool>("playSounds");
        QTest::addColumn<bool>("phraseSounds");
        QTest::addColumn<bool>("chatter");
        QTest::addColumn<bool>("heard");
        QTest::addRow("game, both on") << true << true << false << true;
        QTest::addRow("game, Play Sounds off") << false << true << false << false;
        QTest::addRow("game, Player Phrase Sounds off") << true << false << false << true;
        QTest::addRow("game, both off") << false << false << false << false;
        QTest::addRow("chatter, both on") << true << true << true << true;
        QTest::addRow("chatter, Play Sounds off") << false << true << true << true;
        QTest::addRow("chatter, Player Phrase Sounds off") << true << false << true << false;
        QTest::addRow("chatter, both off") << false << false << true << false;
    }

    void options() {
        QFETCH(bool, playSounds);
        QFETCH(bool, phraseSounds);
        QFETCH(bool, chatter);
        QFETCH(bool, heard);
        SoundFolder folder;
        SoundPlayer player(folder.prefix());
        player.setPlaySounds(playSounds);
        player.setPlayerPhraseSounds(phraseSounds);
        QSignalSpy requested(&player, &SoundPlayer::requested);

        const QString name = chatter ? "wave9" : "turn";
        if (chatter) {
            QCOMPARE(player.playchatter(name), phraseSounds);
        } else {
            player.playsounds(name);
        }
        QCOMPARE(requested.size(), heard ? 1 : 0);
        QCOMPARE(player.lastRequested(), heard ? name : QString());
    }

    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("recording");
        QTest::addRow("lower case") << "turnnew"
                                    << "turnnew";
        QTest::addRow("upper case") << "CLICKLETTER"
                                    << "clickletter";
        QTest::addRow("mixed case") << "Wave9"
                                    << "wave9";
        QTest::addRow("no such recording") << "wave99"
                                           << "";
        QTest::addRow("path outside the folder") << "../turn"
                                                 << "";
        QTest::addRow("blank inside") << "tu rn"
                                      << "";
        QTest::addRow("empty") << ""
                               << "";
    }

    void names() {
        QFETCH(QString, name);
        QFETCH(QString, recording);
        SoundFolder folder;
        SoundPlayer player(folder.prefix());
        QSignalSpy requested(&player, &SoundPlayer::requested);
        player.playsounds(name);
        QCOMPARE(player.lastRequested(), recording);
        QCOMPARE(requested.size(), recording.isEmpty() ? 0 : 1);
    }

    // Picking up a tile right after the turn sound started cuts the turn sound off.
    void newSoundTakesTheOneChannel() {
        SoundFolder folder;
        SoundPlayer player(folder.prefix());
        player.setDeviceCheck([] { return true; });
        QSignalSpy requested(&player, &SoundPlayer::requested);
        player.playsounds("turn");
        player.playsounds("clickletter");
        player.playsounds("nosuchsound");

        QCOMPARE(requested.size(), 2);
        QCOMPARE(requested[1][0].toString(), QString("clickletter"));
        const QList<QSoundEffect*> channels = player.findChildren<QSoundEffect*>();
        QCOMPARE(channels.size(), 1);
        QCOMPARE(channels[0]->source(), QUrl::fromLocalFile(folder.prefix() + "clickletter.wav"));
        QTRY_COMPARE(channels[0]->status(), QSoundEffect::Ready);
    }

    // A machine without sound hears nothing and is told so once, not at every sound.
    void noDeviceIsToldOnce() {
        SoundFolder folder;
        SoundPlayer player(folder.prefix());
        player.setDeviceCheck([] { return false; });
        QSignalSpy requested(&player, &SoundPlayer::requested);
        QTest::ignoreMessage(QtWarningMsg, "No audio device detected");
        QTest::failOnWarning(QRegularExpression("audio device"));
        for (const char* name : {"turn", "clickletter", "turn", "wave9"}) player.playsounds(name);
        QCOMPARE(requested.size(), 4);
        QVERIFY(!player.findChild<QSoundEffect*>());
    }

    // The game's own recordings are resources; the same lookup must reach them.
    void resourcePrefix() {
        SoundPlayer player(":/testsounds/");
        player.setDeviceCheck([] { return true; });
        player.playsounds("TURN");
        player.playsounds("turnnew");
        QCOMPARE(player.lastRequested(), QString("turn"));
        QSoundEffect* channel = player.findChild<QSoundEffect*>();
        QVERIFY(channel);
        QCOMPARE(channel->source(), QUrl("qrc:/testsounds/turn.wav"));
        QTRY_COMPARE(channel->status(), QSoundEffect::Ready);
    }
};

QTEST_GUILESS_MAIN(SoundPlayerTest)
#include "soundplayer_test.moc"
