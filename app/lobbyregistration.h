// Registers a table with a lobby service (tessarin-lobby-server): POST /tables with the
// table's address and state every kInterval, so that players on other networks find it.
// Nothing is sent until the table knows its public address (setPublicAddress): from
// --public-address, from Agones' GET /gameserver, or, for a table reachable where it
// stands, the listening port alone, the lobby taking the address it sees. One request at a
// time; a reply is read up to kMaxReply bytes and within kAnswer. The first failure of a
// run of them is logged, and the first success after it.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "hostport.h"
#include "tablerecord.h"

namespace tessarin {

class ServerConnections;

class LobbyRegistration : public QObject {
    Q_OBJECT
  public:
    static constexpr std::chrono::milliseconds kInterval{5000};
    static constexpr std::chrono::milliseconds kAnswer{4000};
    static constexpr qint64 kMaxReply = 4096;

    // `lobby` is the service's address (http://lobby.example.org:7771); `state` gives the
    // table's state at each send (host and port are filled in here).
    LobbyRegistration(QUrl lobby, std::function<lobby::TableRecord()> state,
                      QObject* parent = nullptr);
    ~LobbyRegistration() override;

    // http or https with a host; the port 7771 when none is given. Nothing for other text.
    static std::optional<QUrl> lobbyUrl(const QString& text);

    // Where players reach the table; an empty host lets the lobby take the address the
    // registration comes from. The first registration goes at once.
    void setPublicAddress(const proto::HostPort& address);

    std::function<void(const std::string&)> onLog;

  private:
    void send();
    void answered(QNetworkReply* reply);

    QUrl tables_;
    std::function<lobby::TableRecord()> state_;
    std::optional<proto::HostPort> address_;
    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QTimer timer_;
    bool registered_ = false;
    bool failing_ = false;
};

// The state a table registers: the summary of its game, the computer's strength and the
// game's version, under `name`.
lobby::TableRecord tableRecord(const ServerConnections& server, const QString& name);

}  // namespace tessarin
