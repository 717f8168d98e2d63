#include "agonessdk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tessarin {

namespace {

const QString kAllocated = QStringLiteral("Allocated");

}  // namespace

AgonesSdk::AgonesSdk(QUrl base, Timing timing, QObject* parent)
    : QObject(parent), base_(std::move(base)), timing_(timing) {
    manager_.setProxy(QNetworkProxy::NoProxy);  // the sidecar is always on this machine
    healthTimer_.setInterval(timing_.health);
    connect(&healthTimer_, &QTimer::timeout, this, [this] {
        healthDue_ = true;
        gameServerDue_ |= watching_ && gameServer_.state != kAllocated;
        pump();
    });
    pause_.setSingleShot(true);
    pause_.setInterval(timing_.retry);
    connect(&pause_, &QTimer::timeout, this, &AgonesSdk::pump);
    coalesce_.setSingleShot(true);
    connect(&coalesce_, &QTimer::timeout, this, &AgonesSdk::pump);
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

void AgonesSdk::watchForAllocation() {
    watching_ = true;
}

void AgonesSdk::setCounts(int players, int spectators) {
    counters_[0].count = players;
    counters_[1].count = spectators;
    pump();
}

void AgonesSdk::allocate() {
    if (allocateAsked_) return;
    allocateAsked_ = allocateDue_ = true;
    pump();
}

void AgonesSdk::shutdown(std::function<void()> done) {
    shutdownDone_ = std::move(done);
    shuttingDown_ = true;
    healthTimer_.stop();
    pump();
}

AgonesSdk::Counter* AgonesSdk::dueCounter() {
    for (Counter& counter : counters_) {
        if (counter.count == counter.reported) continue;
        const qint64 wait =
            counter.sent.isValid() ? timing_.coalesce.count() - counter.sent.elapsed() : 0;
        if (wait <= 0) return &counter;
        if (!coalesce_.isActive() || coalesce_.remainingTime() > wait) coalesce_.start(wait);
    }
    return nullptr;
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
    } else if (gameServerDue_) {
        send(Call::GameServer, "GET", "/gameserver", {});
    } else if (allocateDue_) {
        send(Call::Allocate, "POST", "/allocate", "{}");
    } else if (Counter* counter = dueCounter()) {
        sending_ = counter;
        const QJsonObject update{{"count", counter->count}};
        send(Call::Counter, "PATCH", QStringLiteral("/v1beta1/counters/%1").arg(counter->name),
             QJsonDocument(update).toJson(QJsonDocument::Compact));
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
    QNetworkReply* reply = body.isEmpty() && verb == "GET"
                               ? manager_.get(request)
                               : manager_.sendCustomRequest(request, verb, body);
    // Qt keeps no more than this unread: the rest waits in the socket until read.
    reply->setReadBufferSize(kMaxReply);
    reply_ = reply;
    body_.clear();
    tooLong_ = false;
    if (call == Call::Counter) {
        sending_->reported = sending_->count;
        sending_->sent.start();
    }
    if (call == Call::Health) healthDue_ = false;
    if (call == Call::GameServer) gameServerDue_ = false;
    if (call == Call::Allocate) allocateDue_ = false;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { received(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, call, reply] { answered(call, reply); });
}

void AgonesSdk::received(QNetworkReply* reply) {
    if (tooLong_) return;
    body_ += reply->read(kMaxReply + 1 - body_.size());
    if (body_.size() <= kMaxReply) return;
    tooLong_ = true;
    body_.clear();
    reply->abort();  // finished follows, as a failure
}

void AgonesSdk::answered(Call call, QNetworkReply* reply) {
    received(reply);
    reply->deleteLater();
    reply_.clear();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok =
        !tooLong_ && reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    const std::string error = tooLong_
                                  ? "its reply passed " + std::to_string(kMaxReply / 1024) + " KiB"
                                  : reply->errorString().toStdString();

    if (call == Call::Shutdown) {
        if (ok)
            log(LogLevel::Notice, "asked Agones to shut the table down");
        else
            log(LogLevel::Warning, "Agones did not take the shutdown: " + error);
        shutdownDone_();
        shutdownDone_ = nullptr;
        return;
    }
    if (!ok) {
        if (!failing_)
            log(LogLevel::Warning,
                "the Agones sidecar does not answer yet (" + error + "); trying again quietly");
        failing_ = true;
        if (call == Call::Counter) sending_->reported = -1;
        if (call == Call::Health) healthDue_ = true;
        if (call == Call::GameServer) gameServerDue_ = true;
        if (call == Call::Allocate) allocateDue_ = true;
        pause_.start();
        return;
    }
    failing_ = false;
    if (call == Call::Ready) {
        ready_ = true;
        gameServerDue_ = true;
        healthTimer_.start();
        log(LogLevel::Notice, "told Agones the table is ready");
    } else if (call == Call::GameServer) {
        readGameServer();
    } else if (call == Call::Allocate) {
        log(LogLevel::Notice, "asked Agones to allocate the table: a player has logged in");
    }
    pump();
}

void AgonesSdk::readGameServer() {
    const QJsonObject status = QJsonDocument::fromJson(body_).object().value("status").toObject();
    GameServer now;
    now.state = status.value("state").toString();
    const int port = status.value("ports").toArray().at(0).toObject().value("port").toInt();
    const auto address = proto::parseHostPort(status.value("address").toString().toStdString(),
                                              port, proto::PortZero::Refused);
    if (address && port > 0) now.address = address;
    const bool moved = now.address.has_value() != gameServer_.address.has_value() ||
                       (now.address && proto::formatHostPort(*now.address) !=
                                           proto::formatHostPort(*gameServer_.address));
    if (moved && now.address)
        log(LogLevel::Info,
            "Agones gives the table the address " + proto::formatHostPort(*now.address));
    if (!moved && now.state == gameServer_.state) return;
    gameServer_ = now;
    if (onGameServer) onGameServer(gameServer_);
}

void AgonesSdk::log(LogLevel level, const std::string& text) const {
    if (onLog) onLog(level, text);
}

}  // namespace tessarin
