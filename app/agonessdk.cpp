#include "agonessdk.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tessarin {

AgonesSdk::AgonesSdk(QUrl base, Timing timing, QObject* parent)
    : QObject(parent), base_(std::move(base)), timing_(timing) {
    manager_.setProxy(QNetworkProxy::NoProxy);  // the sidecar is always on this machine
    healthTimer_.setInterval(timing_.health);
    connect(&healthTimer_, &QTimer::timeout, this, [this] {
        healthDue_ = true;
        pump();
    });
    pause_.setSingleShot(true);
    pause_.setInterval(timing_.retry);
    connect(&pause_, &QTimer::timeout, this, &AgonesSdk::pump);
}

AgonesSdk::~AgonesSdk() {
    // Aborting emits finished; nothing may call back into a half-destroyed client.
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

std::optional<QUrl> AgonesSdk::urlFromEnvironment() {
    int port = kDefaultPort;
    if (qEnvironmentVariableIsSet("AGONES_SDK_HTTP_PORT")) {
        bool ok = false;
        port = qEnvironmentVariable("AGONES_SDK_HTTP_PORT").toInt(&ok);
        if (!ok || port < 1 || port > 65535) return std::nullopt;
    }
    return QUrl(QStringLiteral("http://localhost:%1").arg(port));
}

void AgonesSdk::start() {
    started_ = true;
    pump();
}

void AgonesSdk::setPlayers(int count) {
    players_ = count;
    pump();
}

void AgonesSdk::shutdown(std::function<void()> done) {
    shutdownDone_ = std::move(done);
    shuttingDown_ = true;
    healthTimer_.stop();
    pump();
}

void AgonesSdk::pump() {
    if (reply_) return;
    if (shuttingDown_) {
        if (shutdownDone_) send(Call::Shutdown, "POST", "/shutdown", "{}");
        return;
    }
    if (!started_ || pause_.isActive()) return;
    if (!ready_) {
        send(Call::Ready, "POST", "/ready", "{}");
    } else if (players_ != reportedPlayers_) {
        const QJsonObject label{{"key", kPlayersLabel}, {"value", QString::number(players_)}};
        send(Call::Label, "PUT", "/metadata/label",
             QJsonDocument(label).toJson(QJsonDocument::Compact));
    } else if (healthDue_) {
        send(Call::Health, "POST", "/health", "{}");
    }
}

void AgonesSdk::send(Call call, const QByteArray& verb, const QString& path,
                     const QByteArray& body) {
    QUrl url = base_;
    url.setPath(path);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    request.setTransferTimeout(static_cast<int>(timing_.answer.count()));
    QNetworkReply* reply = manager_.sendCustomRequest(request, verb, body);
    reply_ = reply;
    if (call == Call::Label) reportedPlayers_ = players_;
    if (call == Call::Health) healthDue_ = false;
    connect(reply, &QNetworkReply::finished, this, [this, call, reply] { answered(call, reply); });
}

void AgonesSdk::answered(Call call, QNetworkReply* reply) {
    reply->deleteLater();
    reply_.clear();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;

    if (call == Call::Shutdown) {
        log(ok ? "asked Agones to shut the table down"
               : "Agones did not take the shutdown: " + reply->errorString().toStdString());
        shutdownDone_();
        shutdownDone_ = nullptr;
        return;
    }
    if (!ok) {
        if (!failing_)
            log("the Agones sidecar does not answer yet (" + reply->errorString().toStdString() +
                "); trying again quietly");
        failing_ = true;
        if (call == Call::Label) reportedPlayers_ = -1;
        if (call == Call::Health) healthDue_ = true;
        pause_.start();
        return;
    }
    failing_ = false;
    if (call == Call::Ready) {
        ready_ = true;
        healthTimer_.start();
        log("told Agones the table is ready");
    }
    pump();
}

void AgonesSdk::log(const std::string& text) const {
    if (onLog) onLog(text);
}

}  // namespace tessarin
