// The two programs as a player runs them: a game on tessarin-server started and played to
// the end from two windows (each tally on disk as soon as the game ends), and the game's
// program ending on each stop signal, promptly even when its tally cannot be saved.
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <array>
#include <filesystem>
#include <memory>

#include "clientrig.h"
#include "picturebutton.h"
#include "tallyfile.h"
#include "tboard.h"
#include "tgamestart.h"
#include "tilecell.h"
#include "ttallylist.h"

namespace tessarin {

using testing::RecordingChat;
using testing::TempDir;

namespace {

QString inDir(const TempDir& dir, const QString& name) {
    return QString::fromStdString((dir.path() / name.toStdString()).string());
}

// A window that joins a game; its settings and tally live in `dir`.
struct Player {
    Player(const TempDir& dir, const QString& name, int port)
        : chat(inDir(dir, name + ".ini")),
          gamestart(chat, &chat),
          tallyfile(inDir(dir, name + ".tld")),
          tally(&chat, {tallyfile, tallyfile}) {
        chat.attach(&gamestart, &tally);
        Tchat::Hooks hooks;
        hooks.messagebox = [this](const QString& text) { boxes << text; };
        chat.setHooks(std::move(hooks));
        // The table's port comes with the address, as the lobby writes it; an address without
        // one would join port 1, where nothing listens.
        chat.setPorts(1, 1);
        chat.processparams({name, QStringLiteral("127.0.0.1:%1").arg(port), "false"});
    }
    // Places the first rack tile in a free row when it is this window's turn, as a player
    // would with the mouse.
    void playIfMyTurn() {
        auto& board = chat.board();
        const auto& parts = board.parts();
        if (board.whoseturn() != chat.myseat()) return;
        QTest::mouseClick(parts.tile[1], Qt::LeftButton);
        if (board.selectedtile() != 1) return;
        const int column = board.currentcolumn();
        for (int row = 1; row <= 6; ++row) {
            if (parts.word[row][column]->code() == 0) {
                QTest::mouseClick(parts.word[row][column], Qt::LeftButton);
                return;
            }
        }
    }
    bool sawWinner() { return !chat.board().parts().panel_winner->isHidden(); }
    QString chatText() { return chat.chatpanel().mainchat()->toPlainText().simplified(); }

    RecordingChat chat;
    board::Tgamestart gamestart;
    QString tallyfile;
    Ttallylist tally;
    QStringList boxes;
};

}  // namespace

class ProgramsTest : public QObject {
    Q_OBJECT
  private slots:
    void seatOneStartsAGameOnTheHeadlessServer() {
        TempDir dir;
        QProcess server;
        server.setWorkingDirectory(QString::fromStdString(dir.path().string()));
        server.start(TESSARIN_SERVER_PATH,
                     {"--port", "0", "--bot-speed", "10", "--time-speed", "10", "--no-announce"});
        QVERIFY(server.waitForStarted());
        QByteArray out;
        QVERIFY(QTest::qWaitFor(
            [&] {
                out += server.readAllStandardOutput();
                return out.contains("listening on port ") && out.endsWith('\n');
            },
            10000));
        const int port = out.mid(out.indexOf("listening on port ") + 18).trimmed().toInt();

        Player host(dir, QStringLiteral("A+B"), port);
        QTRY_COMPARE(host.chat.myseat(), 1);
        Player bob(dir, QStringLiteral("Bob"), port);
        QTRY_COMPARE(bob.chat.myseat(), 2);
        QTRY_COMPARE(host.chat.board().seatname(2), QStringLiteral("Bob"));

        // The host's controls go with seat 1, though neither window runs the server.
        auto* hostStart = host.chat.board().parts().button_start;
        QVERIFY(hostStart->isVisibleTo(&host.chat.board()));
        QVERIFY(host.chat.startgameaction()->isEnabled());
        QVERIFY(!bob.chat.board().parts().button_start->isVisibleTo(&bob.chat.board()));
        QVERIFY(!bob.chat.startgameaction()->isEnabled());

        QTest::mouseClick(hostStart, Qt::LeftButton);
        QTRY_VERIFY(host.gamestart.isVisible());
        host.gamestart.setrounds(2);
        host.gamestart.button_startClick();
        QTRY_VERIFY(bob.chatText().contains("AB has started a game."));
        QTRY_COMPARE(bob.chat.board().parts().label_roundnum->text(),
                     QStringLiteral("Round: 1 of 2"));

        const bool finished = QTest::qWaitFor(
            [&] {
                host.playIfMyTurn();
                bob.playIfMyTurn();
                return host.sawWinner() && bob.sawWinner();
            },
            90000);
        QVERIFY2(finished, qPrintable(host.chat.board().parts().label_status->text()));
        QCOMPARE(bob.chat.board().parts().label_roundnum->text(), QStringLiteral("Round: 2 of 2"));
        const QString hostSees = host.chat.board().parts().label_winner1->text();
        const QString bobSees = bob.chat.board().parts().label_winner1->text();
        QVERIFY(!hostSees.isEmpty() && !bobSees.isEmpty());
        QVERIFY(hostSees == bobSees || hostSees == "YOU!" || bobSees == "YOU!");
        QVERIFY(host.boxes.isEmpty() && bob.boxes.isEmpty());
        // Both tallies are on disk already, not only once the windows close.
        for (const Player* player : {&host, &bob}) {
            TTally saved;
            QVERIFY2(loadTallyFile(player->tallyfile, saved), qPrintable(player->tallyfile));
            QCOMPARE(saved.cell(1, 0), QStringLiteral("1"));  // games played
        }
        server.terminate();
        QVERIFY(server.waitForFinished());
    }

    void stopSignalsCloseTheWindowAsExitDoes_data() {
        QTest::addColumn<int>("number");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void stopSignalsCloseTheWindowAsExitDoes() {
        QFETCH(int, number);
        // A copy of the program in a folder of its own keeps its settings file there; the
        // one-copy markers go into a private runtime folder beside it (one of them is named
        // "tessarin"). Its tally cannot be saved: a folder stands where the file would be.
        TempDir dir;
        const QString folder = QString::fromStdString(dir.path().string());
        const QString program = folder + "/tessarin";
        const QString markers = folder + "/markers";
        QVERIFY(QFile::copy(TESSARIN_APP_PATH, program));
        QVERIFY(QDir().mkpath(markers));
        QVERIFY(QDir().mkpath(folder + "/Tessarintally.tld"));
        QVERIFY(QFile::setPermissions(
            markers, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QProcess game;
        game.setWorkingDirectory(folder);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", markers);
        environment.insert("HOME", folder);
        game.setProcessEnvironment(environment);
        game.start(program, {"Ann", "10.0.0.5"});  // waits for the lobby without connecting
        QVERIFY(game.waitForStarted());
        // The marker appears once the signals are handled.
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(markers + "/kivroz"); }, 20000));

        QCOMPARE(::kill(static_cast<pid_t>(game.processId()), number), 0);
        // Within 2 s: no box waits for someone to press OK.
        QVERIFY(game.waitForFinished(2000));
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.exitCode(), 0);
        QVERIFY(QFile::exists(folder + "/zorvlobby.ini"));  // bounds saved on the way out
        QVERIFY(!QFile::exists(folder + "/English"));
        const QByteArray errors = game.readAllStandardError();
        QVERIFY2(errors.contains("The tally was not saved"), errors.constData());
    }
};

}  // namespace tessarin

QTEST_MAIN(tessarin::ProgramsTest)
#include "programs_test.moc"
