#include "soakclients.h"

#include <algorithm>

#include "protocol.h"
#include "serverlimits.h"

namespace tessarin::soak {

namespace {

// The fields of a message after its command word.
std::vector<std::string_view> fieldsOf(std::string_view message) {
    std::vector<std::string_view> out;
    const auto split = proto::split(message);
    if (!split) return out;
    proto::FieldReader reader(split->payload);
    while (!reader.atEnd()) out.push_back(reader.field());
    return out;
}

int number(std::string_view text) {
    return proto::toInt(text).value_or(-1);
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

Client::Client(int port) : port_(port) {
    QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] {
        const QByteArray bytes = socket_.readAll();
        const std::string_view chunk(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        onBytes(chunk);
        std::vector<std::string> messages;
        framer_.feed(chunk, messages);
        for (const std::string& message : messages) onMessage(message);
    });
    QObject::connect(&socket_, &QTcpSocket::disconnected, &socket_, [this] {
        if (!stopped_) onClosed();
    });
}

void Client::open() {
    framer_ = proto::Framer();
    seat_ = 0;
    socket_.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port_));
}

void Client::stop() {
    stopped_ = true;
    socket_.abort();
}

void Client::send(std::string_view bytes) {
    if (socket_.state() != QAbstractSocket::ConnectedState) return;
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void Client::onMessage(const std::string& message) {
    if (startsWith(message, proto::kSendLoginInfo)) seat_ = number(fieldsOf(message).at(0));
}

void Client::reopenLater(int ms) {
    QTimer::singleShot(ms, &socket_, [this] {
        if (!stopped_) open();
    });
}

HonestClient::HonestClient(int port, std::string name, bool plays)
    : Client(port), name_(std::move(name)), plays_(plays) {}

std::vector<int> HonestClient::slowLines(int slowSeat) const {
    std::vector<int> numbers;
    const std::string head = "CMD_chat+" + std::to_string(slowSeat) + "+Trickle chats: slow ";
    for (const std::string& line : chats_) {
        if (!startsWith(line, head) || !line.ends_with("|clGreen")) continue;
        const std::string_view text = std::string_view(line).substr(
            head.size(), line.size() - head.size() - std::string_view("|clGreen").size());
        numbers.push_back(number(text.substr(0, text.find('.'))));
    }
    return numbers;
}

int HonestClient::arrivals(std::string_view prefix) const {
    return static_cast<int>(
        std::count_if(arrivals_.begin(), arrivals_.end(),
                      [&](const std::string& n) { return startsWith(n, prefix); }));
}

void HonestClient::onBytes(std::string_view bytes) {
    bytes_ += bytes.size();
    if (!fault_.empty()) return;
    if (bytes.size() > pending_.size() || pending_.compare(0, bytes.size(), bytes) != 0) {
        fault_ = name_ + " received \"" + std::string(bytes.substr(0, 80)) +
                 "\" where the server had sent \"" + pending_.substr(0, 80) + "\"";
        return;
    }
    pending_.erase(0, bytes.size());
}

void HonestClient::onClosed() {
    if (fault_.empty()) fault_ = "the server closed " + name_ + "'s connection";
}

void HonestClient::onMessage(const std::string& message) {
    Client::onMessage(message);
    ++messages_;
    longest_ = std::max(longest_, message.size());
    const auto split = proto::split(message);
    if (!split) return;
    const std::string_view command = split->command;
    const std::vector<std::string_view> f = fieldsOf(message);
    const bool mine = !f.empty() && number(f[0]) == seat_;

    if (command == proto::kSendLoginInfo) {
        send(proto::request::logininfo(seat_, proto::kVersion, name_));
    } else if (command == proto::kNewPlayerInfo) {
        loggedIn_ = loggedIn_ || mine;
        if (f.size() >= 2) arrivals_.emplace_back(f[1]);
    } else if (command == proto::kPlayerDisconnected) {
        namelessDepartures_ += f.size() < 2 || f[1].empty();
    } else if (command == proto::kStartGame) {
        placements_.clear();
        rounds_ = 0;
    } else if (command == proto::kRoundStart) {
        ++rounds_;
        board_ = {};
    } else if (command == proto::kMyTiles && mine) {
        for (std::size_t i = 1; i + 1 < f.size(); i += 2) {
            const int slot = number(f[i]);
            if (slot >= 1 && slot <= 6) rack_[slot] = number(f[i + 1]);
        }
    } else if (command == proto::kNextPlayer && mine && plays_ && f.size() >= 2) {
        refused_ = {};
        turnColumn_ = number(f[1]);
        place(turnColumn_);
    } else if (command == proto::kErrorNum && mine && plays_) {
        place(turnColumn_);
    } else if (command == proto::kPlaceLetter && f.size() >= 4) {
        placements_.push_back(message);
        const int row = number(f[1]), column = number(f[2]);
        if (row >= 1 && row <= 6 && column >= 1 && column <= 6) board_[row][column] = number(f[3]);
    } else if (command == proto::kWinner) {
        ++winners_;
    } else if (command == proto::kChat &&
               message.find("Trickle chats: slow ") != std::string::npos) {
        chats_.push_back(message);
    }
}

// Puts the first tile of the rack into the first row open in this column; a row the server
// refuses is not tried again this turn.
void HonestClient::place(int column) {
    if (column < 1 || column > 6) return;
    int slot = 1;
    while (slot <= 6 && rack_[slot] == 0) ++slot;
    if (slot > 6) return;
    for (int row = 1; row <= 6; ++row) {
        if (refused_[row] || board_[row][column] != 0) continue;
        if (column > 1 && board_[row][column - 1] == 0) continue;
        refused_[row] = true;
        send(proto::request::placeit(seat_, slot, std::to_string(row * 10 + column)));
        return;
    }
}

Flooder::Flooder(int port) : Client(port) {
    for (int i = 0; i < 819; ++i) line_ += ":)#" + std::to_string(10 + i % 18);
    line_ += "|clRed";
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        send(proto::request::chat(seat_, line_));
        ++sent_;
    });
}

void Flooder::onMessage(const std::string& message) {
    Client::onMessage(message);
    if (startsWith(message, proto::kSendLoginInfo)) {
        send(proto::request::logininfo(seat_, proto::kVersion, "Flood"));
        timer_.start(10);
    } else if (startsWith(message, "CMD_chat+" + std::to_string(seat_) + "+Flood chats: ")) {
        ++echoed_;
    } else if (startsWith(message, "CMD_chat+0+")) {
        ++notices_;
    }
}

void Flooder::onClosed() {
    ++reconnects_;
    timer_.stop();
    reopenLater(20);
}

Relogger::Relogger(int port) : Client(port) {
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        send(proto::request::logininfo(seat_, proto::kVersion, "Relog" + std::string(1995, 'r')));
        ++relogins_;
    });
}

void Relogger::onMessage(const std::string& message) {
    Client::onMessage(message);
    if (!startsWith(message, proto::kSendLoginInfo)) return;
    ++connections_;
    send(proto::request::logininfo(seat_, proto::kVersion, "Relog" + std::string(59'995, 'R')));
    send(proto::request::chat(seat_, std::string(60'000, 'c') + "|clRed"));
    timer_.start(10);
}

void Relogger::onClosed() {
    timer_.stop();
    reopenLater(20);
}

Garbage::Garbage(int port) : Client(port) {
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { burst(); });
    timer_.start(5);
}

void Garbage::burst() {
    static constexpr std::string_view pieces[] = {"CMD_placeit+",
                                                  "CMD_chat+",
                                                  "CMD_kickhim+1+",
                                                  "CMD_startgame+",
                                                  "CMD_justwatch+",
                                                  "CMD_logininfo+",
                                                  "+",
                                                  "\xFF",
                                                  "\r\n",
                                                  "99999999999",
                                                  "-1",
                                                  "|clRed"};
    std::string bytes;
    const int length = std::uniform_int_distribution<int>(1, 1500)(random_);
    while (static_cast<int>(bytes.size()) < length) {
        if (std::uniform_int_distribution<int>(0, 19)(random_) == 0)
            bytes += pieces[std::uniform_int_distribution<std::size_t>(
                0, std::size(pieces) - 1)(random_)];
        else
            bytes += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random_));
    }
    sent_ += bytes.size();
    send(bytes);
}

void Garbage::onClosed() {
    ++reconnects_;
    reopenLater(20);
}

Trickler::Trickler(int port, int byteMs) : Client(port) {
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { nextByte(); });
    timer_.setInterval(byteMs);
    // A line must take longer than a chat window shared among its lines.
    const int bytes = limits::kChatWindowMs / limits::kChatLines * 13 / 10 / std::max(byteMs, 1);
    padding_ = std::string(static_cast<std::size_t>(std::max(0, bytes - 25)), '.');
}

void Trickler::onMessage(const std::string& message) {
    Client::onMessage(message);
    if (!startsWith(message, proto::kSendLoginInfo)) return;
    queue_ = proto::request::logininfo(seat_, proto::kVersion, "Trickle");
    started_ = completed_ = 0;
    timer_.start();
}

void Trickler::nextByte() {
    if (queue_.empty()) {
        completed_ = started_;
        queue_ = proto::request::chat(seat_,
                                      "slow " + std::to_string(++started_) + padding_ + "|clGreen");
    }
    send(queue_.substr(0, 1));
    queue_.erase(0, 1);
}

void Trickler::onClosed() {
    ++reconnects_;
    timer_.stop();
    reopenLater(20);
}

void Looper::onMessage(const std::string& message) {
    Client::onMessage(message);
    if (!startsWith(message, proto::kSendLoginInfo)) return;
    if (cycles_ % 2 == 0)
        send(proto::request::logininfo(seat_, proto::kVersion, "Loop"));
    else
        ++silent_;
    const int stay = std::uniform_int_distribution<int>(0, 30)(random_);
    QTimer::singleShot(stay, &socket_, [this] { socket_.abort(); });
}

void Looper::onClosed() {
    ++cycles_;
    reopenLater(1);
}

}  // namespace tessarin::soak
