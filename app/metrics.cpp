#include "metrics.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

#include "serverconnections.h"
#include "tablesummary.h"

namespace tessarin {

namespace {

// One family: its HELP and TYPE lines, then its samples.
class Exposition {
  public:
    void family(const char* name, const char* type, const char* help) {
        text_ += QByteArray("# HELP ") + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n';
    }
    void sample(const QByteArray& name, double value) {
        text_ += name + ' ' + QByteArray::number(value, 'g', 12) + '\n';
    }
    void single(const char* name, const char* type, const char* help, double value) {
        family(name, type, help);
        sample(name, value);
    }
    const QByteArray& text() const { return text_; }

  private:
    QByteArray text_;
};

// Qt HttpServer would read a request of any size into memory: here the socket keeps at most
// kMaxRequest bytes unread (the rest waits in the peer's kernel), and a connection that
// sends more than that before an answer is cut.
class BoundedListener : public QTcpServer {
  public:
    static constexpr qint64 kMaxRequest = 64 * 1024;

    QTcpSocket* nextPendingConnection() override {
        QTcpSocket* socket = QTcpServer::nextPendingConnection();
        if (socket == nullptr) return nullptr;
        socket->setReadBufferSize(kMaxRequest);
        // Connected before Qt HttpServer's own handler, so each piece is counted unread.
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            const qint64 received =
                socket->property("received").toLongLong() + socket->bytesAvailable();
            socket->setProperty("received", received);
            if (received > kMaxRequest)  // not while Qt HttpServer's handler is still to run
                QMetaObject::invokeMethod(socket, &QTcpSocket::abort, Qt::QueuedConnection);
        });
        connect(socket, &QTcpSocket::bytesWritten, socket,
                [socket] { socket->setProperty("received", 0); });
        return socket;
    }
};

int lettersOn(const GameState& state) {
    int letters = 0;
    for (int row = 1; row <= kRows; ++row)
        for (int column = 1; column <= kColumns; ++column) letters += state.board[row][column] != 0;
    return letters;
}

}  // namespace

Metrics::Metrics(const ServerConnections& server) : server_(server) {
    http_.route("/metrics", [this] {
        return QHttpServerResponse("text/plain; version=0.0.4; charset=utf-8", text());
    });
}

quint16 Metrics::listen(const proto::HostPort& address) {
    const QHostAddress host = address.host == "localhost"
                                  ? QHostAddress(QHostAddress::LocalHost)
                                  : QHostAddress(QString::fromStdString(address.host));
    if (host.isNull()) return 0;
    auto listener = std::make_unique<BoundedListener>();
    if (!listener->listen(host, static_cast<quint16>(address.port))) return 0;
    const quint16 port = listener->serverPort();
    http_.bind(listener.release());  // its parent from now on
    return port;
}

void Metrics::stepped() {
    const GameState& state = server_.server().state();
    gamesStarted_ += !playing_ && state.gamestarted;
    gamesFinished_ += playing_ && !state.gamestarted;
    playing_ = state.gamestarted;
    // One letter at most per call; a new round clears the board.
    const int letters = lettersOn(state);
    if (letters > lettersOnBoard_) placements_ += letters - lettersOnBoard_;
    lettersOnBoard_ = letters;

    const double seconds = std::chrono::duration<double>(server_.lastStep()).count();
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
        if (seconds <= kBuckets[i]) {
            ++stepBuckets_[i];
            break;
        }
    }
    ++steps_;
    stepSeconds_ += seconds;
}

QByteArray Metrics::text() const {
    const TableSummary table = summarise(server_.server().state());
    const auto& tally = server_.tally();
    Exposition out;
    out.single("tessarin_connections", "gauge", "Open connections, players and spectators.",
               server_.connections());
    out.single("tessarin_seated_players", "gauge", "Logged-in people in seats 1 to 3.",
               table.players);
    out.single("tessarin_spectators", "gauge", "Logged-in people in seats 4 to 9.",
               table.spectators);
    out.single("tessarin_games_started_total", "counter", "Games started.", gamesStarted_);
    out.single("tessarin_games_finished_total", "counter", "Games that had their winner.",
               gamesFinished_);
    out.single("tessarin_placements_total", "counter", "Letters placed on the board.", placements_);
    out.family("tessarin_dispatch_seconds", "histogram",
               "Wall time of each call into the game: a message, a timer's tick, a "
               "connection arriving or leaving.");
    std::uint64_t cumulative = 0;
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
        cumulative += stepBuckets_[i];
        out.sample("tessarin_dispatch_seconds_bucket{le=\"" +
                       QByteArray::number(kBuckets[i], 'g', 6) + "\"}",
                   cumulative);
    }
    out.sample("tessarin_dispatch_seconds_bucket{le=\"+Inf\"}", steps_);
    out.sample("tessarin_dispatch_seconds_sum", stepSeconds_);
    out.sample("tessarin_dispatch_seconds_count", steps_);
    out.single("tessarin_queued_bytes", "gauge", "Bytes of received messages not yet handled.",
               server_.queuedBytes());
    out.single("tessarin_unsent_bytes", "gauge", "Bytes sent to connections not yet written.",
               server_.unsentBytes());
    out.single("tessarin_chat_lines_dropped_total", "counter",
               "Chat lines over a seat's rate, not relayed.", tally.chatDropped);
    out.single("tessarin_connections_refused_total", "counter",
               "Connections refused: the game was full or the table closing.", tally.refused);
    out.single("tessarin_connections_closed_no_login_total", "counter",
               "Connections closed for not logging in in time.", tally.noLogin);
    return out.text();
}

}  // namespace tessarin
