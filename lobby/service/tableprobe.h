// Asks an address whether a Tessarin table answers there: connects, reads the first message
// a game server sends to a newcomer ("CMD_sendlogininfo" with a seat, or "CMD_full") and
// hangs up. Anything else, more than kMaxBytes without a whole message, or no answer within
// the timeout, and the address does not answer like a table. Never blocks; deletes itself
// once it has reported.
#pragma once

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <functional>

namespace tessarin::lobby {

class TableProbe : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxBytes = 64;

    // `done` is called once, on the event loop, with the verdict and, when it is no, why.
    // A probe deleted with its `parent` never calls back.
    static void start(const QString& host, int port, std::chrono::milliseconds timeout,
                      std::function<void(bool answered, const QString& why)> done, QObject* parent);

  private:
    TableProbe(std::function<void(bool, const QString&)> done, QObject* parent);
    void readSome();
    void finish(bool answered, const QString& why);

    QTcpSocket socket_;
    QTimer timeout_;
    QByteArray read_;
    std::function<void(bool, const QString&)> done_;
};

}  // namespace tessarin::lobby
