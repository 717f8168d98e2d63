// The listener under the lobby's HTTP server (Qt HttpServer 6.4 has no limits of its own on
// body size, time or connections): it caps the connections open at once and from one
// address, the bytes of one request, the time a request may take from its first byte to
// its answer leaving, the time a connection may sit idle, and the answers a client leaves
// unread. A connection over any of them is closed at once.
#pragma once

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>

#include <chrono>
#include <functional>

namespace tessarin::lobby {

class GuardedTcpServer : public QTcpServer {
    Q_OBJECT
  public:
    struct Limits {
        int connections = 1000;
        int perSource = 32;          // unless trusted
        qint64 requestBytes = 8192;  // less than this: headers and a body of up to 4 KiB
        std::chrono::milliseconds requestTime{10000};
        std::chrono::milliseconds idle{30000};
        qint64 unsentBytes = 1 << 20;  // four whole lists
    };

    explicit GuardedTcpServer(Limits limits, QObject* parent = nullptr);

    std::function<bool(const QHostAddress&)> trusted;
    // "closed: ..." lines, one per connection closed by a limit.
    std::function<void(const QString& why, const QHostAddress& peer)> onClosed;

    static QHostAddress plain(const QHostAddress& address);  // IPv4-mapped IPv6 as IPv4

  protected:
    void incomingConnection(qintptr descriptor) override;

  private:
    Limits limits_;
    int open_ = 0;
    QHash<QHostAddress, int> perSource_;
};

}  // namespace tessarin::lobby
