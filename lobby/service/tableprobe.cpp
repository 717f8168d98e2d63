#include "tableprobe.h"

#include <QNetworkProxy>

#include "protocol.h"

namespace tessarin::lobby {

void TableProbe::start(const QString& host, int port, std::chrono::milliseconds timeout,
                       std::function<void(bool, const QString&)> done, QObject* parent) {
    auto* probe = new TableProbe(std::move(done), parent);
    probe->timeout_.start(timeout);
    probe->socket_.connectToHost(host, quint16(port));
}

TableProbe::TableProbe(std::function<void(bool, const QString&)> done, QObject* parent)
    : QObject(parent), done_(std::move(done)) {
    socket_.setProxy(QNetworkProxy::NoProxy);
    socket_.setReadBufferSize(kMaxBytes);
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] { finish(false, "no answer in time"); });
    connect(&socket_, &QTcpSocket::readyRead, this, &TableProbe::readSome);
    connect(&socket_, &QTcpSocket::errorOccurred, this,
            [this] { finish(false, socket_.errorString()); });
}

void TableProbe::readSome() {
    read_ += socket_.read(kMaxBytes - read_.size());
    const qsizetype end = read_.indexOf(proto::kTerminator);
    if (end < 0) {
        if (read_.size() >= kMaxBytes) finish(false, "no message in the first bytes");
        return;
    }
    const auto message = proto::split(std::string_view(read_.constData(), size_t(end)));
    const bool table =
        message && (message->command == proto::kSendLoginInfo || message->command == proto::kFull);
    finish(table, table ? QString() : QStringLiteral("the first message is not a game server's"));
}

void TableProbe::finish(bool answered, const QString& why) {
    if (!done_) return;
    timeout_.stop();
    socket_.disconnect(this);
    socket_.abort();
    auto done = std::move(done_);
    done_ = nullptr;
    deleteLater();
    done(answered, why);
}

}  // namespace tessarin::lobby
