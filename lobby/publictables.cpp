#include "publictables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "hostport.h"
#include "lobbyurl.h"
#include "tablelist.h"
#include "tablerecord.h"

namespace tessarin::lobby {

namespace {

Table fromRecord(const TableRecord& record) {
    Table table;
    table.source = kPublic;
    table.address =
        QString::fromStdString(proto::formatHostPort({record.host.toStdString(), record.port}));
    table.name = record.name;
    table.version = record.version;
    for (std::size_t seat = 0; seat < record.seats.size(); ++seat) {
        table.seats[seat] = record.seats[seat].name;
        if (record.seats[seat].computer) table.computerSeats += QChar('1' + int(seat));
    }
    table.spectators = record.spectators;
    table.round = record.round;
    table.rounds = record.rounds;
    table.strength = record.strength;
    return table;
}

}  // namespace

PublicTables::PublicTables(TableList& list, QObject* parent) : QObject(parent), list_(list) {
    clock_.start();
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { ask(); });
}

PublicTables::~PublicTables() {
    stop();
}

void PublicTables::stop() {
    timer_.stop();
    // Aborting emits finished; nothing may call back into a half-destroyed reader.
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

void PublicTables::setLobby(const std::optional<QUrl>& lobby) {
    stop();
    list_.expire(kPublic, clock_.elapsed() + 1);
    failing_ = false;
    if (onProblem) onProblem({});
    if (!lobby) return;
    tables_ = lobbyEndpoint(*lobby, QStringLiteral("/tables"));
    timer_.start();
    ask();
}

void PublicTables::ask() {
    if (reply_) return;
    QNetworkRequest request(tables_);
    request.setTransferTimeout(kAnswerMs);
    QNetworkReply* reply = manager_.get(request);
    reply->setReadBufferSize(64 * 1024);
    reply_ = reply;
    body_.clear();
    tooLong_ = false;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        body_ += reply->read(kMaxReply + 1 - body_.size());
        if (body_.size() > kMaxReply) {
            tooLong_ = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { answered(reply); });
}

void PublicTables::answered(QNetworkReply* reply) {
    reply->deleteLater();
    reply_.clear();
    if (tooLong_) return failed(QStringLiteral("its answer is longer than 2 MiB"));
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) return failed(reply->errorString());
    if (status != 200) return failed(QStringLiteral("it answered %1").arg(status));
    body_ += reply->read(kMaxReply + 1 - body_.size());
    take(body_);
    body_.clear();
}

void PublicTables::take(const QByteArray& body) {
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isArray()) return failed(QStringLiteral("its answer is no list of tables"));
    const QJsonArray entries = document.array();
    const qint64 now = clock_.elapsed();
    for (int i = 0; i < entries.size() && i < kMaxRows; ++i) {
        const auto record = fromJson(entries[i].toObject());
        if (record && !record->host.isEmpty()) list_.setTable(fromRecord(*record), now);
    }
    list_.expire(kPublic, now);
    if (failing_ && onProblem) onProblem({});
    failing_ = false;
}

void PublicTables::failed(const QString& why) {
    list_.expire(kPublic, clock_.elapsed() - kForgetMs);
    if (failing_) return;
    failing_ = true;
    if (onProblem)
        onProblem(QStringLiteral("The public lobby at %1 cannot be read (%2).")
                      .arg(tables_.toDisplayString(QUrl::RemovePath), why));
}

}  // namespace tessarin::lobby
