// The server's framing and dispatch fed any bytes from up to three connections, the way
// ServerConnections delivers them, with the game timers ticked from the input as well.
// After every step the game must still hold together (check() below); a broken rule
// aborts, a sanitizer report is a crash too.
//
// Input: four bytes seed the game's random generator, then operations of one byte each,
// some followed by arguments:
//   op & 7 = 0..3  bytes from connection (op >> 3) % 3 + 1: a length byte, then that many
//                  bytes (fewer at the end of the input). A closed connection connects
//                  first, and takes the seat the server gives it.
//   op & 7 = 4     timer1 ticks (op >> 3) + 1 times, while it runs
//   op & 7 = 5     the computer player's timer likewise
//   op & 7 = 6     connection (op >> 3) % 3 + 1 closes, or connects when it is closed
//   op & 7 = 7     a silent client takes the next seat ((op >> 3) even) or the last one
//                  leaves, so that spectator seats and a full game come about
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framing.h"
#include "protocol.h"
#include "serverseams.h"
#include "tdictn.h"
#include "tserver.h"

namespace {

using namespace tessarin;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "server invariant broken: %s\n", what);
    std::abort();
}

void require(bool ok, const char* what) {
    if (!ok) fail(what);
}

// The word list's working copy, in a directory of its own for the whole run.
class WordList {
  public:
    WordList() {
        char dir[] = "/tmp/tessarin-fuzz-words-XXXXXX";
        if (::mkdtemp(dir) == nullptr) fail("no temporary directory");
        dir_ = dir;
        spell_.emplace(dir_);
    }
    ~WordList() {
        spell_.reset();
        std::filesystem::remove_all(dir_);
    }
    const TDictn& spell() const { return *spell_; }

  private:
    std::filesystem::path dir_;
    std::optional<TDictn> spell_;
};

class FuzzTicker : public Ticker {
  public:
    void start(int) override { running_ = true; }
    void stop() override { running_ = false; }
    bool running() const override { return running_; }

  private:
    bool running_ = false;
};

class Session;

class RecordingHost : public ServerHost {
  public:
    explicit RecordingHost(Session& session) : session_(session) {}
    void sendToSeat(int seat, const std::string& message) override;
    void showHostError(const std::string&) override {}
    void closeSeat(int seat) override;
    int botSpeedMs() const override { return 500; }
    int timeSpeedMs() const override { return 500; }

    std::vector<std::string> sent;  // this step's messages, to any seat

  private:
    Session& session_;
};

// One fuzz input's game: the server, its three connections and the silent clients.
class Session {
  public:
    Session(std::uint32_t seed, const TDictn& spell)
        : host_(*this), random_(seed), server_(host_, random_, spell, timer1_, computertimer_) {
        snapshot();
    }

    void receive(int connection, std::string_view bytes);
    void toggle(int connection);
    void silentClient(bool arrive);
    void tickTimer1(int times);
    void tickComputer(int times);

    // The connection layer closing a seat: the departure runs at once, as when a socket
    // reports "Socket Closed".
    void close(int seat);

  private:
    struct Connection {
        int seat = 0;  // 0 while closed
        proto::Framer framer{proto::Framer::kDefaultMaxPending};
    };

    bool open(Connection& c);
    void afterStep();
    void checkScores();
    void check(bool roundBegan) const;
    void snapshot();

    RecordingHost host_;
    TRandom random_;
    FuzzTicker timer1_;
    FuzzTicker computertimer_;
    TServer server_;
    std::array<Connection, 4> connections_;  // 1..3
    std::vector<int> silent_;                // seats held by clients that send nothing

    // What the clients were told: per playing seat, the points of every "CMD_ascore" since
    // the last "CMD_startgame", and the points scored while nobody at all was connected to
    // be told (the computer plays on alone after everybody left).
    std::array<long long, kPlayerSeats + 1> toldPoints_{};
    std::array<long long, kPlayerSeats + 1> unseenPoints_{};
    // The state before the step.
    GameState before_;
    bool anyoneConnected_ = false;
};

void RecordingHost::sendToSeat(int seat, const std::string& message) {
    require(seat >= 1 && seat <= kMaxSeats, "message to a seat outside 1..9");
    require(!message.empty() && message.back() == proto::kTerminator, "message without 0xFF");
    for (std::size_t i = 0; i + 1 < message.size(); ++i) {
        const char c = message[i];
        require(c != proto::kTerminator && c != '\r' && c != '\n',
                "0xFF, CR or LF inside a message");
    }
    sent.push_back(message.substr(0, message.size() - 1));
}

void RecordingHost::closeSeat(int seat) {
    session_.close(seat);
}

bool Session::open(Connection& c) {
    if (c.seat != 0) return true;
    const int seat = server_.chooseseat();
    if (seat == 0) return false;  // "CMD_full": the connection is dropped
    c = Connection{};
    c.seat = seat;
    server_.seattaken(seat);
    afterStep();
    return true;
}

void Session::receive(int connection, std::string_view bytes) {
    Connection& c = connections_[connection];
    if (!open(c)) return;
    std::vector<std::string> lines;
    if (!c.framer.feed(bytes, lines)) {
        close(c.seat);
        afterStep();
        return;
    }
    for (const std::string& line : lines) {
        if (c.seat == 0) break;  // removed by one of its own messages: the rest is dropped
        try {
            server_.dispatch(c.seat, line);
        } catch (const proto::ConversionError&) {
            // ServerConnections logs it and goes on with the next message.
        }
        afterStep();
    }
}

void Session::toggle(int connection) {
    Connection& c = connections_[connection];
    if (c.seat == 0) {
        open(c);
    } else {
        close(c.seat);
        afterStep();
    }
}

void Session::silentClient(bool arrive) {
    if (arrive) {
        const int seat = server_.chooseseat();
        if (seat == 0) return;
        silent_.push_back(seat);
        server_.seattaken(seat);
    } else {
        if (silent_.empty()) return;
        close(silent_.back());
    }
    afterStep();
}

void Session::tickTimer1(int times) {
    for (int i = 0; i < times && timer1_.running(); ++i) {
        server_.timer1Timer();
        afterStep();
    }
}

void Session::tickComputer(int times) {
    for (int i = 0; i < times && computertimer_.running(); ++i) {
        server_.computertimerTimer();
        afterStep();
    }
}

void Session::close(int seat) {
    bool held = false;
    for (Connection& c : connections_) {
        if (c.seat == seat && seat != 0) {
            c = Connection{};
            held = true;
        }
    }
    if (std::erase(silent_, seat) > 0) held = true;
    require(held, "the server closed a seat no connection holds");
    server_.departure(seat);
}

void Session::afterStep() {
    bool roundBegan = server_.state().round != before_.round;
    for (const std::string& message : host_.sent) {
        const auto split = proto::split(message);
        if (split && (split->command == proto::kStartGame || split->command == proto::kRoundStart))
            roundBegan = true;
    }
    checkScores();
    check(roundBegan);
    snapshot();
}

void Session::snapshot() {
    before_ = server_.state();
    anyoneConnected_ = false;
    for (const tplayer& p : before_.players) anyoneConnected_ |= p.connected;
    host_.sent.clear();
}

// Every score is the sum of the points the clients were told about since the game began.
void Session::checkScores() {
    const GameState& st = server_.state();
    std::set<std::string> scores;  // one "CMD_ascore" to all arrives once per seat
    for (const std::string& message : host_.sent) {
        const auto split = proto::split(message);
        if (!split) continue;
        if (split->command == proto::kStartGame) {
            toldPoints_.fill(0);
            unseenPoints_.fill(0);
        }
        if (split->command == proto::kAScore) scores.insert(message);
    }
    require(scores.size() <= 1, "two placements scored in one step");
    for (const std::string& message : scores) {
        proto::FieldReader fields(proto::split(message)->payload);
        const int seat = fields.integer();
        const int total = fields.integer();
        const int points = fields.integer();
        require(seat >= 1 && seat <= kPlayerSeats, "a score for a seat outside 1..3");
        require(points > 0, "a score of no points announced");
        toldPoints_[seat] += points;
        require(total == st.players[seat].score, "announced total differs from the score");
    }
    for (int seat = 1; seat <= kPlayerSeats; ++seat) {
        const int change = st.players[seat].score - before_.players[seat].score;
        if (change != 0 && scores.empty() && !anyoneConnected_) unseenPoints_[seat] += change;
        require(st.players[seat].score == toldPoints_[seat] + unseenPoints_[seat],
                "a score is not the sum of the points announced");
    }
}

void Session::check(bool roundBegan) const {
    const GameState& st = server_.state();
    require(st.lastseat >= 0 && st.lastseat <= kMaxSeats, "lastseat outside 0..9");
    require(st.whoseturn >= 0 && st.whoseturn <= kPlayerSeats, "whoseturn outside 0..3");
    require(st.column >= 0 && st.column <= kColumns, "column outside 0..6");
    require(st.columnplays >= 0 && st.columnplays <= kRows, "columnplays outside 0..6");
    require(st.drawpos >= 0 && st.drawpos <= kBagSize, "drawpos outside 0..75");
    require(st.round >= 0, "negative round");
    if (st.whoseturn != 0)
        require(st.players[st.whoseturn].inround, "the turn is with a seat not in the round");

    // Seats: exactly the seats the connections hold are connected, all within 1..lastseat.
    std::array<int, kSeatSlots + 1> holders{};
    for (const Connection& c : connections_)
        if (c.seat != 0) ++holders[c.seat];
    for (int seat : silent_) ++holders[seat];
    for (int seat = 0; seat <= kSeatSlots; ++seat) {
        const tplayer& p = st.players[seat];
        require(holders[seat] <= 1, "two connections hold one seat");
        require(p.connected == (holders[seat] == 1), "a seat's connected flag is wrong");
        if (p.connected)
            require(seat >= 1 && seat <= st.lastseat, "a connected seat outside 1..lastseat");
        for (int k = 0; k <= kRackSize; ++k) {
            const int tile = p.tiles[k];
            require(tile >= 0 && tile <= 26, "a rack holds a tile outside 0..26");
            if (k == 0 || seat == 0 || seat > kPlayerSeats)
                require(tile == 0, "a tile outside the playing racks");
        }
        if (seat == 0 || seat > kPlayerSeats) {
            require(p.score == 0 && !p.watching && !p.inround, "a spectator seat plays");
        }
    }

    // The board fills column by column; a placed letter stays until the next round.
    int filled = 0;
    int placed = 0;
    for (int r = 0; r <= kRows; ++r) {
        for (int c = 0; c <= kColumns; ++c) {
            const int cell = st.board[r][c];
            require(cell >= 0 && cell <= 26, "a board cell outside 0..26");
            if (r == 0 || c == 0) {
                require(cell == 0, "a letter outside rows and columns 1..6");
                continue;
            }
            if (cell == 0) {
                require(roundBegan || before_.board[r][c] == 0, "a letter vanished mid-round");
                continue;
            }
            ++filled;
            require(c <= st.column, "a letter beyond the current column");
            require(c == 1 || st.board[r][c - 1] != 0, "a letter with a gap before it");
            if (before_.board[r][c] == 0) ++placed;
            require(roundBegan || before_.board[r][c] == 0 || before_.board[r][c] == cell,
                    "a placed letter changed");
        }
    }
    require(placed <= 1, "two letters placed in one step");
    if (st.column >= 1)
        require(filled == (st.column - 1) * kRows + st.columnplays,
                "the board disagrees with the column count");
}

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return empty() ? 0 : data_[at_++]; }
    std::string_view bytes(std::size_t n) {
        n = std::min(n, size_ - std::min(at_, size_));
        std::string_view out(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return out;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const WordList words;
    Input in(data, size);
    std::uint32_t seed = 0;
    for (int i = 0; i < 4; ++i) seed = seed << 8 | in.byte();
    Session session(seed, words.spell());

    while (!in.empty()) {
        const std::uint8_t op = in.byte();
        const int arg = op >> 3;
        const int connection = arg % 3 + 1;
        switch (op & 7) {
            case 4:
                session.tickTimer1(arg + 1);
                break;
            case 5:
                session.tickComputer(arg + 1);
                break;
            case 6:
                session.toggle(connection);
                break;
            case 7:
                session.silentClient(arg % 2 == 0);
                break;
            default:
                session.receive(connection, in.bytes(in.byte()));
        }
    }
    return 0;
}
