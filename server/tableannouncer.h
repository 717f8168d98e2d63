// A table's answer to lobbies looking for games on the local network: it listens on UDP
// port 7772 (shared, so that every table on one machine hears the same broadcast) and
// answers each query (net/discovery.h) with one datagram describing the table, sent back
// to the asker alone. It never connects anywhere and never acts on what it hears.
//
// Bounded against floods and reflection: at most one answer per asking address in
// kAskerIntervalMs, at most kAnswersPerSecond in all, at most kMaxAskers addresses
// remembered.
// The overall cap bounds what forged senders can make a table send to others (a few KiB a
// second); during a flood from very many addresses an honest lobby may then wait for one of
// its later queries to be answered.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

#include <functional>
#include <string>

#include "discovery.h"

namespace tessarin {

class ServerConnections;

class TableAnnouncer : public QObject {
  public:
    static constexpr int kAskerIntervalMs = 500;
    static constexpr int kAnswersPerSecond = 200;
    static constexpr int kMaxAskers = 4096;

    // `describe` gives the table as it is now; the query's token is filled in here.
    explicit TableAnnouncer(std::function<proto::discovery::Answer()> describe,
                            QObject* parent = nullptr);

    // Starts answering on UDP `port` of every local address; the reason when it cannot.
    QString listen(quint16 port = proto::discovery::kPort);
    int answered() const { return answered_; }

  private:
    void readPending();
    bool mayAnswer(const QHostAddress& asker);

    std::function<proto::discovery::Answer()> describe_;
    QUdpSocket socket_;
    QElapsedTimer clock_;
    QHash<QHostAddress, qint64> lastAnswer_;  // by asker, ms on clock_
    qint64 secondStart_ = 0;
    int answersThisSecond_ = 0;
    int answered_ = 0;
};

// The answer for the table `server` runs: `name` (a server's --name) or else seat 1's
// player, who sits where, how far the game is, the computer's strength.
proto::discovery::Answer describeTable(const ServerConnections& server, const std::string& name);

}  // namespace tessarin
