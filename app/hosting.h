// How the headless server runs when something other than a person starts and replaces it:
// --agones reports to the Agones SDK sidecar (ready, health, the seated players and the
// spectators in Counters, allocation at the first login), --exit-after-game closes the
// table once a game has had its winner and everyone has left, --idle-exit closes one that
// nobody uses, --drain lets a game under way finish when asked to stop, and --metrics
// serves the table's figures to Prometheus.
#pragma once

#include <QObject>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "agonessdk.h"
#include "hostport.h"
#include "logline.h"

class QCommandLineParser;

namespace tessarin {

class Metrics;
class ServerConnections;

struct HostingOptions {
    std::optional<QUrl> agones;  // the sidecar's REST gateway, when --agones is given
    bool exitAfterGame = false;
    std::chrono::milliseconds idleExit{0};  // 0: never
    std::chrono::milliseconds drain{0};     // 0: a stop signal ends the game at once
    std::optional<proto::HostPort> metrics;
    AgonesSdk::Timing timing;
};

// Adds --agones, --exit-after-game, --idle-exit, --drain and --metrics to the parser.
void addHostingOptions(QCommandLineParser& parser);
// After parser.process(): the options given, or what is wrong with them.
std::variant<HostingOptions, QString> readHostingOptions(const QCommandLineParser& parser);

class Hosting : public QObject {
    Q_OBJECT
  public:
    // `server` must outlive this object; Hosting takes its onStep hook.
    Hosting(ServerConnections& server, HostingOptions options, QObject* parent = nullptr);
    ~Hosting() override;

    // Once the server listens. False when the metrics address cannot be listened on.
    bool start();
    // A stop signal: with --drain, starts draining and returns true (onFinished follows);
    // false when the program is to stop now (no --drain, or a second signal).
    bool drain();

    // The table is to close now, with exit status 0 (after POST /shutdown under Agones).
    std::function<void()> onFinished;
    std::function<void(LogLevel, const std::string&)> onLog;
    // The address and port Agones gives the table, for a lobby's registration.
    std::function<void(const proto::HostPort&)> onPublicAddress;

  private:
    void stepped();
    // Starts or stops the idle clock: it runs while nobody is logged in, once the table is
    // allocated (or, without Agones, from the start).
    void updateIdle(int people);
    // Closes the table once; `askAgones`: POST /shutdown first (not when Agones stops it).
    void finish(const std::string& why, bool askAgones);
    void log(LogLevel level, const std::string& text) const;

    ServerConnections& server_;
    HostingOptions options_;
    std::unique_ptr<AgonesSdk> sdk_;
    std::unique_ptr<Metrics> metrics_;
    QTimer idle_;
    QTimer drainTimer_;
    bool allocated_ = false;
    bool playing_ = false;
    bool hadWinner_ = false;
    bool draining_ = false;
    bool finishing_ = false;
};

}  // namespace tessarin
