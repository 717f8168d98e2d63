// The headless server as an operator runs it: options, a client session with the login
// timeout and a host error, a clean stop on each stop signal, log lines for a terminal and
// for the journal, the idle exit under Agones, the drain and the metrics page.
#include <signal.h>
#include <sys/stat.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <filesystem>

#include "httpstub.h"
#include "netclient.h"
#include "protocol.h"
#include "tempdir.h"

namespace tessarin::testing {
namespace {

class HeadlessServer : public ::testing::Test {
  protected:
    HeadlessServer() { ensureQtApp(); }
    ~HeadlessServer() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    void start(const QStringList& arguments) {
        process.setWorkingDirectory(QString::fromStdString(dir.path().string()));
        // Not answering lobbies: UDP 7772 is no test's to bind outside a network namespace.
        process.start(TESSARIN_SERVER_PATH, QStringList{"--no-announce"} + arguments);
        ASSERT_TRUE(process.waitForStarted());
    }
    bool finished() {
        return waitFor([&] { return process.state() == QProcess::NotRunning; });
    }
    // Waits for a line of standard output containing `text`.
    bool printed(const std::string& text) {
        return waitFor([&] {
            out += process.readAllStandardOutput().toStdString();
            return out.find(text) != std::string::npos;
        });
    }
    // The word list is searched inside the program: its working folder stays empty.
    bool wroteAnything() const { return !std::filesystem::is_empty(dir.path()); }
    // The number printed after `text` once it is printed, 0 if never.
    int printedNumber(const std::string& text) {
        if (!printed(text)) return 0;
        return std::stoi(out.substr(out.find(text) + text.size()));
    }
    void stop(int number = SIGTERM) {
        ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), number), 0);
    }

    TempDir dir;
    QProcess process;
    std::string out;
};

TEST_F(HeadlessServer, ReportsItsVersion) {
    start({"--version"});
    ASSERT_TRUE(finished());
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput().trimmed().toStdString(), "tessarin-server 1.0.1");
}

TEST_F(HeadlessServer, RefusesBadOptionsWithoutLeavingFilesBehind) {
    const std::pair<QStringList, std::string> table[] = {
        {{"--bot-speed", "warp"}, "--bot-speed must be slow, normal, fast or 10 to 10000 (ms)"},
        {{"--bot-speed", "5"}, "--bot-speed must be slow, normal, fast or 10 to 10000 (ms)"},
        {{"--time-speed", "forever"},
         "--time-speed must be short, normal, long or 10 to 10000 (ms)"},
        {{"--login-timeout", "0"}, "--login-timeout needs a number of seconds from 1 to 3600"},
        {{"--login-timeout", "soon"}, "--login-timeout needs a number of seconds from 1 to 3600"},
        {{"--bot-strength", "godlike"}, "--bot-strength must be normal, strong or expert"},
        {{"--port", "70000"}, "--port needs a number from 0 to 65535"},
        {{"--port", "-1"}, "--port needs a number from 0 to 65535"},
        {{"stray"}, "unexpected argument \"stray\""},
        {{"--idle-exit", "0"}, "--idle-exit needs a number of seconds from 1 to 86400"},
        {{"--drain", "later"}, "--drain needs a number of seconds from 0 to 3600"},
        {{"--metrics", "metrics.example:9100"},
         "--metrics needs an IP address and a port, as 0.0.0.0:9100"},
    };
    for (const auto& [arguments, complaint] : table) {
        start(arguments);
        ASSERT_TRUE(finished());
        EXPECT_EQ(process.exitCode(), 2) << complaint;
        EXPECT_NE(process.readAllStandardError().toStdString().find(complaint), std::string::npos)
            << complaint;
        EXPECT_FALSE(wroteAnything());
    }
}

TEST_F(HeadlessServer, RefusesASidecarPortThatIsNoNumber) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("AGONES_SDK_HTTP_PORT", "sidecar");
    process.setProcessEnvironment(environment);
    start({"--agones"});
    ASSERT_TRUE(finished());
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_NE(process.readAllStandardError().toStdString().find(
                  "AGONES_SDK_HTTP_PORT must be a port number"),
              std::string::npos);
    EXPECT_FALSE(wroteAnything());
}

class StopSignal : public HeadlessServer,
                   public ::testing::WithParamInterface<std::pair<int, std::string>> {};

TEST_P(StopSignal, ServesClientsAndStopsCleanly) {
    const auto& [number, name] = GetParam();
    start({"--port", "0", "--bot-speed", "fast", "--time-speed", "short", "--login-timeout", "1",
           "--bot-strength", "strong"});
    const int port = printedNumber("listening on port ");
    ASSERT_GT(port, 0);
    EXPECT_FALSE(wroteAnything());
    // For a terminal: the date, the time to the millisecond and the level.
    EXPECT_TRUE(
        QRegularExpression(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} info: listening on port)")
            .match(QString::fromStdString(out))
            .hasMatch())
        << out;

    TestClient ann(port);
    ASSERT_EQ(ann.awaitSeat(), 1);
    ann.login("Ann");
    ASSERT_GE(ann.awaitMessage("CMD_newplayerinfo+1+Ann+0"), 0);
    ann.sock.Send(proto::request::startgame("Ann", "1"));
    ASSERT_GE(ann.awaitMessage("CMD_action+0+Klot plays Strong.|clBlue"), 0);
    ASSERT_GE(ann.awaitMessage("CMD_nextplayer+1+"), 0);
    EXPECT_TRUE(printed("seat 1: connection from 127.0.0.1"));
    EXPECT_TRUE(printed("seat 1: Ann logged in"));
    EXPECT_TRUE(printed("game started by Ann: 1 round(s)"));
    // A host error names the seat, after the time.
    ann.sock.Send(proto::request::placeit(1, 9, "11"));
    EXPECT_TRUE(printed(" seat 1: Error CPerror10104 - Contact "));

    // A connection that never logs in loses its seat; Ann, logged in, keeps hers.
    TestClient silent(port);
    ASSERT_EQ(silent.awaitSeat(), 2);
    EXPECT_TRUE(waitFor([&] { return silent.closed(); }, 5000));
    EXPECT_TRUE(printed("seat 2: closing the connection: no login within 1 s"));
    EXPECT_FALSE(ann.closed());

    stop(number);
    ASSERT_TRUE(finished());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(printed("stopping on " + name));
    EXPECT_FALSE(wroteAnything());
    EXPECT_TRUE(printed("longest dispatch: "));
    EXPECT_TRUE(waitFor([&] { return ann.closed(); }));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal,
                         ::testing::Values(std::pair<int, std::string>{SIGTERM, "SIGTERM"},
                                           std::pair<int, std::string>{SIGINT, "SIGINT"},
                                           std::pair<int, std::string>{SIGHUP, "SIGHUP"}),
                         [](const auto& info) { return info.param.second; });

TEST_F(HeadlessServer, SaysWhenThePortIsTaken) {
    TSock holder;
    holder.setPortName("0");
    holder.setListen(true);
    start({"--port", QString::number(holder.localPort())});
    ASSERT_TRUE(finished());
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_NE(process.readAllStandardError().toStdString().find("Listen - Error Binding Socket"),
              std::string::npos);
    EXPECT_FALSE(wroteAnything());
}

// Standard output as the journal's stream: the level goes as its priority prefix.
TEST_F(HeadlessServer, GivesTheJournalPriorities) {
    const QString file = QString::fromStdString((dir.path() / "journal").string());
    QFile(file).open(QIODevice::WriteOnly);
    struct stat status {};
    ASSERT_EQ(::stat(file.toLocal8Bit().constData(), &status), 0);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("JOURNAL_STREAM",
                       QStringLiteral("%1:%2").arg(status.st_dev).arg(status.st_ino));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(file, QIODevice::Append);
    start({"--port", "0"});
    QByteArray journal;
    ASSERT_TRUE(waitFor([&] {
        QFile read(file);
        read.open(QIODevice::ReadOnly);
        journal = read.readAll();
        return journal.contains("listening");
    }));
    stop();
    ASSERT_TRUE(finished());
    QFile read(file);
    read.open(QIODevice::ReadOnly);
    const QString lines = QString::fromUtf8(read.readAll());
    const QString stamp = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )";
    EXPECT_TRUE(
        QRegularExpression("(?m)^<6>" + stamp + "listening on port ").match(lines).hasMatch())
        << lines.toStdString();
    EXPECT_TRUE(
        QRegularExpression("(?m)^<5>" + stamp + "stopping on SIGTERM$").match(lines).hasMatch())
        << lines.toStdString();
}

// Under Agones, the idle clock starts with the allocation: a table nobody joins then asks
// for shutdown and exits 0; it also reads its address from GET /gameserver.
TEST_F(HeadlessServer, ClosesAnAllocatedTableNobodyJoins) {
    HttpStub sidecar;
    const auto gameServer = [](const QByteArray& state) {
        const QByteArray body = R"({"status":{"state":")" + state +
                                R"(","address":"203.0.113.5","ports":[{"port":7012}]}})";
        return HttpStub::head("200 OK", body.size()) + body;
    };
    sidecar.setanswer(HttpStub::head("200 OK", 2) + "{}");
    sidecar.setanswer("/gameserver", gameServer("Ready"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("AGONES_SDK_HTTP_PORT", QString::number(sidecar.url("").port()));
    process.setProcessEnvironment(environment);
    start({"--agones", "--idle-exit", "1", "--port", "0"});
    EXPECT_TRUE(printed("Agones gives the table the address 203.0.113.5:7012"));
    // Ready, not yet allocated: the table waits for a game however long it takes.
    ASSERT_TRUE(waitFor([&] { return sidecar.calls().count("GET /gameserver") >= 3; }));
    EXPECT_EQ(process.state(), QProcess::Running);
    EXPECT_FALSE(sidecar.calls().contains("POST /shutdown {}"));

    sidecar.setanswer("/gameserver", gameServer("Allocated"));
    ASSERT_TRUE(finished());
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(printed("nobody has logged in for 1 s: closing the table"));
    EXPECT_TRUE(sidecar.calls().contains("POST /shutdown {}"));
}

// SIGTERM during a game with --drain: the players are told, newcomers and new games are
// refused, the game plays to its winner, then every connection closes and the exit is 0.
TEST_F(HeadlessServer, DrainsAGameUnderWayOnSigterm) {
    start({"--port", "0", "--drain", "30", "--bot-speed", "20", "--time-speed", "20"});
    const int port = printedNumber("listening on port ");
    ASSERT_GT(port, 0);
    TestClient ann(port);
    ASSERT_EQ(ann.awaitSeat(), 1);
    ann.login("Ann");
    ann.sock.Send(proto::request::startgame("Ann", "1") + proto::request::justwatch(1, true));
    ASSERT_GE(ann.awaitMessage("CMD_startgame+"), 0);

    stop();
    const int told =
        ann.awaitMessage("CMD_chat+0+This table closes in 30 seconds, or when this game ends");
    ASSERT_GE(told, 0);
    EXPECT_TRUE(printed("draining: no new logins or games"));
    TestClient late(port);
    EXPECT_EQ(late.awaitSeat(), 0);
    ann.sock.Send(proto::request::startgame("Ann", "1"));  // ignored: the game goes on
    EXPECT_GT(ann.awaitMessage("CMD_winner+", told), told);
    ASSERT_TRUE(finished());
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(printed("the game under way has ended: closing the table"));
    EXPECT_EQ(ann.messages(std::string(proto::kStartGame)).size(), 1u);
    EXPECT_TRUE(waitFor([&] { return ann.closed(); }));
}

// /metrics parses with Prometheus' own parser, and its figures follow a game.
class MetricsPage : public HeadlessServer {
  protected:
    // The page's samples by name, {} when it could not be read or parsed.
    QJsonObject scrape(int port) {
        QNetworkAccessManager manager;
        QNetworkReply* reply = manager.get(
            QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/metrics").arg(port))));
        waitFor([&] { return reply->isFinished(); });
        const QByteArray page = reply->readAll();
        contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString().toStdString();
        reply->deleteLater();
        QProcess parser;
        parser.start(TESSARIN_PYTHON3, {TESSARIN_METRICS_PARSER});
        parser.write(page);
        parser.closeWriteChannel();
        parser.waitForFinished();
        parserStatus = parser.exitCode();
        const QByteArray parsed = parser.readAllStandardOutput();
        EXPECT_EQ(parserStatus == 77 ? 0 : parserStatus, 0)
            << parsed.toStdString() << page.toStdString();
        return QJsonDocument::fromJson(parsed).object();
    }
    int parserStatus = 0;
    std::string contentType;
};

TEST_F(MetricsPage, ParsesAndFollowsAGame) {
    start({"--port", "0", "--metrics", "127.0.0.1:0", "--login-timeout", "1", "--bot-speed", "10",
           "--time-speed", "10"});
    const int port = printedNumber("listening on port ");
    const int metricsPort = printedNumber("metrics at http://127.0.0.1:");
    ASSERT_GT(metricsPort, 0);
    const QJsonObject before = scrape(metricsPort);
    if (parserStatus == 77) GTEST_SKIP() << "python3-prometheus-client is not installed";
    EXPECT_EQ(contentType.rfind("text/plain; version=0.0.4", 0), 0u) << contentType;
    const std::pair<const char*, const char*> families[] = {
        {"tessarin_connections", "gauge"},
        {"tessarin_seated_players", "gauge"},
        {"tessarin_spectators", "gauge"},
        {"tessarin_games_started", "counter"},
        {"tessarin_games_finished", "counter"},
        {"tessarin_placements", "counter"},
        {"tessarin_dispatch_seconds", "histogram"},
        {"tessarin_queued_bytes", "gauge"},
        {"tessarin_unsent_bytes", "gauge"},
        {"tessarin_chat_lines_dropped", "counter"},
        {"tessarin_connections_refused", "counter"},
        {"tessarin_connections_closed_no_login", "counter"},
    };
    for (const auto& [name, type] : families)
        EXPECT_EQ(before.value(QStringLiteral("TYPE ") + name).toString().toStdString(), type)
            << name;
    EXPECT_EQ(before.value("tessarin_games_started_total").toDouble(-1), 0);

    TestClient silent(port);
    ASSERT_GT(silent.awaitSeat(), 0);
    EXPECT_TRUE(waitFor([&] { return silent.closed(); }, 5000));
    TestClient ann(port);
    ASSERT_GT(ann.awaitSeat(), 0);
    ann.login("Ann");
    ann.sock.Send(proto::request::startgame("Ann", "1") +
                  proto::request::justwatch(ann.seat, true));
    ASSERT_GE(ann.awaitMessage("CMD_winner+"), 0);

    // A request that never ends is not read into memory, and the page is served on.
    QTcpSocket flood;
    flood.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(metricsPort));
    ASSERT_TRUE(flood.waitForConnected(5000));
    flood.write("POST /metrics HTTP/1.1\r\nHost: x\r\nContent-Length: 1073741824\r\n\r\n");
    const QByteArray piece(64 * 1024, 'x');
    qint64 sent = 0;
    waitFor(
        [&] {
            while (flood.state() == QAbstractSocket::ConnectedState &&
                   flood.bytesToWrite() < 1 << 20 && sent < 64 << 20) {
                flood.write(piece);
                sent += piece.size();
            }
            return sent >= 64 << 20;
        },
        3000);
    EXPECT_LT(sent - flood.bytesToWrite(), 16 << 20) << "the metrics server took it all";
    flood.abort();

    const QJsonObject after = scrape(metricsPort);
    EXPECT_EQ(after.value("tessarin_connections").toDouble(), 1);
    EXPECT_EQ(after.value("tessarin_seated_players").toDouble(), 1);
    EXPECT_EQ(after.value("tessarin_games_started_total").toDouble(), 1);
    EXPECT_EQ(after.value("tessarin_games_finished_total").toDouble(), 1);
    EXPECT_GE(after.value("tessarin_placements_total").toDouble(), 12);
    EXPECT_EQ(after.value("tessarin_connections_closed_no_login_total").toDouble(), 1);
    const double calls = after.value("tessarin_dispatch_seconds_count").toDouble();
    EXPECT_GT(calls, before.value("tessarin_dispatch_seconds_count").toDouble());
    EXPECT_EQ(after.value("tessarin_dispatch_seconds_bucket{le=+Inf}").toDouble(), calls);
    EXPECT_GT(after.value("tessarin_dispatch_seconds_sum").toDouble(), 0);
    stop();
    EXPECT_TRUE(finished());
}

}  // namespace
}  // namespace tessarin::testing
