#include "hosting.h"

#include <QCommandLineParser>
#include <QHostAddress>

#include "metrics.h"
#include "protocol.h"
#include "serverconnections.h"
#include "tablesummary.h"

namespace tessarin {

namespace {

const QString kAgones = QStringLiteral("agones");
const QString kExitAfterGame = QStringLiteral("exit-after-game");
const QString kIdleExit = QStringLiteral("idle-exit");
const QString kDrain = QStringLiteral("drain");
const QString kMetrics = QStringLiteral("metrics");
constexpr int kMetricsPort = 9100;

std::string seconds(std::chrono::milliseconds time) {
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(time).count()) + " s";
}

// A whole number of seconds from `low` to `high`, or nothing.
std::optional<std::chrono::seconds> secondsOption(const QCommandLineParser& parser,
                                                  const QString& name, int low, int high) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high) return std::nullopt;
    return std::chrono::seconds(value);
}

}  // namespace

void addHostingOptions(QCommandLineParser& parser) {
    const int healthSeconds =
        static_cast<int>(AgonesSdk::Timing{}.health / std::chrono::seconds(1));
    parser.addOption(
        {kAgones, QStringLiteral("Report to the Agones SDK sidecar at "
                                 "localhost:$AGONES_SDK_HTTP_PORT (%1 if unset): ready once "
                                 "listening, health every %2 s, the seated players and the "
                                 "spectators in the Counters \"%3\" and \"%4\", allocation at "
                                 "the first login.")
                      .arg(AgonesSdk::kDefaultPort)
                      .arg(healthSeconds)
                      .arg(AgonesSdk::kPlayersCounter, AgonesSdk::kSpectatorsCounter)});
    parser.addOption({kExitAfterGame,
                      QStringLiteral("Exit with status 0 once a game has had its winner and "
                                     "everyone has left (under Agones, after POST /shutdown).")});
    parser.addOption(
        {kIdleExit,
         QStringLiteral("Exit with status 0 once nobody has been logged in for this long, "
                        "counted from the start (under Agones, from the table's allocation, "
                        "and after POST /shutdown)."),
         QStringLiteral("seconds")});
    parser.addOption(
        {kDrain,
         QStringLiteral("On SIGTERM, refuse new logins and games, tell the players, let the "
                        "game under way finish for up to this long, then exit with status 0. "
                        "0, the default, stops at once."),
         QStringLiteral("seconds"), QStringLiteral("0")});
    parser.addOption(
        {kMetrics,
         QStringLiteral("Serve /metrics in the Prometheus text format on this IP address and "
                        "port (%1 if none is given), as 0.0.0.0:%1.")
             .arg(kMetricsPort),
         QStringLiteral("address:port")});
}

std::variant<HostingOptions, QString> readHostingOptions(const QCommandLineParser& parser) {
    HostingOptions options;
    options.exitAfterGame = parser.isSet(kExitAfterGame);
    if (parser.isSet(kAgones)) {
        options.agones = AgonesSdk::urlFromEnvironment();
        if (!options.agones) return QStringLiteral("AGONES_SDK_HTTP_PORT must be a port number");
    }
    if (parser.isSet(kIdleExit)) {
        const auto idle = secondsOption(parser, kIdleExit, 1, 86400);
        if (!idle) return QStringLiteral("--idle-exit needs a number of seconds from 1 to 86400");
        options.idleExit = *idle;
    }
    const auto drain = secondsOption(parser, kDrain, 0, 3600);
    if (!drain) return QStringLiteral("--drain needs a number of seconds from 0 to 3600");
    options.drain = *drain;
    if (parser.isSet(kMetrics)) {
        options.metrics = proto::parseHostPort(parser.value(kMetrics).toStdString(), kMetricsPort,
                                               proto::PortZero::Allowed);
        if (!options.metrics ||
            (options.metrics->host != "localhost" &&
             QHostAddress(QString::fromStdString(options.metrics->host)).isNull()))
            return QStringLiteral("--metrics needs an IP address and a port, as 0.0.0.0:%1")
                .arg(kMetricsPort);
    }
    return options;
}

Hosting::Hosting(ServerConnections& server, HostingOptions options, QObject* parent)
    : QObject(parent), server_(server), options_(std::move(options)) {
    if (options_.agones) {
        sdk_ = std::make_unique<AgonesSdk>(*options_.agones, options_.timing);
        sdk_->onLog = [this](LogLevel level, const std::string& text) { log(level, text); };
        sdk_->onGameServer = [this](const AgonesSdk::GameServer& gameServer) {
            if (gameServer.address && onPublicAddress) onPublicAddress(*gameServer.address);
            if (gameServer.state != QLatin1String("Allocated") || allocated_) return;
            allocated_ = true;
            const TableSummary table = summarise(server_.server().state());
            updateIdle(table.players + table.spectators);
        };
    }
    if (options_.metrics) metrics_ = std::make_unique<Metrics>(server_);
    idle_.setSingleShot(true);
    idle_.setInterval(options_.idleExit);
    connect(&idle_, &QTimer::timeout, this, [this] {
        finish("nobody has logged in for " + seconds(options_.idleExit) + ": closing the table",
               true);
    });
    drainTimer_.setSingleShot(true);
    connect(&drainTimer_, &QTimer::timeout, this, [this] {
        finish("the drain's " + seconds(options_.drain) + " are over: closing the table", false);
    });
}

Hosting::~Hosting() {
    server_.onStep = nullptr;
}

bool Hosting::start() {
    if (metrics_) {
        const quint16 port = metrics_->listen(*options_.metrics);
        const std::string address =
            proto::formatHostPort({options_.metrics->host, options_.metrics->port});
        if (port == 0) {
            log(LogLevel::Error, "cannot serve metrics on " + address +
                                     ": the address is not this machine's or the port is taken");
            return false;
        }
        log(LogLevel::Info, "metrics at http://" +
                                proto::formatHostPort({options_.metrics->host, port}) + "/metrics");
    }
    server_.onStep = [this] { stepped(); };
    if (sdk_) {
        if (options_.idleExit.count() > 0) sdk_->watchForAllocation();
        sdk_->setCounts(0, 0);
        sdk_->start();
    }
    updateIdle(0);
    return true;
}

bool Hosting::drain() {
    if (options_.drain.count() == 0 || draining_) return false;
    draining_ = true;
    server_.setDraining(true);
    idle_.stop();
    const bool playing = server_.server().state().gamestarted;
    const std::string stays = std::to_string(options_.drain / std::chrono::seconds(1));
    log(LogLevel::Notice, playing ? "draining: no new logins or games; the game under way has " +
                                        stays + " s to finish"
                                  : "draining: no game under way");
    const std::string notice =
        playing ? "This table closes in " + stays +
                      " seconds, or when this game ends: no new game can start here."
                : "This table is closing now.";
    for (int seat = 1; seat <= kMaxSeats; ++seat)
        server_.sendToSeat(seat, proto::msg::notice(notice));
    if (playing)
        drainTimer_.start(options_.drain);
    else
        finish("closing the table", false);
    return true;
}

void Hosting::stepped() {
    const GameState& state = server_.server().state();
    const TableSummary table = summarise(state);
    const int people = table.players + table.spectators;
    if (sdk_) {
        if (people > 0 && !allocated_) {
            allocated_ = true;
            sdk_->allocate();
        }
        sdk_->setCounts(table.players, table.spectators);
    }
    if (metrics_) metrics_->stepped();
    hadWinner_ |= playing_ && !state.gamestarted;  // only a winner ends a game
    playing_ = state.gamestarted;
    updateIdle(people);
    if (draining_ && (!playing_ || people == 0))
        finish("the game under way has ended: closing the table", false);
    else if (options_.exitAfterGame && hadWinner_ && server_.connections() == 0)
        finish("the game is over and everyone has left: closing the table", true);
}

void Hosting::updateIdle(int people) {
    if (options_.idleExit.count() == 0 || draining_ || finishing_) return;
    if (people == 0 && (allocated_ || !sdk_)) {
        if (!idle_.isActive()) idle_.start();
    } else {
        idle_.stop();
    }
}

void Hosting::finish(const std::string& why, bool askAgones) {
    if (finishing_) return;
    finishing_ = true;
    idle_.stop();
    drainTimer_.stop();
    log(LogLevel::Notice, why);
    auto done = [this] {
        if (onFinished) onFinished();
    };
    if (sdk_ && askAgones)
        sdk_->shutdown(done);
    else  // not from inside the server's step
        QMetaObject::invokeMethod(this, done, Qt::QueuedConnection);
}

void Hosting::log(LogLevel level, const std::string& text) const {
    if (onLog) onLog(level, text);
}

}  // namespace tessarin
