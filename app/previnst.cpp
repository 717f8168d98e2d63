#include "previnst.h"

#include <QLocalSocket>

namespace tessarin {

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr char kActivate[] = "activate\n";

// Listens under `name`, clearing a socket file left behind by a copy that crashed (nothing
// answers on it, or connecting would have succeeded).
std::unique_ptr<QLocalServer> publish(const QString& name) {
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        QLocalServer::removeServer(name);
        if (!server->listen(name)) return nullptr;
    }
    return server;
}

}  // namespace

SingleInstance::SingleInstance(QString markerName, QString runningName)
    : markerName_(std::move(markerName)), runningName_(std::move(runningName)) {}

bool SingleInstance::CheckPreviousInstance(bool activate) {
    QLocalSocket probe;
    probe.connectToServer(markerName_);
    if (probe.waitForConnected(kConnectTimeoutMs)) {
        if (activate) {
            probe.write(kActivate);
            probe.waitForBytesWritten(kConnectTimeoutMs);
        }
        probe.disconnectFromServer();
        return true;
    }

    // This is the first copy. When the marker cannot be published it still runs.
    marker_ = publish(markerName_);
    running_ = publish(runningName_);
    if (marker_) {
        connect(marker_.get(), &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* peer = marker_->nextPendingConnection()) {
                connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                    if (peer->readAll().contains("activate") && onActivate) onActivate();
                });
                connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            }
        });
    }
    return false;
}

}  // namespace tessarin
