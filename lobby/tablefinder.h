// Looks for tables on the local network: every kQueryIntervalMs it sends one query to UDP
// port 7772 of this machine (127.255.255.255) and of every local network it is on (each
// interface's IPv4 broadcast address), and puts every valid answer into the TableList.
// A table that stops answering leaves the list kForgetMs after it was last heard.
//
// It only listens for answers: nothing heard makes it send or connect anywhere. Answers
// must carry the token of one of its last queries, and the list itself is bounded
// (TableList).
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

#include <deque>

namespace tessarin::lobby {

class TableList;

class TableFinder : public QObject {
  public:
    static constexpr int kQueryIntervalMs = 2000;
    static constexpr int kForgetMs = 6500;

    // `list` must outlive this object.
    explicit TableFinder(TableList& list, QObject* parent = nullptr);

    // Starts asking now and every kQueryIntervalMs; the reason when it cannot.
    QString start(quint16 port);
    // This machine's and every local network's broadcast addresses.
    static QList<QHostAddress> broadcastTargets();
    // Answers dropped as malformed, unasked for or beyond the list's size.
    int dropped() const { return dropped_; }

  private:
    struct Sent {
        int token;
        qint64 atMs;
    };
    void query();
    void readPending();
    void take(const QByteArray& datagram, const QHostAddress& from);

    TableList& list_;
    QUdpSocket socket_;
    QTimer timer_;
    QElapsedTimer clock_;
    quint16 port_ = 0;
    std::deque<Sent> sent_;  // the last few queries
    QList<QHostAddress> ownAddresses_;
    int nextToken_ = 0;
    int dropped_ = 0;
};

}  // namespace tessarin::lobby
