// The headless server as a user runs it: options, a client session, and a clean stop.
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
        process.start(TESSARIN_SERVER_PATH, arguments);
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
    bool wordListPresent() const { return std::filesystem::exists(dir.path() / "English"); }

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
        {{"--bot-speed", "warp"}, "--bot-speed must be slow, normal or fast"},
        {{"--time-speed", "forever"}, "--time-speed must be short, normal or long"},
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
        EXPECT_FALSE(wordListPresent());
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
    EXPECT_FALSE(wordListPresent());
}

TEST_F(HeadlessServer, ServesAClientAndStopsCleanlyOnSigterm) {
    start({"--port", "0", "--bot-speed", "fast", "--time-speed", "short"});
    ASSERT_TRUE(printed("listening on port "));
    const auto at = out.find("listening on port ") + 18;
    const int port = std::stoi(out.substr(at));
    EXPECT_TRUE(wordListPresent());

    TestClient ann(port);
    ASSERT_EQ(ann.awaitSeat(), 1);
    ann.login("Ann");
    ASSERT_GE(ann.awaitMessage("CMD_newplayerinfo+1+Ann+0"), 0);
    ann.sock.Send(proto::request::startgame("Ann", "1"));
    ASSERT_GE(ann.awaitMessage("CMD_roundstart+1+"), 0);
    EXPECT_TRUE(printed("seat 1: connection from 127.0.0.1"));
    EXPECT_TRUE(printed("seat 1: Ann logged in"));
    EXPECT_TRUE(printed("game started by Ann: 1 round(s)"));

    process.terminate();
    ASSERT_TRUE(finished());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(printed("stopping on SIGTERM"));
    EXPECT_TRUE(printed("longest dispatch: "));
    EXPECT_FALSE(wordListPresent());
    EXPECT_TRUE(waitFor([&] { return ann.closed(); }));
}

TEST_F(HeadlessServer, SaysWhenThePortIsTaken) {
    TSock holder;
    holder.setPortName("0");
    holder.setListen(true);
    start({"--port", QString::number(holder.localPort())});
    ASSERT_TRUE(finished());
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_NE(process.readAllStandardError().toStdString().find("Listen - Error Binding Socket"),
              std::string::npos);
    EXPECT_FALSE(wordListPresent());
}

}  // namespace
}  // namespace tessarin::testing
