#include "lobbyservice.h"

#include <QHttpServerRequest>
#include <QJsonDocument>
#include <QJsonObject>

#include "tableprobe.h"

namespace tessarin::lobby {

namespace {

using Status = QHttpServerResponse::StatusCode;

QHttpServerResponse answer(Status status, const QString& error = {}) {
    if (error.isEmpty()) return QHttpServerResponse(QJsonObject{}, status);
    return QHttpServerResponse(QJsonObject{{"error", error}}, status);
}

}  // namespace

LobbyService::LobbyService(Options options, std::function<void(const std::string&)> log,
                           QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      log_(std::move(log)),
      repeats_(log_),
      registry_(options_.tables),
      tcp_(new GuardedTcpServer(options_.connections)) {
    tcp_->trusted = [this](const QHostAddress& address) { return trusted(address); };
    tcp_->onClosed = [this](const QString& why, const QHostAddress& peer) {
        repeats_.line(
            "connections closed (" + why.toStdString() + ")",
            "closed a connection from " + peer.toString().toStdString() + ": " + why.toStdString());
    };
    http_.route("/tables", QHttpServerRequest::Method::Post,
                [this](const QHttpServerRequest& request) { return registerTable(request); });
    http_.route("/tables", QHttpServerRequest::Method::Get,
                [this](const QHttpServerRequest& request) { return listTables(request); });
    // For probes, and for operators: the tables known and those listed.
    http_.route("/healthz", QHttpServerRequest::Method::Get, [this] {
        return QHttpServerResponse(QJsonObject{
            {"status", "ok"}, {"tables", registry_.size()}, {"listed", registry_.listedCount()}});
    });
    expiry_.setInterval(1000);
    connect(&expiry_, &QTimer::timeout, this, &LobbyService::expire);
    expiry_.start();
}

quint16 LobbyService::listen(const QHostAddress& address, quint16 port) {
    if (!tcp_->listen(address, port)) return 0;
    http_.bind(tcp_);
    return tcp_->serverPort();
}

bool LobbyService::trusted(const QHostAddress& address) const {
    for (const auto& subnet : options_.trusted)
        if (address.isInSubnet(subnet)) return true;
    return false;
}

QHttpServerResponse LobbyService::registerTable(const QHttpServerRequest& request) {
    const QHostAddress source = GuardedTcpServer::plain(request.remoteAddress());
    const std::string from = source.toString().toStdString();
    if (request.body().size() > kMaxBody)
        return answer(Status::PayloadTooLarge, QStringLiteral("a registration has 4 KiB at most"));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(request.body(), &parseError);
    QString why = parseError.errorString();
    auto table = document.isObject() ? fromJson(document.object(), &why) : std::nullopt;
    if (!table) {
        repeats_.line("registrations refused as unreadable",
                      "refused a registration from " + from + ": " + why.toStdString());
        return answer(Status::BadRequest, why);
    }
    const bool fromTrusted = trusted(source);
    // An address is listed in one spelling, so that two spellings are not two tables.
    const QHostAddress claimed = GuardedTcpServer::plain(QHostAddress(table->host));
    if (!claimed.isNull()) table->host = claimed.toString();
    if (table->host.isEmpty()) {
        table->host = source.toString();
    } else if (!fromTrusted && claimed != source) {
        repeats_.line(
            "registrations refused for claiming another address",
            "refused a registration from " + from + " claiming " + table->host.toStdString());
        return answer(Status::Forbidden,
                      QStringLiteral("a table may register only the address it sends from"));
    }

    const QString key = TableRegistry::keyOf(*table);
    const auto offer = registry_.offer(*table, source, fromTrusted, TableRegistry::Clock::now());
    changed_ = true;
    switch (offer) {
        case TableRegistry::Offer::Refreshed:
            return answer(Status::Ok);
        case TableRegistry::Offer::Waiting:
            return answer(Status::Accepted);
        case TableRegistry::Offer::SourceFull:
            repeats_.line("registrations refused over the limit per address",
                          "refused a registration from " + from + ": it has " +
                              std::to_string(options_.tables.perSource) + " tables already");
            return answer(Status::TooManyRequests,
                          QStringLiteral("%1 tables from one address at most")
                              .arg(options_.tables.perSource));
        case TableRegistry::Offer::Full:
            repeats_.line("registrations refused with the list full",
                          "refused a registration from " + from + ": the list is full");
            return answer(Status::ServiceUnavailable, QStringLiteral("the list is full"));
        case TableRegistry::Offer::NeedsProbe:
            break;
    }
    if (probesRunning_ >= options_.probes) {
        registry_.probed(key, false);
        return answer(Status::ServiceUnavailable, QStringLiteral("busy; try again later"));
    }
    probe(key, *table);
    return answer(Status::Accepted);
}

void LobbyService::probe(const QString& key, const TableRecord& table) {
    ++probesRunning_;
    TableProbe::start(
        table.host, table.port, options_.probeTimeout,
        [this, key](bool answered, const QString& why) {
            --probesRunning_;
            registry_.probed(key, answered);
            changed_ = true;
            if (answered)
                log("table " + key + " listed");
            else
                repeats_.line("registered addresses that did not answer like a table",
                              "not listing " + key.toStdString() + ": " + why.toStdString());
        },
        this);
}

QHttpServerResponse LobbyService::listTables(const QHttpServerRequest& request) {
    const QHostAddress source = GuardedTcpServer::plain(request.remoteAddress());
    if (!trusted(source) && ++listsSent_[source] > options_.listsPerSecond)
        return answer(Status::TooManyRequests,
                      QStringLiteral("%1 lists a second at most").arg(options_.listsPerSecond));
    const auto now = TableRegistry::Clock::now();
    if (changed_ && now - listedAt_ >= options_.listCache) {
        listed_ = registry_.list();
        listedAt_ = now;
        changed_ = false;
    }
    return QHttpServerResponse("application/json", listed_);
}

void LobbyService::expire() {
    listsSent_.clear();
    for (const QString& key : registry_.expire(TableRegistry::Clock::now())) {
        changed_ = true;
        log("table " + key + " dropped: not refreshed for " +
            QString::number(options_.tables.expiry.count() / 1000) + " s");
    }
}

}  // namespace tessarin::lobby
