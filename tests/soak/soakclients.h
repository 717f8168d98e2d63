// The clients of the soak test, each on its own loopback connection to the server: honest
// ones that check every byte the server meant for them and play their turns, and five that
// misbehave. All run on the test's one event loop.
#pragma once

#include <QTcpSocket>
#include <QTimer>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "framing.h"

namespace tessarin::soak {

// A connection to 127.0.0.1:port that cuts what arrives into messages.
class Client {
  public:
    explicit Client(int port);
    virtual ~Client() = default;
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    void open();
    // Closes without waiting for unsent bytes; no reconnect follows.
    void stop();
    int seat() const { return seat_; }
    void send(std::string_view bytes);

  protected:
    // Every received chunk, before framing.
    virtual void onBytes(std::string_view) {}
    virtual void onMessage(const std::string& message);
    // The server closed the connection (or a write failed).
    virtual void onClosed() {}
    void reopenLater(int ms);

    QTcpSocket socket_;
    int seat_ = 0;

  private:
    int port_;
    proto::Framer framer_;
    bool stopped_ = false;
};

// A player or watcher that never misbehaves. The server's record of what it sent to this
// seat is handed to expect(); what arrives must be exactly that, in order.
class HonestClient : public Client {
  public:
    // A player places a tile whenever the turn is its own; a watcher only listens.
    HonestClient(int port, std::string name, bool plays);

    // The server is about to send these bytes to this client's seat.
    void expect(std::string_view bytes) { pending_ += bytes; }
    // Everything expected has arrived, and nothing else.
    bool drained() const { return pending_.empty() && fault_.empty(); }
    // The first difference from what the server sent; empty while there is none.
    const std::string& fault() const { return fault_; }

    bool loggedIn() const { return loggedIn_; }
    int winners() const { return winners_; }
    std::uint64_t bytes() const { return bytes_; }
    std::uint64_t messages() const { return messages_; }
    // This game's "CMD_placeletter" messages in order, and the board they build.
    const std::vector<std::string>& placements() const { return placements_; }
    int rounds() const { return rounds_; }
    const std::array<std::array<int, 7>, 7>& board() const { return board_; }
    // Numbers of the slow chat lines of seat `slowSeat` seen, in order.
    std::vector<int> slowLines(int slowSeat) const;
    // The longest message received, without its 0xFF.
    std::size_t longest() const { return longest_; }
    // Arrivals announced under a name starting with `prefix`.
    int arrivals(std::string_view prefix) const;
    // Departures announced of seats that never gave a name.
    int namelessDepartures() const { return namelessDepartures_; }

  protected:
    void onBytes(std::string_view bytes) override;
    void onMessage(const std::string& message) override;
    void onClosed() override;

  private:
    void place(int column);

    std::string name_;
    bool plays_;
    std::string pending_;
    std::string fault_;
    bool loggedIn_ = false;
    int winners_ = 0;
    std::uint64_t bytes_ = 0;
    std::uint64_t messages_ = 0;
    std::vector<std::string> placements_;
    int rounds_ = 0;
    std::array<std::array<int, 7>, 7> board_{};
    std::array<int, 7> rack_{};
    std::array<bool, 7> refused_{};  // rows the server refused for this turn
    int turnColumn_ = 0;
    std::vector<std::string> chats_;
    std::vector<std::string> arrivals_;
    std::size_t longest_ = 0;
    int namelessDepartures_ = 0;
};

// Logs in and sends a chat line of 819 smiley codes (4,095 characters) every 10 ms, the
// pace at which the server relays; counts its lines relayed back and the server's notices.
class Flooder : public Client {
  public:
    explicit Flooder(int port);
    std::uint64_t sent() const { return sent_; }
    std::uint64_t echoed() const { return echoed_; }
    int notices() const { return notices_; }
    int reconnects() const { return reconnects_; }

  protected:
    void onMessage(const std::string& message) override;
    void onClosed() override;

  private:
    QTimer timer_;
    std::string line_;
    std::uint64_t sent_ = 0;
    std::uint64_t echoed_ = 0;
    int notices_ = 0;
    int reconnects_ = 0;
};

// Logs in under a 60,000-byte name, sends one 60,000-byte chat line, then logs in again
// every 10 ms under 2,000-byte names.
class Relogger : public Client {
  public:
    explicit Relogger(int port);
    int connections() const { return connections_; }
    std::uint64_t relogins() const { return relogins_; }

  protected:
    void onMessage(const std::string& message) override;
    void onClosed() override;

  private:
    QTimer timer_;
    int connections_ = 0;
    std::uint64_t relogins_ = 0;
};

// Random bytes with fragments of the protocol in them, a burst every few milliseconds.
class Garbage : public Client {
  public:
    explicit Garbage(int port);
    std::uint64_t sent() const { return sent_; }
    int reconnects() const { return reconnects_; }

  protected:
    void onClosed() override;

  private:
    void burst();
    QTimer timer_;
    std::mt19937 random_{1234};
    std::uint64_t sent_ = 0;
    int reconnects_ = 0;
};

// Logs in and then sends chat lines "slow N", N = 1, 2, ..., one byte every `byteMs`;
// at a fast pace the lines are padded with dots, so that they keep to the chat rate.
class Trickler : public Client {
  public:
    Trickler(int port, int byteMs);
    int completed() const { return completed_; }
    int reconnects() const { return reconnects_; }

  protected:
    void onMessage(const std::string& message) override;
    void onClosed() override;

  private:
    void nextByte();
    QTimer timer_;
    std::string queue_;
    std::string padding_;
    int started_ = 0;
    int completed_ = 0;
    int reconnects_ = 0;
};

// Connects, logs in on whichever seat it is given, and leaves again after a few
// milliseconds, over and over; every other time it stays silent, never logging in.
class Looper : public Client {
  public:
    explicit Looper(int port) : Client(port) {}
    int cycles() const { return cycles_; }
    int silentCycles() const { return silent_; }

  protected:
    void onMessage(const std::string& message) override;
    void onClosed() override;

  private:
    std::mt19937 random_{99};
    int cycles_ = 0;
    int silent_ = 0;
};

}  // namespace tessarin::soak
