// The headless server as a user runs it: options, a client session with the login timeout
// and a host error, and a clean stop on each stop signal.
#include <signal.h>

#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>

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
    ASSERT_TRUE(printed("listening on port "));
    const auto at = out.find("listening on port ") + 18;
    const int port = std::stoi(out.substr(at));
    EXPECT_FALSE(wroteAnything());

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

    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), number), 0);
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

}  // namespace
}  // namespace tessarin::testing
