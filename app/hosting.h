// How the headless server runs when something other than a person starts and replaces it:
// --agones reports to the Agones SDK sidecar (ready, health, the number of connections),
// --exit-after-game closes the table once a game has had its winner and everyone has left,
// so that the fleet or the service manager starts a fresh one.
#pragma once

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "agonessdk.h"

class QCommandLineParser;

namespace tessarin {

class ServerConnections;

struct HostingOptions {
    std::optional<QUrl> agones;  // the sidecar's REST gateway, when --agones is given
    bool exitAfterGame = false;
    AgonesSdk::Timing timing;
};

// Adds --agones and --exit-after-game to the parser.
void addHostingOptions(QCommandLineParser& parser);
// After parser.process(): the options given, or what is wrong with them.
std::variant<HostingOptions, QString> readHostingOptions(const QCommandLineParser& parser);

class Hosting : public QObject {
    Q_OBJECT
  public:
    // `server` must outlive this object; Hosting takes its onStep hook.
    Hosting(ServerConnections& server, HostingOptions options, QObject* parent = nullptr);
    ~Hosting() override;

    // Once the server listens.
    void start();

    // The table is to close now, with exit status 0 (after POST /shutdown under Agones).
    std::function<void()> onFinished;
    std::function<void(const std::string&)> onLog;

  private:
    void stepped();
    void finish();

    ServerConnections& server_;
    bool exitAfterGame_;
    std::unique_ptr<AgonesSdk> sdk_;
    bool playing_ = false;
    bool hadWinner_ = false;
    bool finishing_ = false;
};

}  // namespace tessarin
