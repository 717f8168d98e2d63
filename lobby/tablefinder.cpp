#include "tablefinder.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QRandomGenerator>

#include <algorithm>

#include "discovery.h"
#include "hostport.h"
#include "protocol.h"
#include "tablelist.h"

namespace tessarin::lobby {

namespace discovery = proto::discovery;

namespace {

constexpr std::size_t kQueriesRemembered = 4;  // an answer may come late, never 8 s late

// Names travel as single-byte text, as on the game's wire.
QString text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

}  // namespace

TableFinder::TableFinder(TableList& list, QObject* parent)
    : QObject(parent), list_(list), nextToken_(int(QRandomGenerator::global()->bounded(1 << 30))) {
    clock_.start();
    timer_.setInterval(kQueryIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { query(); });
    connect(&socket_, &QUdpSocket::readyRead, this, [this] { readPending(); });
}

QString TableFinder::start(quint16 port) {
    port_ = port;
    if (!socket_.bind(QHostAddress::AnyIPv4, 0)) return socket_.errorString();
    query();
    timer_.start();
    return {};
}

QList<QHostAddress> TableFinder::broadcastTargets() {
    QList<QHostAddress> targets{QHostAddress(QStringLiteral("127.255.255.255"))};
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::CanBroadcast) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries())
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol &&
                !entry.broadcast().isNull() && !targets.contains(entry.broadcast()))
                targets << entry.broadcast();
    }
    return targets;
}

void TableFinder::query() {
    list_.expire(kLocalNetwork, clock_.elapsed() - kForgetMs);
    ownAddresses_ = QNetworkInterface::allAddresses();
    const int token = nextToken_;
    nextToken_ = nextToken_ == 0x7FFFFFFF ? 0 : nextToken_ + 1;
    sent_.push_back({token, clock_.elapsed()});
    if (sent_.size() > kQueriesRemembered) sent_.pop_front();
    const std::string datagram = discovery::query({std::string(proto::kVersion), token});
    for (const QHostAddress& target : broadcastTargets())
        socket_.writeDatagram(datagram.data(), qint64(datagram.size()), target, port_);
}

void TableFinder::readPending() {
    // Everything waiting, at once: Qt announces a UDP socket's next datagrams only once
    // those it announced have been read. A datagram costs microseconds (bench/discovery-flood).
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_.receiveDatagram(discovery::kMaxDatagram + 1);
        take(datagram.data(), datagram.senderAddress());
    }
}

void TableFinder::take(const QByteArray& bytes, const QHostAddress& from) {
    const auto answer = discovery::readAnswer(std::string_view(bytes.data(), bytes.size()));
    const auto asked = answer
                           ? std::find_if(sent_.begin(), sent_.end(),
                                          [&](const Sent& s) { return s.token == answer->token; })
                           : sent_.end();
    if (asked == sent_.end()) {
        ++dropped_;
        return;
    }
    // A table on this machine answers from each of its addresses: it is listed once, at the
    // address that works from here whatever the network.
    bool ok = false;
    const QHostAddress ipv4(from.toIPv4Address(&ok));
    const QHostAddress host = !ok ? from
                              : ownAddresses_.contains(ipv4) || ipv4.isLoopback()
                                  ? QHostAddress(QHostAddress::LocalHost)
                                  : ipv4;
    Table table;
    table.source = kLocalNetwork;
    table.address = QString::fromStdString(
        proto::formatHostPort({host.toString().toStdString(), answer->port}));
    table.name = text(answer->name);
    table.version = text(answer->version);
    for (std::size_t seat = 0; seat < 3; ++seat) table.seats[seat] = text(answer->seats[seat]);
    table.computerSeats = text(answer->computerSeats);
    table.spectators = answer->spectators;
    table.round = answer->round;
    table.rounds = answer->rounds;
    table.strength = text(answer->strength);
    table.roundTripMs = int(clock_.elapsed() - asked->atMs);
    if (!list_.setTable(table, clock_.elapsed())) ++dropped_;
}

}  // namespace tessarin::lobby
