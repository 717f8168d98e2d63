// The lobby as players use it, with real tables: two tessarin-server processes and one
// hosting game window on this machine, a table in a second network namespace joined by a
// veth pair, a table listed by the lobby service, and hostile datagrams. Runs only inside a private
// network namespace (in-private-network), where UDP 7772 and the lobby link's port are the test's
// own.
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>

#include <memory>
#include <vector>

#include "discovery.h"
#include "inifile.h"
#include "lobbylink.h"
#include "lobbyurl.h"
#include "lobbywindow.h"
#include "protocol.h"
#include "publictables.h"
#include "tablefinder.h"
#include "tablelist.h"
#include "tempdir.h"

namespace tessarin::lobby {

using testing::TempDir;

namespace {

namespace discovery = proto::discovery;

QString folderOf(const TempDir& dir) {
    return QString::fromStdString(dir.path().string());
}

// A tessarin-server; its log is kept as it comes.
struct Server {
    explicit Server(const QStringList& arguments, const QString& folder) {
        process.setWorkingDirectory(folder);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(TESSARIN_SERVER_PATH, QStringList{"--port", "0"} + arguments);
    }
    ~Server() {
        process.kill();
        process.waitForFinished();
    }
    QByteArray log() {
        out += process.readAll();
        return out;
    }
    int port() {
        if (!QTest::qWaitFor([&] { return log().contains("listening on port "); }, 10000)) return 0;
        return log().mid(log().indexOf("listening on port ") + 18).split('\n').front().toInt();
    }
    QProcess process;
    QByteArray out;
};

// A copy of the game in a folder of its own (its settings beside it, its one-copy markers in
// a runtime folder of its own), as a player's machine has it.
QString installGame(const QString& folder) {
    const QString program = folder + "/tessarin";
    QFile::copy(TESSARIN_APP_PATH, program);
    QDir().mkpath(folder + "/run");
    QFile::setPermissions(folder + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return program;
}

QProcessEnvironment gameEnvironment(const QString& folder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", folder + "/run");
    environment.insert("HOME", folder);
    return environment;
}

int rowOf(const TableList& tables, const QString& name) {
    for (int row = 0; row < tables.rowCount(); ++row)
        if (tables.data(tables.index(row, TableList::Name), Qt::DisplayRole).toString() == name)
            return row;
    return -1;
}

QString cell(const TableList& tables, const QString& name, int column) {
    const int row = rowOf(tables, name);
    return row < 0 ? QString() : tables.data(tables.index(row, column), Qt::DisplayRole).toString();
}

// The lobby as tessarin-lobby puts it together, on the offscreen platform.
struct Lobby {
    explicit Lobby(const TempDir& dir)
        : window(tables, folderOf(dir) + "/zorvlobby.ini"), finder(tables), publicTables(tables) {
        window.setteller([this](const QString& text) { told << text; });
        link.onChanged = [this](bool running) { window.gamerunning(running); };
        publicTables.onProblem = [this](const QString& why) { window.setpublicproblem(why); };
        QObject::connect(
            &window, &LobbyWindow::publicLobbyChanged, &publicTables,
            [this](const QString& address) { publicTables.setLobby(lobbyUrl(address)); });
        window.show();
    }
    bool start() { return link.listen().isEmpty() && finder.start(discovery::kPort).isEmpty(); }
    QString status() const { return window.label_status->text(); }

    TableList tables;
    LobbyWindow window;
    LobbyLink link;
    TableFinder finder;
    PublicTables publicTables;
    QStringList told;
};

}  // namespace

class LobbyNetworkTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsSet("TESSARIN_NO_NETNS"))
            QSKIP(qgetenv("TESSARIN_NO_NETNS").constData());
        if (!qEnvironmentVariableIsSet("TESSARIN_PRIVATE_NETNS"))
            QSKIP("run through in-private-network: the test binds UDP 7772 and TCP 9001");
    }

    // Two servers and a hosting window on this machine; the lobby lists them, joins one,
    // and forgets one that stops.
    void listsJoinsAndForgetsTablesOnThisMachine() {
        TempDir dir;
        const QString folder = folderOf(dir);
        Server one({"--name", "First+Table", "--bot-strength", "expert"}, folder);
        Server two({}, folder);
        const int portOne = one.port();
        const int portTwo = two.port();
        QVERIFY(portOne > 0 && portTwo > 0);

        QDir().mkpath(folder + "/ann");
        QProcess ann;
        ann.setProcessEnvironment(gameEnvironment(folder + "/ann"));
        ann.start(installGame(folder + "/ann"), {"Ann", "127.0.0.1", "true"});
        QVERIFY(ann.waitForStarted());

        Lobby lobby(dir);
        QVERIFY(lobby.start());
        // All three within 5 s: the named server, the unnamed one, the hosting window.
        const QString first = "FirstTable";
        const QString second = QStringLiteral("Table at 127.0.0.1:%1").arg(portTwo);
        QTRY_VERIFY_WITH_TIMEOUT(rowOf(lobby.tables, first) >= 0 &&
                                     rowOf(lobby.tables, second) >= 0 &&
                                     rowOf(lobby.tables, "Ann") >= 0,
                                 5000);
        QCOMPARE(lobby.tables.rowCount(), 3);
        QCOMPARE(cell(lobby.tables, first, TableList::Address),
                 QStringLiteral("127.0.0.1:%1").arg(portOne));
        QCOMPARE(cell(lobby.tables, first, TableList::Players), QStringLiteral("Klot (computer)"));
        QCOMPARE(cell(lobby.tables, first, TableList::State), QStringLiteral("Waiting to start"));
        QCOMPARE(cell(lobby.tables, first, TableList::Strength), QStringLiteral("Expert"));
        QCOMPARE(cell(lobby.tables, "Ann", TableList::Address), QStringLiteral("127.0.0.1:7772"));
        QCOMPARE(cell(lobby.tables, "Ann", TableList::Players),
                 QStringLiteral("Ann, Klot (computer)"));
        // The hosting window, started from the command line, holds the lobby link.
        QTRY_VERIFY(lobby.link.gameRunning());
        QVERIFY(lobby.status().contains("A game is running"));

        // Bob chooses the first table with the arrows and Enter; the game the lobby starts
        // logs in there.
        lobby.window.edit_name->setText("Bob");
        qint64 bobPid = 0;
        QStringList started;
        const QString bobFolder = folder + "/bob";
        QDir().mkpath(bobFolder);
        lobby.window.setgamepath(installGame(bobFolder));
        lobby.window.setlauncher([&](const QString& program, const QStringList& arguments) {
            started = arguments;
            QProcess game;
            game.setProcessEnvironment(gameEnvironment(bobFolder));
            game.setProgram(program);
            game.setArguments(arguments);
            return game.startDetached(&bobPid);
        });
        lobby.window.view_tables->setFocus();
        lobby.window.view_tables->setCurrentIndex(
            lobby.tables.index(rowOf(lobby.tables, first), 0));
        QTest::keyClick(lobby.window.view_tables, Qt::Key_Return);
        QCOMPARE(started,
                 (QStringList{"Bob", QStringLiteral("127.0.0.1:%1").arg(portOne), "false"}));
        QTRY_VERIFY_WITH_TIMEOUT(one.log().contains("Bob logged in"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(cell(lobby.tables, first, TableList::Players),
                                  QStringLiteral("Bob, Klot (computer)"), 5000);
        QVERIFY(lobby.told.isEmpty());

        // A table that stops leaves the list within 10 s.
        two.process.kill();
        QTRY_COMPARE_WITH_TIMEOUT(rowOf(lobby.tables, second), -1, 10000);
        QCOMPARE(lobby.tables.rowCount(), 2);

        // Once both games have ended the lobby says so no more.
        ::kill(static_cast<pid_t>(bobPid), SIGTERM);
        ann.terminate();
        QVERIFY(ann.waitForFinished(20000));
        QTRY_VERIFY_WITH_TIMEOUT(!lobby.link.gameRunning(), 20000);
        QVERIFY(!lobby.status().contains("A game is running"));
    }

    // A table registered with the lobby service: the window set to that lobby lists it as
    // public and joins it; a lobby that cannot be reached is said in the status line.
    void listsAndJoinsAPublicTable() {
        TempDir dir;
        const QString folder = folderOf(dir);
        QProcess service;
        service.setProcessChannelMode(QProcess::MergedChannels);
        service.start(TESSARIN_LOBBY_SERVER_PATH, {"--listen", "127.0.0.1:0"});
        QByteArray serviceLog;
        QVERIFY(QTest::qWaitFor(
            [&] { return (serviceLog += service.readAll()).contains("listening on 127.0.0.1:"); },
            10000));
        const QString lobbyAddress =
            "http://127.0.0.1:" +
            serviceLog.mid(serviceLog.indexOf("listening on 127.0.0.1:") + 23).split('\n').front();
        Server table({"--name", "Faraway", "--lobby", lobbyAddress}, folder);
        const int port = table.port();
        QVERIFY(port > 0);

        Lobby lobby(dir);  // the local network not searched: only the lobby lists it
        QVERIFY(lobby.window.setpubliclobby("http://127.0.0.1:1"));
        QTRY_VERIFY_WITH_TIMEOUT(lobby.status().contains("The public lobby at"), 5000);
        QVERIFY(lobby.told.isEmpty());
        QVERIFY(lobby.window.setpubliclobby(lobbyAddress));
        QCOMPARE(IniFile(folder + "/zorvlobby.ini")
                     .readSection(LobbyWindow::kSection)
                     .value(LobbyWindow::kPublicLobbyKey),
                 lobbyAddress);
        QTRY_COMPARE_WITH_TIMEOUT(cell(lobby.tables, "Faraway", TableList::Address),
                                  QStringLiteral("127.0.0.1:%1").arg(port), 15000);
        QCOMPARE(cell(lobby.tables, "Faraway", TableList::Source), kPublic);
        QCOMPARE(cell(lobby.tables, "Faraway", TableList::Players),
                 QStringLiteral("Klot (computer)"));
        QVERIFY(!lobby.status().contains("The public lobby at"));

        lobby.window.edit_name->setText("Cy");
        const QString cyFolder = folder + "/cy";
        QDir().mkpath(cyFolder);
        lobby.window.setgamepath(installGame(cyFolder));
        qint64 cyPid = 0;
        lobby.window.setlauncher([&](const QString& program, const QStringList& arguments) {
            QProcess game;
            game.setProcessEnvironment(gameEnvironment(cyFolder));
            game.setProgram(program);
            game.setArguments(arguments);
            return game.startDetached(&cyPid);
        });
        lobby.window.view_tables->setCurrentIndex(
            lobby.tables.index(rowOf(lobby.tables, "Faraway"), 0));
        lobby.window.button_join->click();
        QTRY_VERIFY_WITH_TIMEOUT(table.log().contains("Cy logged in"), 10000);
        ::kill(static_cast<pid_t>(cyPid), SIGTERM);
        service.kill();
        service.waitForFinished();
    }

    // A table in another network namespace, reached over a veth pair as over a real network.
    void findsATableOnAnotherMachine() {
        TempDir dir;
        const QString folder = folderOf(dir);
        // The far side waits for its end of the pair, sets it up, then runs the table.
        QProcess far;
        far.setWorkingDirectory(folder);
        far.setProcessChannelMode(QProcess::MergedChannels);
        far.start(
            "unshare",
            {"-n", "sh", "-c",
             "while ! ip link show far0 >/dev/null 2>&1; do sleep 0.05; done; "
             "ip addr add 10.77.0.2/24 broadcast 10.77.0.255 dev far0 && ip link set far0 up && "
             "ip link set lo up && exec \"$0\" --port 7790 --name Far",
             TESSARIN_SERVER_PATH});
        QVERIFY(far.waitForStarted());
        const QString pid = QString::number(far.processId());
        QCOMPARE(QProcess::execute("ip", {"link", "add", "near0", "type", "veth", "peer", "name",
                                          "far0", "netns", pid}),
                 0);
        QCOMPARE(QProcess::execute("ip", {"addr", "add", "10.77.0.1/24", "broadcast", "10.77.0.255",
                                          "dev", "near0"}),
                 0);
        QCOMPARE(QProcess::execute("ip", {"link", "set", "near0", "up"}), 0);
        // Kept whole: the line may arrive in pieces.
        QByteArray farLog;
        QVERIFY(QTest::qWaitFor(
            [&] { return (farLog += far.readAll()).contains("answering lobbies"); }, 30000));

        Lobby lobby(dir);
        QVERIFY(lobby.start());
        QTRY_COMPARE_WITH_TIMEOUT(cell(lobby.tables, "Far", TableList::Address),
                                  QStringLiteral("10.77.0.2:7790"), 5000);
        far.kill();
        far.waitForFinished();
        QProcess::execute("ip", {"link", "del", "near0"});
    }

    // The program as a player starts it: it serves the lobby link, and a second start only
    // brings the first forward.
    void theProgramRunsOncePerUser() {
        TempDir dir;
        const QString folder = folderOf(dir);
        QVERIFY(QFile::copy(TESSARIN_LOBBY_PATH, folder + "/tessarin-lobby"));
        QDir().mkpath(folder + "/run");
        QFile::setPermissions(folder + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
        QProcess first;
        first.setProcessEnvironment(gameEnvironment(folder));
        first.start(folder + "/tessarin-lobby");
        QVERIFY(first.waitForStarted());
        // Its link takes the game's connection once it runs.
        QTcpSocket game;
        QVERIFY(QTest::qWaitFor(
            [&] {
                game.abort();
                game.connectToHost(QHostAddress::LocalHost, LobbyLink::kPort);
                return game.waitForConnected(200);
            },
            10000));
        QProcess second;
        second.setProcessEnvironment(gameEnvironment(folder));
        second.start(folder + "/tessarin-lobby");
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardOutput().contains("already running"));
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
    }

    // Forged and oversized answers and a flood of queries: the lobby lists at most its
    // limit and keeps the honest table it had; the table answers a flooding address rarely.
    void holdsAgainstHostileDatagrams() {
        TempDir dir;
        Server table({"--name", "Steady"}, folderOf(dir));
        QVERIFY(QTest::qWaitFor([&] { return table.log().contains("answering lobbies"); }, 10000));

        // A flood from 127.0.0.2: one answer, or two if the flood outlasts the interval.
        QUdpSocket flooder;
        QVERIFY(flooder.bind(QHostAddress("127.0.0.2"), 0));
        const std::string query = discovery::query({"1.0.1", 1});
        for (int i = 0; i < 2000; ++i)
            flooder.writeDatagram(query.data(), qint64(query.size()), QHostAddress::LocalHost,
                                  discovery::kPort);
        QTest::qWait(300);
        int answers = 0;
        while (flooder.hasPendingDatagrams())
            answers += flooder.receiveDatagram().isValid() ? 1 : 0;
        QVERIFY2(answers >= 1 && answers <= 2, qPrintable(QString::number(answers)));

        // A forger hears the lobby's query on the shared port and answers it with 700 tables
        // of its own, and as often with datagrams beyond the size limit.
        Lobby lobby(dir);
        QUdpSocket forger;
        QVERIFY(forger.bind(QHostAddress::AnyIPv4, discovery::kPort,
                            QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
        QVERIFY(lobby.start());
        QTRY_VERIFY_WITH_TIMEOUT(rowOf(lobby.tables, "Steady") >= 0, 5000);
        QVERIFY(forger.hasPendingDatagrams());
        const QNetworkDatagram heard = forger.receiveDatagram();
        const auto asked = discovery::readQuery(heard.data().toStdString());
        QVERIFY(asked);
        discovery::Answer forged{"1.0.1", asked->token, 0, "Forged", {}, "2", 0, 0, 0, "normal"};
        constexpr int kForged = 700;
        for (int port = 1; port <= kForged; ++port) {
            forged.port = port;
            const std::string answer = discovery::answer(forged);
            forger.writeDatagram(answer.data(), qint64(answer.size()), heard.senderAddress(),
                                 heard.senderPort());
            QByteArray huge = QByteArray::fromStdString(answer);
            huge.insert(20, QByteArray(600, 'x'));
            forger.writeDatagram(huge, heard.senderAddress(), heard.senderPort());
            if (port % 50 == 0) QTest::qWait(10);  // the lobby reads between bursts
        }
        QTRY_COMPARE(lobby.finder.dropped(), 2 * kForged - (TableList::kMaxTables - 1));
        QCOMPARE(lobby.tables.rowCount(), TableList::kMaxTables);
        QVERIFY(rowOf(lobby.tables, "Steady") >= 0);
    }
};

}  // namespace tessarin::lobby

QTEST_MAIN(tessarin::lobby::LobbyNetworkTest)
#include "lobby_network_test.moc"
