#include "lobbylink.h"

#include <QTcpSocket>

namespace tessarin::lobby {

LobbyLink::LobbyLink(QObject* parent) : QObject(parent) {
    connect(&server_, &QTcpServer::newConnection, this, [this] { accept(); });
}

QString LobbyLink::listen(quint16 port) {
    return server_.listen(QHostAddress::LocalHost, port) ? QString() : server_.errorString();
}

void LobbyLink::accept() {
    while (QTcpSocket* link = server_.nextPendingConnection()) {
        if (links_.size() >= kMaxLinks) {
            link->abort();
            link->deleteLater();
            continue;
        }
        link->setReadBufferSize(4096);
        connect(link, &QTcpSocket::readyRead, link, [link] { link->readAll(); });
        connect(link, &QTcpSocket::disconnected, this, [this, link] { closed(link); });
        links_ << link;
        if (links_.size() == 1 && onChanged) onChanged(true);
    }
}

void LobbyLink::closed(QTcpSocket* link) {
    if (!links_.removeOne(link)) return;
    link->deleteLater();
    if (links_.isEmpty() && onChanged) onChanged(false);
}

}  // namespace tessarin::lobby
