// The main window against its own in-process server over loopback, and fed messages directly.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSpinBox>
#include <QTcpServer>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <filesystem>

#include "chatentry.h"
#include "chatpanel.h"
#include "clientrig.h"
#include "helppanel.h"
#include "picturebutton.h"
#include "pictureview.h"
#include "privatemounts.h"
#include "protocol.h"
#include "soundplayer.h"
#include "tboard.h"
#include "tgamestart.h"
#include "tilecell.h"

namespace tessarin {

using chat::ChatEntry;
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

        // The lobby's Watch: the port comes with the address, and the seat is handed to the
        // computer once a game starts.
        Rig watcher;
        watcher.chat->setPorts(1, 1);
        watcher.chat->processparams(
            {"Cy", QStringLiteral("127.0.0.1:%1").arg(host.server.port()), "false", "watch"});
        QVERIFY(host.waitForChat("Cy is Connected."));
        QCOMPARE(watcher.chat->myseat(), 3);
        host.chat->send(proto::request::startgame("Ann", "1"));
        QVERIFY(watcher.waitForChat("Cy is just watching"));
        QVERIFY(host.server.server().state().players[3].watching);
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

    // A server that refuses and closes the connection in a separate read, later.
    void gameIsFullStaysUntilDismissedWhenTheCloseComesLater() {
        QTcpServer refuser;
        QVERIFY(refuser.listen(QHostAddress::LocalHost));
        QObject::connect(&refuser, &QTcpServer::newConnection, [&] {
            QTcpSocket* peer = refuser.nextPendingConnection();
            peer->write("CMD_full+\xFF");
            QTimer::singleShot(300, peer, [peer] { peer->disconnectFromHost(); });
        });
        Rig late;
        late.chat->setPorts(refuser.serverPort(), 1);
        bool stayed = false;
        late.whileBoxShown = [&] {
            const bool closed =
                QTest::qWaitFor([&] { return !late.chat->link().sock().isOpen(); }, 5000);
            QTest::qWait(50);
            stayed = closed && !late.chat->closing();
        };
        late.chat->processparams({"Zed", "127.0.0.1", "false"});
        QVERIFY(QTest::qWaitFor([&] { return late.chat->closing(); }, 5000));
        QCOMPARE(late.boxes, QStringList{"Game is full"});
        QVERIFY(stayed);
        QVERIFY(!late.chat->reconnecting());
    }

    // A server that seats the window and drops it every time: the tries stop once the time
    // from the first drop has run out, however often a try gets as far as a seat.
    void redialsStopAfterTheTimeFromTheFirstDrop() {
        QTcpServer dropper;
        QVERIFY(dropper.listen(QHostAddress::LocalHost));
        int connections = 0;
        QObject::connect(&dropper, &QTcpServer::newConnection, [&] {
            QTcpSocket* peer = dropper.nextPendingConnection();
            ++connections;
            peer->write("CMD_sendlogininfo+2\xFF");
            QTimer::singleShot(20, peer, [peer] { peer->disconnectFromHost(); });
        });
        Rig guest;
        guest.chat->setPorts(dropper.serverPort(), 1);
        guest.chat->setReconnectTiming(50, 1000);
        guest.chat->processparams({"Zed", "127.0.0.1", "false"});
        QVERIFY(QTest::qWaitFor([&] { return guest.chat->closing(); }, 10000));
        QCOMPARE(guest.boxes, QStringList{"The connection to the host was lost."});
        QVERIFY(connections > 2);
    }

    // A server that answered a ping and then goes silent, its connection still open, is
    // taken for gone.
    void aSilentServerIsNoticed() {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        QObject::connect(&silent, &QTcpServer::newConnection, [&] {
            QTcpSocket* peer = silent.nextPendingConnection();
            peer->write(
                "CMD_sendlogininfo+2\xFF"
                "CMD_newplayerinfo+2+Zed+0\xFF");
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer] {
                if (!peer->readAll().contains("CMD_ping+")) return;
                peer->write("CMD_pong+\xFF");  // once, then nothing more
                QObject::disconnect(peer, &QTcpSocket::readyRead, nullptr, nullptr);
            });
        });
        Rig guest;
        guest.chat->link().setPingTiming(50, 500);
        guest.chat->setPorts(silent.serverPort(), 1);
        guest.chat->processparams({"Zed", "127.0.0.1", "false"});
        QVERIFY(guest.waitForChat("You are Connected."));
        QVERIFY(guest.waitForChat("The connection to the host was lost. Reconnecting..."));
    }

    // A joiner in seat 2 of a running game, and what happens to its session.
    void sessionEndings_data() {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("box");  // empty: none, and the window stays
        QTest::newRow("dropped") << "dropped"
                                 << "";
        QTest::newRow("removed") << "removed"
                                 << "The host has removed you from the game.";
        QTest::newRow("host gone") << "host gone"
                                   << "The connection to the host was lost.";
        QTest::newRow("other version dropped") << "other version dropped"
                                               << "The connection to the host was lost.";
    }
    void sessionEndings() {
        QFETCH(QString, event);
        QFETCH(QString, box);
        auto host = std::make_unique<Rig>();
        host->chat->processparams({});
        QVERIFY(host->waitForChat("You are Connected."));
        Rig guest;
        guest.chat->setPorts(host->server.port(), 1);
        guest.chat->setReconnectTiming(100, 1500);
        guest.chat->processparams({"Bob", "127.0.0.1", "false"});
        QVERIFY(guest.waitForChat("You are Connected."));
        host->chat->send(proto::request::startgame("You", "1"));
        QVERIFY(guest.waitForChat("You has started a game."));
        QTRY_VERIFY(guest.chat->board().parts().tile[1]->code() > 0);

        if (event == "dropped") {
            host->server.closeSeat(2);
        } else if (event == "removed") {
            host->chat->kicking(2);
        } else if (event == "host gone") {
            host.reset();
        } else {
            guest.chat->processsocktimer("CMD_wrongversion+");
            host->server.closeSeat(2);
        }
        if (box.isEmpty()) {
            QVERIFY(guest.waitForChat("The connection to the host was lost. Reconnecting..."));
            QVERIFY(guest.waitForChat("Reconnected to the host."));
            QTRY_COMPARE(guest.chat->myseat(), 2);  // moved to its held seat
            // The rack and scores are the server's again.
            const auto& seat2 = host->server.server().state().players[2];
            QTRY_COMPARE(guest.chat->board().parts().tile[6]->code(), seat2.tiles[6]);
            for (int slot = 1; slot <= 6; ++slot)
                QCOMPARE(guest.chat->board().parts().tile[slot]->code(), seat2.tiles[slot]);
            QVERIFY(!guest.chat->closing());
            QVERIFY(guest.boxes.isEmpty());
            return;
        }
        QVERIFY(QTest::qWaitFor([&] { return guest.chat->closing(); }, 10000));
        QCOMPARE(guest.boxes, QStringList{box});
        // Only a drop of a session that may go on is worth trying again.
        QCOMPARE(guest.chatText().contains("Reconnecting"), event == "host gone");
    }

    // A joined window's connection is cut mid-round; once it is back, what it shows is the
    // server's game, cell by cell.
    void rejoinShowsTheServersGame_data() {
        QTest::addColumn<bool>("serverNotices");  // false: it still thinks the window there
        QTest::newRow("server still thinks it connected") << false;
        QTest::newRow("after the hold ran out") << true;
    }
    void rejoinShowsTheServersGame() {
        QFETCH(bool, serverNotices);
        Rig host;
        host.chat->processparams({});
        QVERIFY(host.waitForChat("You are Connected."));
        ServerConnections& server = host.server;
        const GameState& st = server.server().state();
        testing::Relay network(server.port());
        Rig guest;
        guest.chat->setPorts(network.port(), 1);
        guest.chat->setReconnectTiming(100, 30000);
        guest.chat->processparams({"Bob", "127.0.0.1", "false"});
        QVERIFY(guest.waitForChat("You are Connected."));
        host.chat->send(proto::request::startgame("You", "5"));
        QVERIFY(guest.waitForChat("You has started a game."));
        // The people place whenever it is their turn; the computer plays a held seat.
        const auto play = [&](int placements) {
            for (int done = 0; done < placements;) {
                const bool person =
                    st.whoseturn == 1 || (st.whoseturn == 2 && st.players[2].human());
                if (!person || st.computermove) {
                    QTest::qWait(5);
                    continue;
                }
                int row = 1;
                while (st.board[row][st.column] != 0) ++row;
                const int column = st.column;
                (st.whoseturn == 1 ? host : guest)
                    .chat->send(proto::request::placeit(st.whoseturn, 1,
                                                        std::to_string(row * 10 + column)));
                QVERIFY(QTest::qWaitFor([&] { return st.board[row][column] != 0; }, 5000));
                ++done;
            }
        };
        play(4);
        if (serverNotices) {
            server.setSeatHoldMs(300);
            network.refusing = true;
            network.cut(true);
            QVERIFY(QTest::qWaitFor([&] { return server.server().seats().held(2); }, 5000));
            play(4);  // the host plays on, the computer in the player's seat
            QVERIFY(QTest::qWaitFor([&] { return !server.server().seats().held(2); }, 5000));
            network.refusing = false;
        } else {
            network.cut(false);
        }
        QVERIFY(guest.waitForChat("Reconnected to the host."));
        QCOMPARE(guest.chat->myseat(), 2);
        QVERIFY(QTest::qWaitFor(
            [&] {
                const bool person =
                    st.whoseturn == 1 || (st.whoseturn == 2 && st.players[2].human());
                return person && !st.computermove && guest.chat->link().queued() == 0;
            },
            5000));
        QTest::qWait(50);  // anything still on its way arrives

        board::TBoard& board = guest.chat->board();
        QStringList wrong;
        for (int row = 1; row <= kRows; ++row)
            for (int column = 1; column <= kColumns; ++column) {
                const board::TileCell* cell = board.parts().word[row][column];
                const int expected = st.board[row][column] != 0 ? st.board[row][column]
                                     : column == st.column      ? 0
                                                                : board::TileCell::kNone;
                if (cell->code() != expected || cell->isVisibleTo(&board) != (column <= st.column))
                    wrong << QStringLiteral("%1%2").arg(row).arg(column);
            }
        QVERIFY2(wrong.isEmpty(), qPrintable("cells differ: " + wrong.join(' ')));
        for (int seat = 1; seat <= 3; ++seat)
            QCOMPARE(board.parts().label_score[seat]->text(),
                     QString::number(st.players[seat].score));
        for (int slot = 1; slot <= kRackSize; ++slot)
            QCOMPARE(board.parts().tile[slot]->code(), st.players[2].tiles[slot]);
        QCOMPARE(board.whoseturn(), st.whoseturn);
        QCOMPARE(board.currentcolumn(), st.column);
        QCOMPARE(board.parts().label_roundnum->text(),
                 QStringLiteral("Round: %1 of %2").arg(st.round).arg(st.playtoscore));
        QCOMPARE(guest.chat->board().seatname(2), QStringLiteral("Bob"));
    }

    void hostingOnATakenPortSaysSoAndCloses() {
        TSock holder;
        holder.setPortName("0");
        holder.setListen(true);
        Rig rig;
        rig.server.setPortName(std::to_string(holder.localPort()));
        rig.chat->setPorts(holder.localPort(), 1);
        rig.chat->processparams({"Ann", "10.0.0.5", "true"});
        QCOMPARE(rig.boxes.size(), 1);
        QVERIFY2(
            rig.boxes[0].contains(QStringLiteral("already uses port %1").arg(holder.localPort())),
            qPrintable(rig.boxes[0]));
        QVERIFY(rig.boxes[0].contains("\"false\""));
        QVERIFY(rig.chat->closing());
    }

    void namesFromTheServerAreCleaned() {
        Rig rig;
        rig.chat->processsocktimer("CMD_sendlogininfo+1");
        rig.chat->processsocktimer("CMD_existingplayers+2+Bo\r\nb+0+4+Sp\ry+0");
        QCOMPARE(rig.chat->board().seatname(2), QStringLiteral("Bob"));
        QCOMPARE(rig.spies, QStringList{"4: Spy"});
        rig.chat->processsocktimer("CMD_startgame+E\nve+3+");
        QVERIFY(rig.chatText().contains("Eve has started a game."));
        rig.chat->processsocktimer("CMD_winner+Bo\rb+");
        QCOMPARE(rig.chat->board().parts().label_winner1->text(), QStringLiteral("Bob"));
        rig.chat->processsocktimer("CMD_playerdisconnected+4+Sp\ry+");
        QVERIFY(rig.spies.isEmpty());
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
        // Seats a game does not have, and groups past nine, are ignored.
        std::string many = "CMD_existingplayers+10+Far+0+0+Zero+0";
        for (int i = 0; i < 5000; ++i) many += "+6+Lots+0";
        rig.chat->processsocktimer(many);
        QCOMPARE(rig.spies, (QStringList{"4: Cy", "5: Eve", "6: Lots", "6: Lots", "6: Lots",
                                         "6: Lots", "6: Lots", "6: Lots", "6: Lots"}));
        QVERIFY(!rig.chatText().contains("Far") && !rig.chatText().contains("Zero"));
        rig.spies.erase(rig.spies.begin() + 2, rig.spies.end());
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
        rig.chat->processsocktimer("CMD_sendlogininfo+2");
        rig.chat->processsocktimer("CMD_newplayerinfo+2+Ann+0");
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

    void roundsAreSavedOnlyWhenChosen_data() {
        QTest::addColumn<bool>("read");    // the settings were read before the window closed
        QTest::addColumn<int>("stepped");  // the player set the selector to this, 0: never
        QTest::addColumn<QByteArray>("kept");
        QTest::newRow("closed before reading") << false << 0 << QByteArray("Playtoscore=4");
        QTest::newRow("chosen before reading") << false << 2 << QByteArray("Playtoscore=2");
        QTest::newRow("read, then closed") << true << 0 << QByteArray("Playtoscore=4");
    }

    void roundsAreSavedOnlyWhenChosen() {
        QFETCH(bool, read);
        QFETCH(int, stepped);
        QFETCH(QByteArray, kept);
        Rig rig;
        board::Tgamestart gamestart(*rig.chat, rig.chat.get());
        rig.chat->attach(&gamestart, nullptr);
        {
            QFile ini(rig.settingsPath());
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[Tessarin]\r\nPlaytoscore=4\r\nWidth=700\r\n");
        }
        if (read) rig.chat->loadinifile();
        if (stepped) gamestart.edit_playtoscore()->setValue(stepped);
        rig.chat->setGeometry(40, 50, 800, 480);  // the bounds changed: the settings are saved
        rig.chat->close();
        QFile ini(rig.settingsPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY2(text.contains(kept), text.constData());
        QVERIFY(text.contains("Width=800"));
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

    void boardGrowsWithTheWindow_data() {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<bool>("grows");
        QTest::newRow("default size") << QSize(768, 470) << false;
        QTest::newRow("1200x760") << QSize(1200, 760) << true;
        QTest::newRow("1920x1080") << QSize(1920, 1080) << true;
        QTest::newRow("only wider") << QSize(1300, 470) << false;
    }

    void boardGrowsWithTheWindow() {
        QFETCH(QSize, window);
        QFETCH(bool, grows);
        Rig rig;
        rig.chat->show();
        rig.chat->resize(window);
        QApplication::processEvents();
        const board::TBoard& board = rig.chat->board();
        const QSize client = rig.chat->centralWidget()->size();
        const QSize atDefault = Tchat::kDefaultBounds.size() - (rig.chat->size() - client);
        const QWidget* cell = board.parts().word[3][2];
        const qreal scale = board.scale();
        QCOMPARE(scale > 1, grows);
        // As large as the window allows while keeping the default window's proportions.
        QVERIFY(atDefault.width() * scale <= client.width() + 1);
        QVERIFY(atDefault.height() * scale <= client.height() + 1);
        QVERIFY(qAbs(atDefault.width() * scale - client.width()) <= 2 ||
                qAbs(atDefault.height() * scale - client.height()) <= 2);
        const auto near = [scale](int actual, int designed) {
            return qAbs(actual - designed * scale) <= 1;
        };
        QVERIFY(near(cell->x(), 325) && near(cell->y(), 106) && near(cell->height(), 44));
        QVERIFY(near(board.parts().tile[1]->x(), 129) && near(board.parts().tile[1]->y(), 335));
        QVERIFY(near(board.parts().label_status->font().pixelSize(), 13));
        // The chat keeps its place and takes all the width beyond the proportional size.
        const QRect chat = rig.chat->chatpanel().geometry();
        QVERIFY(near(chat.left(), 470));
        QCOMPARE(chat.right(), board.width() - 1);
        QVERIFY(qAbs((board.width() - 749 * scale) - (client.width() - 768 * scale)) <= 1);
        if (!grows && window.height() == 470) {
            QCOMPARE(board.geometry(), QRect(2, 2, window.width() - 19, 411));
            QCOMPARE(chat, QRect(470, 0, window.width() - 19 - 470, 411));
        }
    }

    void keysComeBackToTheBoard_data() {
        QTest::addColumn<QString>("typed");  // in the chat entry when the turn starts
        QTest::addColumn<bool>("escape");    // then Escape in the entry
        QTest::addColumn<bool>("board");     // the next key plays on the board
        QTest::newRow("empty entry") << "" << false << true;
        QTest::newRow("a line half typed") << "hel" << false << false;
        QTest::newRow("then Escape") << "hel" << true << true;
    }

    void keysComeBackToTheBoard() {
        QFETCH(QString, typed);
        QFETCH(bool, escape);
        QFETCH(bool, board);
        Rig rig;
        for (const char* line :
             {"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann+0", "CMD_startgame+Ann+1+",
              "CMD_roundstart+1+", "CMD_mytiles+1+1+3+2+1+3+20+4+5+5+18+6+19+"})
            rig.chat->processsocktimer(line);
        rig.chat->show();
        QApplication::setActiveWindow(rig.chat.get());
        QVERIFY(QTest::qWaitForWindowActive(rig.chat.get()));
        ChatEntry* entry = rig.chat->chatpanel().mychat();
        entry->setFocus();
        entry->setText(typed);
        rig.chat->processsocktimer("CMD_nextplayer+1+1+0+");
        if (escape) QTest::keyClick(entry, Qt::Key_Escape);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_2);
        QCOMPARE(rig.chat->board().selectedtile(), board ? 2 : 0);
        QCOMPARE(entry->text(), board ? typed : typed + "2");
        QVERIFY(rig.chat->board().parts().label_keys->text().contains("Esc"));
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

    void everyControlAPlayerUsesHasAnAccessibleNameAndTheKeys() {
        Rig rig;
        QStringList unnamed, unreachable;
        for (QWidget* w : rig.chat->findChildren<QWidget*>()) {
            if (w->isHidden()) continue;
            const auto* button = qobject_cast<QAbstractButton*>(w);
            const bool control =
                button || qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractScrollArea*>(w) ||
                qobject_cast<QScrollBar*>(w) || w->inherits("tessarin::board::TileCell");
            const bool named =
                !w->accessibleName().isEmpty() || (button && !button->text().isEmpty());
            QWidget* area = w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr;
            const QString what = (area ? area->objectName() + "/" : QString()) + w->objectName() +
                                 "/" + w->metaObject()->className();
            if (control && !named) unnamed << what;
            // Every button, list and the chat can be reached with Tab.
            const bool tabstop = button || qobject_cast<QAbstractItemView*>(w) ||
                                 qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w);
            if (tabstop && !(w->focusPolicy() & Qt::TabFocus)) unreachable << what;
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(", ")));

        // Tab follows the window: the side strip top to bottom, the board, then the chat.
        rig.chat->board().parts().panel_help->hide();
        QStringList order;
        QWidget* const first = rig.chat->board().parts().logo;
        QWidget* w = first;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(rig.chat.get()) &&
                !w->focusProxy())
                order << w->accessibleName();
            w = w->nextInFocusChain();
        } while (w != first);
        QCOMPARE(order.mid(0, 5),
                 QStringList({"Tessarin web page", "Words found", "Start Game",
                              "Board: Welcome to Tessarin", "Phrase button 1: Way To Go!"}));
        QCOMPARE(order.mid(13), QStringList({"Chatter Sounds", "Chat", "Chat entry", "Smilies"}));
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
