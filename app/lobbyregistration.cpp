#include "lobbyregistration.h"

#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "botstrength.h"
#include "lobbyurl.h"
#include "protocol.h"
#include "serverconnections.h"
#include "tablesummary.h"

namespace tessarin {

LobbyRegistration::LobbyRegistration(QUrl lobby, std::function<lobby::TableRecord()> state,
                                     QObject* parent)
    : QObject(parent),
      tables_(lobby::lobbyEndpoint(std::move(lobby), QStringLiteral("/tables"))),
      state_(std::move(state)) {
    timer_.setInterval(kInterval);
    connect(&timer_, &QTimer::timeout, this, &LobbyRegistration::send);
}

LobbyRegistration::~LobbyRegistration() {
    // Aborting emits finished; nothing may call back into a half-destroyed sender.
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

std::optional<QUrl> LobbyRegistration::lobbyUrl(const QString& text) {
    return lobby::lobbyUrl(text);
}

void LobbyRegistration::setPublicAddress(const proto::HostPort& address) {
    address_ = address;
    timer_.start();
    send();
}

void LobbyRegistration::send() {
    if (reply_ || !address_) return;
    lobby::TableRecord table = state_();
    table.host = QString::fromStdString(address_->host);
    table.port = address_->port;
    QNetworkRequest request(tables_);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    request.setTransferTimeout(int(kAnswer.count()));
    QNetworkReply* reply =
        manager_.post(request, QJsonDocument(lobby::toJson(table)).toJson(QJsonDocument::Compact));
    reply->setReadBufferSize(kMaxReply);
    reply_ = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { answered(reply); });
}

void LobbyRegistration::answered(QNetworkReply* reply) {
    reply->deleteLater();
    reply_.clear();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        if (!registered_ || failing_)
            if (onLog) onLog("registered with the lobby at " + tables_.toString().toStdString());
        registered_ = true;
        failing_ = false;
        return;
    }
    if (failing_) return;
    failing_ = true;
    // The service says why in {"error": "..."}; a reply is read up to kMaxReply only.
    const QString why =
        QJsonDocument::fromJson(reply->read(kMaxReply)).object().value("error").toString();
    if (onLog)
        onLog("the lobby at " + tables_.toString().toStdString() + " did not take the table (" +
              (why.isEmpty() ? reply->errorString() : why).toStdString() +
              "); trying again every " + std::to_string(kInterval.count() / 1000) + " s");
}

lobby::TableRecord tableRecord(const ServerConnections& server, const QString& name) {
    const TableSummary summary = summarise(server.server().state());
    lobby::TableRecord table;
    table.name = name;
    for (std::size_t i = 0; i < table.seats.size(); ++i) {
        table.seats[i].name = QString::fromLatin1(summary.seats[i].name);
        table.seats[i].computer = summary.seats[i].computer;
    }
    table.players = summary.players;
    table.spectators = summary.spectators;
    table.playing = summary.playing;
    table.round = summary.round;
    table.rounds = summary.rounds;
    const std::string_view strength = strengthName(server.botStrength(0));
    table.strength = QString::fromLatin1(strength.data(), qsizetype(strength.size()));
    table.version = QString::fromLatin1(proto::kVersion.data(), qsizetype(proto::kVersion.size()));
    return table;
}

}  // namespace tessarin
