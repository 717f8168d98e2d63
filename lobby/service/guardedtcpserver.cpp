#include "guardedtcpserver.h"

#include <QTcpSocket>
#include <QTimer>

namespace tessarin::lobby {

namespace {

// One connection's watch: a deadline for the request under way, or for the idle time
// before the next one. Dripping bytes does not move a request's deadline.
class Watch : public QObject {
  public:
    Watch(QTcpSocket* socket, const GuardedTcpServer::Limits& limits,
          std::function<void(const QString&)> close)
        : QObject(socket), socket_(socket), limits_(limits), close_(std::move(close)) {
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this,
                [this] { close_(inRequest_ ? "request took too long" : "idle"); });
        // Connected before the HTTP server's own slot, so it sees the bytes first.
        connect(socket, &QTcpSocket::readyRead, this, &Watch::arrived);
        connect(socket, &QTcpSocket::bytesWritten, this, &Watch::written);
        deadline_.start(limits_.idle);
    }

  private:
    void arrived() {
        if (!inRequest_) {
            inRequest_ = true;
            requestBytes_ = 0;
            deadline_.start(limits_.requestTime);
        }
        requestBytes_ += socket_->bytesAvailable();
        // The read buffer holds requestBytes at most: full means the request is too large.
        if (requestBytes_ >= limits_.requestBytes)
            close_("request too large");
        else if (socket_->bytesToWrite() > limits_.unsentBytes)
            close_("answers left unread");
    }
    void written() {
        if (socket_->bytesToWrite() > 0 || socket_->bytesAvailable() > 0) return;
        inRequest_ = false;
        deadline_.start(limits_.idle);
    }

    QTcpSocket* socket_;
    const GuardedTcpServer::Limits& limits_;
    std::function<void(const QString&)> close_;
    QTimer deadline_;
    bool inRequest_ = false;
    qint64 requestBytes_ = 0;
};

}  // namespace

GuardedTcpServer::GuardedTcpServer(Limits limits, QObject* parent)
    : QTcpServer(parent), limits_(limits) {}

QHostAddress GuardedTcpServer::plain(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip) : address;
}

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QHostAddress peer = plain(socket->peerAddress());
    const bool trustedPeer = trusted && trusted(peer);
    if (open_ >= limits_.connections ||
        (!trustedPeer && perSource_.value(peer) >= limits_.perSource)) {
        if (onClosed) onClosed(QStringLiteral("too many connections"), peer);
        socket->abort();
        delete socket;
        return;
    }
    ++open_;
    ++perSource_[peer];
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, [this, peer] {
        --open_;
        if (--perSource_[peer] == 0) perSource_.remove(peer);
    });
    socket->setReadBufferSize(limits_.requestBytes);
    new Watch(socket, limits_, [this, socket, peer](const QString& why) {
        if (onClosed) onClosed(why, peer);
        // The HTTP server's own slot, next in line, must not read a closed socket.
        QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
        socket->abort();
    });
    addPendingConnection(socket);
}

}  // namespace tessarin::lobby
