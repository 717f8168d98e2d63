// The lobby service: tables register and refresh themselves with POST /tables, players'
// windows read GET /tables, probes ask GET /healthz. Keeps nothing on disk: after a restart
// the list is whole again once every table has refreshed.
//
// A registration from an address that is not trusted may only claim that address (or
// leave "host" out): the service never connects to a third machine on a stranger's word.
// A new table is listed only once a probe has found a game server at its address; at most
// Options::probes probes run at once, and a registration beyond them is answered 503 and
// tried again by the table at its next refresh. Each address may read the list
// Options::listsPerSecond times a second.
#pragma once

#include <QHttpServer>
#include <QHttpServerResponse>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTimer>

#include <chrono>
#include <functional>
#include <string>

#include "guardedtcpserver.h"
#include "repeatlog.h"
#include "tableregistry.h"

namespace tessarin::lobby {

class LobbyService : public QObject {
    Q_OBJECT
  public:
    static constexpr int kDefaultPort = 7771;
    static constexpr qsizetype kMaxBody = 4096;

    struct Options {
        QList<QPair<QHostAddress, int>> trusted;  // subnets whose tables are not counted
        TableRegistry::Limits tables;
        GuardedTcpServer::Limits connections;
        int probes = 256;
        // Whole lists (about 250 KB for 1000 tables) sent to one address in a second,
        // unless trusted: pipelined requests cannot pile up answers in memory.
        int listsPerSecond = 10;
        std::chrono::milliseconds probeTimeout{3000};
        std::chrono::milliseconds listCache{1000};  // GET /tables is rebuilt at most this often
    };

    // `log` receives one line per event; it must outlive the service.
    LobbyService(Options options, std::function<void(const std::string&)> log,
                 QObject* parent = nullptr);

    // Starts listening; the port listened on, or 0 when the address cannot be bound.
    quint16 listen(const QHostAddress& address, quint16 port);

  private:
    QHttpServerResponse registerTable(const QHttpServerRequest& request);
    QHttpServerResponse listTables(const QHttpServerRequest& request);
    void probe(const QString& key, const TableRecord& table);
    void expire();
    bool trusted(const QHostAddress& address) const;
    void log(const QString& text) { log_(text.toStdString()); }

    Options options_;
    std::function<void(const std::string&)> log_;
    RepeatLog repeats_;
    TableRegistry registry_;
    QHttpServer http_;
    GuardedTcpServer* tcp_;  // owned by http_
    QTimer expiry_;
    int probesRunning_ = 0;
    QHash<QHostAddress, int> listsSent_;  // this second's, by address
    QByteArray listed_;                   // the last GET /tables body
    TableRegistry::Clock::time_point listedAt_;
    bool changed_ = true;
};

}  // namespace tessarin::lobby
