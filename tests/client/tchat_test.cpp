// The main window against its own in-process server over loopback, and fed messages directly.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <filesystem>

#include "chatpanel.h"
#include "clientrig.h"
#include "privatemounts.h"
#include "protocol.h"
#include "soundplayer.h"
#include "tboard.h"

namespace tessarin {

using testing::RawClient;
using testing::RecordingChat;
using testing::Rig;

class TchatTest : public QObject {
    Q_OBJECT
  private slots:
    void soloStartHostsAsYouAndConnectsToSeatOne() {
        Rig rig;
        rig.chat->processparams({});
        QVERIFY(rig.waitForChat("You are Connected."));
        QCOMPARE(rig.chat->myseat(), 1);
        QVERIFY(rig.chat->ishost());
        QCOMPARE(rig.chat->loginname(), QStringLiteral("You"));
        QCOMPARE(rig.chat->hostaddress(), QStringLiteral("127.0.0.1"));
        QCOMPARE(rig.downloadsShown, 1);
        QVERIFY(rig.chat->startgameaction()->isEnabled());
        QVERIFY(rig.chatText().startsWith("Loading Solo Game..Please wait."));
        QCOMPARE(rig.chat->board().seatname(1), QStringLiteral("You"));
        // The first connection shows the quick instructions and remembers that it did.
        QFile ini(rig.settingsPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("Help=2"));
    }

    void trueHostsAndAnyOtherWordJoins() {
        Rig host;
        host.chat->processparams({"Ann", "10.0.0.5", "true"});
        QVERIFY(host.waitForChat("You are Connected."));
        QVERIFY(host.chat->ishost());
        QVERIFY(host.chatText().startsWith("Loading Multi-player Game.. Please Wait."));
        QCOMPARE(host.downloadsShown, 0);

        Rig guest;
        guest.chat->setPorts(host.server.port(), 1);
        guest.chat->processparams({"Bob", "127.0.0.1", "True"});
        QVERIFY(guest.waitForChat("You are Connected."));
        QVERIFY(!guest.chat->ishost());
        QCOMPARE(guest.chat->myseat(), 2);
        QVERIFY(!guest.chat->startgameaction()->isEnabled());
        QVERIFY(!guest.server.socktimerRunning() && guest.server.port() == 0);  // never listened
        QVERIFY(host.waitForChat("Bob is Connected."));
        QCOMPARE(host.chat->board().seatname(2), QStringLiteral("Bob"));
        QTRY_COMPARE(guest.chat->board().seatname(1), QStringLiteral("Ann"));
    }

    void twoParametersWaitWithoutConnecting() {
        Rig rig;
        rig.chat->processparams({"Ann", "10.0.0.5"});
        QTest::qWait(50);
        QCOMPARE(rig.chatText(), QStringLiteral("Loading Multi-player Game.. Please Wait."));
        QVERIFY(!rig.chat->isconnected());
        QVERIFY(!rig.chat->link().sock().isOpen());
    }

    void tenthConnectionIsToldTheGameIsFull() {
        Rig host;
        host.chat->processparams({});
        QVERIFY(host.waitForChat("You are Connected."));
        std::vector<std::unique_ptr<RawClient>> others;
        for (int i = 2; i <= 9; ++i) {
            others.push_back(std::make_unique<RawClient>(host.server.port()));
            QCOMPARE(others.back()->login("P" + std::to_string(i)), i);
        }
        RawClient tenth(host.server.port());
        QVERIFY(tenth.waitFor("CMD_full+\xFF"));
        QTRY_COMPARE(tenth.socket.state(), QAbstractSocket::UnconnectedState);

        Rig late;
        late.chat->setPorts(host.server.port(), 1);
        late.chat->processparams({"Zed", "127.0.0.1", "false"});
        QVERIFY(QTest::qWaitFor([&] { return late.boxes.contains("Game is full"); }, 5000));
        // Closing the main window stores its bounds, which were never read: the file appears.
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(late.settingsPath()); }, 5000));
    }

    void arrivalsDeparturesAndComputerLabels() {
        Rig rig;
        rig.chat->processparams({});
        QVERIFY(rig.waitForChat("You are Connected."));
        {
            RawClient bob(rig.server.port());
            QCOMPARE(bob.login("Bob"), 2);
            QVERIFY(rig.waitForChat("Bob is Connected."));
        }
        QVERIFY(rig.waitForChat("Bob disconnected."));
        QCOMPARE(rig.chat->board().seatname(2), QStringLiteral("<Waiting>"));

        // A seat showing a computer player's name leaves no " disconnected." line.
        rig.chat->processsocktimer("CMD_startgame+You+1+");
        QCOMPARE(rig.chat->board().seatname(2), QStringLiteral("Klot"));
        const QString before = rig.chatText();
        rig.chat->processsocktimer("CMD_playerdisconnected+2+");
        QCOMPARE(rig.chatText(), before);
        QCOMPARE(rig.chat->board().seatname(2), QStringLiteral("<Waiting>"));
    }

    void spectatorsAreListedAsSpies() {
        Rig rig;
        rig.chat->processsocktimer("CMD_sendlogininfo+5");
        rig.chat->processsocktimer("CMD_existingplayers+1+Ann+0+4+Cy+0+2+Bob+1");
        rig.chat->processsocktimer("CMD_newplayerinfo+5+Eve+0");
        QCOMPARE(rig.spies, (QStringList{"4: Cy", "5: Eve"}));
        for (const char* line :
             {"Ann is Connected.", "Cy is Connected.", "Cy is spying.", "You are spying."})
            QVERIFY2(rig.chatText().contains(line), line);
        QVERIFY(rig.chat->board().parts().image_eyes[2]->isVisibleTo(&rig.chat->board()));
        rig.chat->processsocktimer("CMD_playerdisconnected+4+Cy");
        QVERIFY(rig.chatText().contains("Cy has left."));
        QCOMPARE(rig.spies, QStringList{"5: Eve"});
        rig.chat->processsocktimer("CMD_playerdisconnected+6+Nobody");  // never listed
        QVERIFY(!rig.chatText().contains("Nobody"));
    }

    void versionMismatchLines() {
        Rig rig;
        rig.chat->processsocktimer("CMD_havewrongversion+Bob");
        rig.chat->processsocktimer("CMD_wrongversion+");
        QVERIFY(rig.chatText().contains("Bob has a different version of the game then you."));
        QVERIFY(rig.chatText().contains("You have a differnt version of the game then the host."));
    }

    void justWatchWaitsForTheServersAnswer() {
        Rig rig;
        rig.chat->processsocktimer("CMD_sendlogininfo+2");
        rig.chat->processsocktimer("CMD_newplayerinfo+2+Ann+0");
        rig.chat->sent.clear();
        rig.chat->justwatchaction()->trigger();
        rig.chat->justwatchaction()->trigger();
        const std::vector<std::string> twice = {"CMD_justwatch+2+1", "CMD_justwatch+2+1"};
        QCOMPARE(rig.chat->sent, twice);
        QVERIFY(!rig.chat->justwatchaction()->isChecked());
        rig.chat->processsocktimer("CMD_justwatching+2+1");
        QVERIFY(rig.chat->justwatchaction()->isChecked());
        QVERIFY(rig.chatText().contains("Ann is just watching"));
        rig.chat->justwatchaction()->trigger();
        QCOMPARE(rig.chat->sent.back(), std::string("CMD_justwatch+2+2"));
        rig.chat->processsocktimer("CMD_justwatching+2+2");
        QVERIFY(!rig.chat->justwatchaction()->isChecked());
        QVERIFY(rig.chatText().contains("Ann is now playing again"));
    }

    void seatMenuOffersRemovalOnlyToTheHost() {
        Rig rig;
        rig.chat->processsocktimer("CMD_sendlogininfo+1");
        rig.chat->processsocktimer("CMD_newplayerinfo+1+Ann+0");
        rig.chat->label_playername1ContextPopup(3, {});
        for (QAction* item : rig.chat->seatmenu().actions()) QVERIFY(!item->isEnabled());

        Rig host;
        host.chat->processparams({});
        QVERIFY(host.waitForChat("You are Connected."));
        host.chat->label_playername1ContextPopup(2, {});
        const auto items = host.chat->seatmenu().actions();
        QVERIFY(!items[0]->isEnabled());  // "<Waiting>": nobody to remove
        QVERIFY(items[1]->isEnabled() && items[2]->isEnabled());
        RawClient bob(host.server.port());
        QCOMPARE(bob.login("Bob"), 2);
        QVERIFY(host.waitForChat("Bob is Connected."));
        host.chat->label_playername1ContextPopup(2, {});
        QVERIFY(items[0]->isEnabled());
        items[0]->trigger();
        QCOMPARE(host.chat->sent.back(), std::string("CMD_kickhim+1+2+"));
        QVERIFY(host.waitForChat("Bob disconnected."));
        QVERIFY(QTest::qWaitFor(
            [&] { return bob.socket.state() == QAbstractSocket::UnconnectedState; }, 5000));
    }

    void chatterSoundWithoutPhraseSoundsBecomesALine() {
        Rig rig;
        rig.chat->processsocktimer("CMD_sendlogininfo+1");
        rig.chat->processsocktimer("CMD_existingplayers+2+Anna+0");
        QAction* phraseSounds = nullptr;
        for (QAction* item : rig.chat->findChildren<QAction*>())
            if (item->text() == QLatin1String("Player Phrase Sounds")) phraseSounds = item;
        QVERIFY(phraseSounds);
        phraseSounds->trigger();
        rig.chat->processsocktimer("CMD_playasound+2+wave9+");
        QVERIFY(rig.chatText().contains("Anna: <Chatter Sound> Welcome"));
        const QString before = rig.chatText();
        rig.chat->processsocktimer("CMD_playasound+5+wave9+");  // a spectator has no label
        rig.chat->processsocktimer("CMD_playasound+2+wave99+");
        QCOMPARE(rig.chatText(), before);
    }

    void boundsAreSavedOnlyWhenChanged() {
        Rig rig;
        rig.chat->loadinifile();
        QFile::remove(rig.settingsPath());
        rig.chat->close();
        QVERIFY(!QFile::exists(rig.settingsPath()));  // unchanged: nothing written

        Rig moved;
        moved.chat->loadinifile();
        moved.chat->setGeometry(40, 50, 800, 480);
        moved.chat->close();
        QFile ini(moved.settingsPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY(text.contains("Left=40"));
        QVERIFY(text.contains("Width=800"));

        Rig unread;  // never loaded: always written
        unread.chat->close();
        QVERIFY(QFile::exists(unread.settingsPath()));
    }

    void storedBoundsFitTheScreen_data() {
        QTest::addColumn<QByteArray>("bounds");
        QTest::newRow("huge") << QByteArray(
            "Top=-2147483648\nLeft=30000\nWidth=2147483647\nHeight=2147483647\n");
        QTest::newRow("tiny") << QByteArray("Top=5\nLeft=5\nWidth=10\nHeight=-10\n");
    }
    void storedBoundsFitTheScreen() {
        QFETCH(QByteArray, bounds);
        Rig rig;
        QFile ini(rig.settingsPath());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Tessarin]\nHelp=2\n" + bounds);
        ini.close();
        rig.chat->show();
        rig.chat->loadinifile();
        const QRect area = rig.chat->screen()->availableGeometry();
        const QRect got = rig.chat->geometry();
        const QString shown = QStringLiteral("%1,%2 %3x%4")
                                  .arg(got.left())
                                  .arg(got.top())
                                  .arg(got.width())
                                  .arg(got.height());
        QVERIFY2(area.contains(got), qPrintable(shown));
        QVERIFY2(got.size().expandedTo(rig.chat->minimumSizeHint()) == got.size(),
                 qPrintable(shown));
    }

    void failedSavesAreToldOnce() {
        Rig rig;
        const std::filesystem::path folder = rig.dir.path() / "settings";
        std::filesystem::create_directory(folder);
        testing::FullDisk disk(folder, 64 * 1024);
        if (!disk.ok()) QSKIP(disk.why().c_str());
        const QString path = QString::fromStdString((folder / "zorvlobby.ini").string());
        const QByteArray before = "[Lobby]\nName=Bob\n[Tessarin]\nHelp=1\n";
        QFile ini(path);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(before);
        ini.close();
        disk.fill();

        RecordingChat chat(path);
        Tchat::Hooks hooks;
        hooks.messagebox = [&](const QString& text) { rig.boxes << text; };
        chat.setHooks(hooks);
        chat.loadinifile();  // marks the instructions shown: a save
        for (QAction* item : chat.findChildren<QAction*>())
            if (item->text() == QLatin1String("Player Phrase Sounds")) item->trigger();
        chat.setGeometry(20, 20, 800, 500);
        chat.close();
        QCOMPARE(rig.boxes, QStringList{"Your settings could not be saved. Cannot save " + path +
                                        ": No space left on device"});
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), before);
    }

    void resetScreenLocation() {
        Rig rig;
        rig.chat->setGeometry(200, 100, 900, 600);
        rig.chat->ResetScreenLocation1Click();
        QCOMPARE(rig.chat->geometry(), QRect(3, 3, 768, 470));
    }

    void windowNeverHidesTheBoard() {
        Rig rig;
        rig.chat->show();
        rig.chat->resize(300, 200);
        QApplication::processEvents();
        const QSize client = rig.chat->centralWidget()->size();
        QVERIFY2(client.width() >= 749 + 4 && client.height() >= 411 + 4,
                 qPrintable(QStringLiteral("%1x%2").arg(client.width()).arg(client.height())));
    }

    void eventsAskForTheirRecordings() {
        Rig rig;
        rig.chat->processsocktimer("CMD_sendlogininfo+1");
        rig.chat->processsocktimer("CMD_newplayerinfo+1+Ann+0");
        QCOMPARE(rig.chat->sounds().lastRequested(), QStringLiteral("entered"));
        rig.chat->processsocktimer("CMD_startgame+Ann+1+");
        rig.chat->processsocktimer("CMD_roundstart+1+");
        rig.chat->processsocktimer("CMD_nextplayer+1+1+0+");
        QCOMPARE(rig.chat->sounds().lastRequested(), QStringLiteral("turn"));
        rig.chat->processsocktimer("CMD_errornum+1+1+");
        QCOMPARE(rig.chat->sounds().lastRequested(), QStringLiteral("invalid"));
        rig.chat->processsocktimer("CMD_winner+Klot+");
        QCOMPARE(rig.chat->sounds().lastRequested(), QStringLiteral("winner"));
    }

    void everyControlAPlayerUsesHasAnAccessibleName() {
        Rig rig;
        QStringList unnamed;
        for (QWidget* w : rig.chat->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                                 qobject_cast<QAbstractScrollArea*>(w) ||
                                 w->inherits("tessarin::board::TileCell");
            const auto* button = qobject_cast<QAbstractButton*>(w);
            const bool named =
                !w->accessibleName().isEmpty() || (button && !button->text().isEmpty());
            if (control && !w->isHidden() && !named)
                unnamed << w->objectName() + "/" + w->metaObject()->className();
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    void hostileServerMessagesAreDropped() {
        Rig rig;
        for (const char* line :
             {"", "CMD_sendlogininfo", "CMD_sendlogininfo+x", "CMD_newplayerinfo+1",
              "CMD_newplayerinfo+99999999999+A+0", "CMD_newplayerinfo+-4+A+0",
              "CMD_playerdisconnected+abc+x", "CMD_justwatching+9+1", "CMD_unknown+1",
              "CMD_playasound+0+wave1+", "CMD_existingplayers+1+A+0+2"})
            rig.chat->processsocktimer(line);
        QCOMPARE(rig.chat->myseat(), 0);
        QCOMPARE(rig.chat->board().seatname(1), QStringLiteral("A"));
    }
};

}  // namespace tessarin

QTEST_MAIN(tessarin::TchatTest)
#include "tchat_test.moc"
