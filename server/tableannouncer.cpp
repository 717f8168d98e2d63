#include "tableannouncer.h"

#include <QNetworkDatagram>

#include <algorithm>
#include <cctype>
#include <iterator>

#include "botstrength.h"
#include "protocol.h"
#include "serverconnections.h"
#include "tablesummary.h"

namespace tessarin {

namespace discovery = proto::discovery;

TableAnnouncer::TableAnnouncer(std::function<discovery::Answer()> describe, QObject* parent)
    : QObject(parent), describe_(std::move(describe)) {
    clock_.start();
    connect(&socket_, &QUdpSocket::readyRead, this, [this] { readPending(); });
}

QString TableAnnouncer::listen(quint16 port) {
    const bool bound =
        socket_.bind(QHostAddress::AnyIPv4, port,
                     QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    return bound ? QString() : socket_.errorString();
}

void TableAnnouncer::readPending() {
    // Everything waiting, at once: Qt announces a UDP socket's next datagrams only once
    // those it announced have been read. A datagram costs microseconds (bench/discovery-flood).
    while (socket_.hasPendingDatagrams()) {
        // An oversized datagram is read only as far as the limit and is then no query.
        const QNetworkDatagram datagram = socket_.receiveDatagram(discovery::kMaxDatagram + 1);
        const QByteArray& bytes = datagram.data();
        const auto query = discovery::readQuery(std::string_view(bytes.data(), bytes.size()));
        if (!query || !mayAnswer(datagram.senderAddress())) continue;
        discovery::Answer answer = describe_();
        answer.token = query->token;
        const std::string text = discovery::answer(answer);
        if (text.size() > discovery::kMaxDatagram) continue;
        socket_.writeDatagram(text.data(), static_cast<qint64>(text.size()),
                              datagram.senderAddress(),
                              static_cast<quint16>(datagram.senderPort()));
        ++answered_;
    }
}

bool TableAnnouncer::mayAnswer(const QHostAddress& asker) {
    const qint64 now = clock_.elapsed();
    if (now - secondStart_ >= 1000) {
        secondStart_ = now;
        answersThisSecond_ = 0;
    }
    if (answersThisSecond_ >= kAnswersPerSecond) return false;
    const auto last = lastAnswer_.constFind(asker);
    if (last != lastAnswer_.cend() && now - *last < kAskerIntervalMs) return false;
    if (last == lastAnswer_.cend() && lastAnswer_.size() >= kMaxAskers) {
        for (auto it = lastAnswer_.begin(); it != lastAnswer_.end();)
            it = now - it.value() >= kAskerIntervalMs ? lastAnswer_.erase(it) : std::next(it);
        if (lastAnswer_.size() >= kMaxAskers) return false;
    }
    lastAnswer_.insert(asker, now);
    ++answersThisSecond_;
    return true;
}

discovery::Answer describeTable(const ServerConnections& server, const std::string& name) {
    const TableSummary summary = summarise(server.server().state());
    discovery::Answer answer;
    answer.version = std::string(proto::kVersion);
    answer.port = server.port();
    const auto& host = summary.seats[0];
    answer.name = !name.empty() ? name : host.computer ? std::string() : host.name;
    for (int seat = 1; seat <= 3; ++seat) {
        answer.seats[seat - 1] = summary.seats[seat - 1].name;
        if (summary.seats[seat - 1].computer) answer.computerSeats += char('0' + seat);
    }
    answer.spectators = std::min(summary.spectators, 6);
    answer.round = summary.playing ? summary.round : 0;
    answer.rounds = summary.rounds;
    std::string strength(strengthName(server.botStrength(2)));
    std::transform(strength.begin(), strength.end(), strength.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    answer.strength = strength;
    return answer;
}

}  // namespace tessarin
