// The lobby link: the game, started from the lobby, opens a TCP connection to
// 127.0.0.1:9001 and holds it while it runs, sending nothing. While any link is open a game
// is running; when the last one closes the game has ended. Whatever arrives is read and
// dropped, and at most kMaxLinks are held at once (more are closed at once).
#pragma once

#include <QList>
#include <QObject>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace tessarin::lobby {

class LobbyLink : public QObject {
  public:
    static constexpr int kPort = 9001;
    static constexpr int kMaxLinks = 16;

    explicit LobbyLink(QObject* parent = nullptr);

    // Listens on 127.0.0.1:port; the reason when it cannot.
    QString listen(quint16 port = kPort);
    bool gameRunning() const { return !links_.isEmpty(); }

    // A game's link opened (running) or the last one closed (not running).
    std::function<void(bool running)> onChanged;

  private:
    void accept();
    void closed(QTcpSocket* link);

    QTcpServer server_;
    QList<QTcpSocket*> links_;
};

}  // namespace tessarin::lobby
