#include "hosting.h"

#include <QCommandLineParser>

#include "serverconnections.h"

namespace tessarin {

namespace {

const QString kAgones = QStringLiteral("agones");
const QString kExitAfterGame = QStringLiteral("exit-after-game");

}  // namespace

void addHostingOptions(QCommandLineParser& parser) {
    const int healthSeconds =
        static_cast<int>(AgonesSdk::Timing{}.health / std::chrono::seconds(1));
    parser.addOption({kAgones, QStringLiteral("Report to the Agones SDK sidecar at "
                                              "localhost:$AGONES_SDK_HTTP_PORT (%1 if unset): "
                                              "ready once listening, health every %2 s, the "
                                              "number of connections in the label \"%3\".")
                                   .arg(AgonesSdk::kDefaultPort)
                                   .arg(healthSeconds)
                                   .arg(AgonesSdk::kPlayersLabel)});
    parser.addOption({kExitAfterGame,
                      QStringLiteral("Exit with status 0 once a game has had its winner and "
                                     "everyone has left (under Agones, after POST /shutdown).")});
}

std::variant<HostingOptions, QString> readHostingOptions(const QCommandLineParser& parser) {
    HostingOptions options;
    options.exitAfterGame = parser.isSet(kExitAfterGame);
    if (parser.isSet(kAgones)) {
        options.agones = AgonesSdk::urlFromEnvironment();
        if (!options.agones) return QStringLiteral("AGONES_SDK_HTTP_PORT must be a port number");
    }
    return options;
}

Hosting::Hosting(ServerConnections& server, HostingOptions options, QObject* parent)
    : QObject(parent), server_(server), exitAfterGame_(options.exitAfterGame) {
    if (options.agones) {
        sdk_ = std::make_unique<AgonesSdk>(*options.agones, options.timing);
        sdk_->onLog = [this](const std::string& text) {
            if (onLog) onLog(text);
        };
    }
}

Hosting::~Hosting() {
    server_.onStep = nullptr;
}

void Hosting::start() {
    server_.onStep = [this] { stepped(); };
    if (!sdk_) return;
    sdk_->setPlayers(server_.connections());
    sdk_->start();
}

void Hosting::stepped() {
    const int connections = server_.connections();
    if (sdk_) sdk_->setPlayers(connections);
    const bool playing = server_.server().state().gamestarted;
    hadWinner_ |= playing_ && !playing;  // only a winner ends a game
    playing_ = playing;
    if (exitAfterGame_ && hadWinner_ && connections == 0 && !finishing_) finish();
}

void Hosting::finish() {
    finishing_ = true;
    if (onLog) onLog("the game is over and everyone has left: closing the table");
    auto done = [this] {
        if (onFinished) onFinished();
    };
    if (sdk_)
        sdk_->shutdown(done);
    else  // not from inside the server's step
        QMetaObject::invokeMethod(this, done, Qt::QueuedConnection);
}

}  // namespace tessarin
