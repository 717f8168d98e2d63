#include "previnst.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>

namespace tessarin {

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr char kActivate[] = "activate\n";

// lstat: a link is judged itself, not what it points to.
bool ownedHere(const QString& path, mode_t type, struct stat& st) {
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 &&
           (st.st_mode & S_IFMT) == type && st.st_uid == ::geteuid();
}

// The process at the other end of a connected local socket runs as this user.
bool peerIsThisUser(const QLocalSocket& socket) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                        &length) == 0 &&
           peer.uid == ::geteuid();
}

// Listens at `path`, clearing a socket file left behind by a copy that crashed (nothing
// answers on it, or connecting would have succeeded).
std::unique_ptr<QLocalServer> publish(const QString& path) {
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        QLocalServer::removeServer(path);
        if (!server->listen(path)) return nullptr;
    }
    return server;
}

}  // namespace

SingleInstance::SingleInstance(QString markerName, QString runningName)
    : markerName_(std::move(markerName)), runningName_(std::move(runningName)) {}

QString SingleInstance::socketFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    struct stat st {};
    if (folder.isEmpty() || !ownedHere(folder, S_IFDIR, st) || (st.st_mode & 077) != 0) return {};
    return folder;
}

bool SingleInstance::CheckPreviousInstance(bool activate) {
    const QString folder = socketFolder();
    if (folder.isEmpty()) return false;
    const QString marker = folder + u'/' + markerName_;
    struct stat st {};
    if (ownedHere(marker, S_IFSOCK, st)) {
        QLocalSocket probe;
        probe.connectToServer(marker);
        if (probe.waitForConnected(kConnectTimeoutMs) && peerIsThisUser(probe)) {
            if (activate) {
                probe.write(kActivate);
                probe.waitForBytesWritten(kConnectTimeoutMs);
            }
            probe.disconnectFromServer();
            return true;
        }
    }

    // This is the first copy. When the marker cannot be published it still runs.
    marker_ = publish(marker);
    running_ = publish(folder + u'/' + runningName_);
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
