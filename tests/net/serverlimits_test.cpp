// What the server does with input it must not trust: spoofed seats, floods, malformed
// numbers, peers that do not read, and running out of descriptors.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "protocol.h"
#include "serverfixture.h"
#include "serverlimits.h"

namespace tessarin::testing {
namespace {

using LimitsOverTcp = ServerOnTcp;

bool anyFrom(const std::vector<std::string>& lines, std::string_view prefix, std::size_t from) {
    return std::any_of(lines.begin() + static_cast<long>(from), lines.end(),
                       [&](const std::string& l) { return l.starts_with(prefix); });
}

TEST_F(LimitsOverTcp, MessagesNamingAnotherSeatAreDropped) {
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    ASSERT_GE(ann.awaitMessage("CMD_newplayerinfo+2+Bob"), 0);
    const std::size_t before = ann.received.size();
    const char* spoofs[] = {
        "CMD_chat+1+I am Ann|clRed\xFF",
        "CMD_action+1+waves|clRed\xFF",
        "CMD_playasound+1+wave2+\xFF",
        "CMD_logininfo+1+1.0.1+Mallory\xFF",
        "CMD_kickhim+1+1+\xFF",
        "CMD_kickhim+2+1+\xFF",
        "CMD_justwatch+1+2\xFF",
        "CMD_startgame+Bob+1+\xFF",
        "CMD_chat+12+x|clRed\xFF",
        "CMD_chat+-1+x|clRed\xFF",
        "CMD_logininfo+0+1.0.1+Nobody\xFF",
        "CMD_chat+2000000000+x|clRed\xFF",
    };
    for (const char* spoof : spoofs) bob.sendRaw(spoof);
    bob.sock.Send(proto::request::chat(2, "done|clRed"));
    const int done = ann.awaitMessage("CMD_chat+2+Bob chats: done|clRed", before);
    ASSERT_GE(done, 0);
    EXPECT_EQ(static_cast<std::size_t>(done), before) << ann.received[before];
    EXPECT_FALSE(ann.closed());
    EXPECT_EQ(server.server().state().players[1].name, "Ann");
    EXPECT_FALSE(server.server().state().gamestarted);
}

// Texts past their length are cut before anybody sees them; the relayed line stays short.
TEST_F(LimitsOverTcp, NamesAndTextsAreCutToTheirLengths) {
    TestClient& ann = join("Ann");
    TestClient& bob = connect();
    const std::string longName = std::string(60'000, 'B');
    const std::string name(proto::kMaxNameLength, 'B');
    bob.login(longName);
    ASSERT_GE(ann.awaitMessage("CMD_newplayerinfo+2+"), 0);
    EXPECT_EQ(ann.received.back(), "CMD_newplayerinfo+2+" + name + "+0");

    const std::string text(proto::kMaxChatText, 't');
    const std::string colour(proto::kMaxColourText, '$');
    const struct {
        std::string sent;
        std::string relayed;
    } cases[] = {
        {proto::request::chat(2, std::string(60'000, 't') + "|" + std::string(500, '$')),
         "CMD_chat+2+" + name + " chats: " + text + "|" + colour},
        {proto::request::action(2, std::string(60'000, 't') + "|clRed"),
         "CMD_action+2+" + name + " " + text + "|clRed"},
        {proto::request::chat(2, std::string(60'000, 't')),
         "CMD_chat+2+" + name + " chats: " + text},
        {proto::request::playasound(2, std::string(60'000, 'w')),
         "CMD_playasound+2+" + std::string(proto::kMaxSoundText, 'w')},
    };
    for (const auto& c : cases) {
        const std::size_t from = ann.received.size();
        bob.sendRaw(c.sent);
        const int at = ann.awaitMessage(c.relayed.substr(0, 12), from);
        ASSERT_GE(at, 0) << c.relayed.substr(0, 12);
        EXPECT_EQ(ann.received[static_cast<std::size_t>(at)], c.relayed);
        EXPECT_LE(c.relayed.size() + 1, proto::kMaxRelayedLine);
    }
    EXPECT_FALSE(ann.closed());
}

// Chat beyond the rate in force is dropped on arrival, and only its sender hears about it,
// once; the allowance is the connection's, so whoever comes next in the seat has it whole.
TEST_F(LimitsOverTcp, ChatBeyondTheRateIsDroppedAndItsSenderToldOnce) {
    constexpr int kLines = 5;
    server.setChatRate(kLines, 60'000);
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    std::string burst;
    for (int i = 1; i <= 20; ++i) burst += proto::request::chat(2, std::to_string(i) + "|clRed");
    bob.sendRaw(burst + proto::request::action(2, "waves|clRed") +
                proto::request::playasound(2, "wave1"));
    ASSERT_GE(ann.awaitMessage("CMD_chat+2+Bob chats: 5|clRed"), 0);
    ann.sock.Send(proto::request::chat(1, "mine|clRed"));
    ASSERT_GE(ann.awaitMessage("CMD_chat+1+Ann chats: mine"), 0);
    ASSERT_GE(bob.awaitMessage("CMD_chat+1+Ann chats: mine"), 0);
    std::vector<std::string> relayed;
    for (const auto& line : ann.received)
        if (line.starts_with("CMD_chat+2+") || line.starts_with("CMD_action+2+") ||
            line.starts_with("CMD_playasound+2+"))
            relayed.push_back(line);
    ASSERT_EQ(relayed.size(), static_cast<std::size_t>(kLines));
    EXPECT_EQ(relayed.back(), "CMD_chat+2+Bob chats: 5|clRed");
    const auto notices = [](const TestClient& c) {
        return std::count_if(c.received.begin(), c.received.end(),
                             [](const std::string& l) { return l.starts_with("CMD_chat+0+"); });
    };
    EXPECT_EQ(notices(bob), 1);
    EXPECT_EQ(notices(ann), 0);
    EXPECT_TRUE(std::any_of(bob.received.begin(), bob.received.end(), [](const std::string& l) {
        return l ==
               "CMD_chat+0+Too much chat: 5 lines in 60 seconds at most; the others did not see "
               "the rest.|clBlue";
    }));

    bob.sock.Close();
    ASSERT_GE(ann.awaitMessage("CMD_playerdisconnected+2+Bob"), 0);
    TestClient& dan = join("Dan");
    ASSERT_EQ(dan.seat, 2);
    std::string greetings;
    for (int i = 1; i <= kLines; ++i) greetings += proto::request::chat(2, "hi|clRed");
    dan.sendRaw(greetings);
    ASSERT_TRUE(waitFor([&] {
        return std::count(ann.received.begin(), ann.received.end(),
                          "CMD_chat+2+Dan chats: hi|clRed") == kLines;
    }));
    EXPECT_EQ(notices(dan), 0);
}

// A connection that has not logged in is nobody, even in the host's seat: nothing it asks
// for happens or is relayed.
TEST_F(LimitsOverTcp, NothingBeforeLoginIsRelayedOrDone) {
    TestClient& anon = connect();
    ASSERT_EQ(anon.seat, 1);
    TestClient& bob = join("Bob");
    for (const std::string& request :
         {proto::request::chat(1, "hello|clRed"), proto::request::action(1, "waves|clRed"),
          proto::request::playasound(1, "wave1"), proto::request::startgame("x", "1"),
          proto::request::placeit(1, 1, "11"), proto::request::justwatch(2, true),
          proto::request::kickhim(1, 2)})
        anon.sock.Send(request);
    anon.login("Ann");
    ASSERT_GE(bob.awaitMessage("CMD_newplayerinfo+1+Ann+0"), 0);
    EXPECT_EQ(bob.received,
              (std::vector<std::string>{"CMD_sendlogininfo+2", bob.messages(proto::kSecret).at(0),
                                        "CMD_newplayerinfo+2+Bob+0", "CMD_newplayerinfo+1+Ann+0"}));
    EXPECT_FALSE(server.server().state().gamestarted);
    EXPECT_FALSE(bob.closed());
}

// A connection logs in once: repeats change no name and reach nobody.
TEST_F(LimitsOverTcp, ASecondLoginIsIgnored) {
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    for (int i = 0; i < 5; ++i) bob.sock.Send(proto::request::logininfo(2, "1.0.1", "Mallory"));
    bob.sock.Send(proto::request::chat(2, "done|clRed"));
    ASSERT_GE(ann.awaitMessage("CMD_chat+2+Bob chats: done"), 0);
    EXPECT_EQ(ann.messages(proto::kNewPlayerInfo).size(), 2u);
    EXPECT_EQ(server.server().state().players[2].name, "Bob");
}

// Connections that come and go without logging in are not announced, and the log sums
// them up instead of giving each its lines.
TEST_F(LimitsOverTcp, ChurnBeforeLoginIsNeitherAnnouncedNorLoggedLineByLine) {
    TestClient& ann = join("Ann");
    for (int i = 0; i < 20; ++i) {
        const int raw = rawConnect(server.port());
        ASSERT_GE(raw, 0);
        ASSERT_TRUE(waitFor([&] { return server.seatOpen(2); }));
        ::close(raw);
        ASSERT_TRUE(waitFor([&] { return !server.seatOpen(2); }));
    }
    ann.sock.Send(proto::request::chat(1, "alone|clRed"));
    ASSERT_GE(ann.awaitMessage("CMD_chat+1+Ann chats: alone"), 0);
    EXPECT_TRUE(ann.messages(proto::kPlayerDisconnected).empty());
    server.summariseLog();
    const auto churn = std::count_if(log.begin(), log.end(), [](const std::string& l) {
        return l.find("without logging in") != std::string::npos;
    });
    EXPECT_EQ(churn, 2);
    EXPECT_TRUE(logged("seat 2: a connection from 127.0.0.1 left without logging in"));
    EXPECT_TRUE(logged("19 more connections left without logging in within 30 s"));
}

TEST_F(LimitsOverTcp, LineBreaksAndTerminatorsNeverReachOtherClients) {
    TestClient& bob = join("Bob");
    TestClient& ann = connect();
    ann.sock.Send(proto::request::logininfo(2, "1.0.1", "A\rn+\nn"));
    ASSERT_GE(bob.awaitMessage("CMD_newplayerinfo+2+Ann+0"), 0);
    // A 0xFF cannot be sent inside a message; CR and LF can.
    ann.sock.Send(proto::request::chat(2, "one\r\ntwo|clRed"));
    ann.sock.Send(proto::request::action(2, "waves\r|clRed"));
    ASSERT_GE(bob.awaitMessage("CMD_chat+2+Ann chats: onetwo|clRed"), 0);
    ASSERT_GE(bob.awaitMessage("CMD_action+2+Ann waves|clRed"), 0);
}

TEST_F(LimitsOverTcp, TheHostMaySetSeatsTwoAndThreeToWatch) {
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    ann.sock.Send(proto::request::startgame("Ann", "1"));
    ASSERT_GE(bob.awaitMessage("CMD_nextplayer+"), 0);
    ann.sock.Send(proto::request::justwatch(2, true));
    ASSERT_GE(bob.awaitMessage("CMD_justwatching+2+1"), 0);
}

TEST_F(LimitsOverTcp, MalformedNumbersAreLoggedAndTheServerGoesOn) {
    TestClient& ann = join("Ann");
    const std::string bad[] = {"CMD_chat+x+hi|clRed", "CMD_kickhim++2+", "CMD_justwatch+\x1b[2J+1",
                               "CMD_placeit+99999999999+1+11+"};
    for (const auto& message : bad) ann.sendRaw(message + '\xFF');
    ann.sock.Send(proto::request::chat(1, "still here|clRed"));
    ASSERT_GE(ann.awaitMessage("CMD_chat+1+Ann chats: still here"), 0);
    const auto drops = std::count_if(log.begin(), log.end(), [](const std::string& l) {
        return l.starts_with("seat 1: message \"") && l.find("dropped") != std::string::npos;
    });
    EXPECT_EQ(drops, 4);
    EXPECT_TRUE(logged("seat 1: message \"CMD_chat+x+hi|clRed\" dropped: 'x' is not a valid"));
    for (const auto& line : log) EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
}

TEST_F(LimitsOverTcp, AnUnterminatedFloodIsClosed) {
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    bob.sendRaw(std::string(70 * 1024, 'A'));
    ASSERT_GE(ann.awaitMessage("CMD_playerdisconnected+2+Bob"), 0);
    ASSERT_TRUE(waitFor([&] { return bob.closed(); }));
    EXPECT_FALSE(server.seatOpen(2));
    EXPECT_EQ(server.pendingBytes(2), 0u);
    EXPECT_TRUE(logged("seat 2: closing the connection: a message without end passed 64 KiB"));
}

// These fill the queue with chat, so the chat rate must not stop it first.
TEST_F(LimitsOverTcp, TooManyWaitingMessagesCloseTheConnectionAndAreDropped) {
    server.setChatRate(1000, limits::kChatWindowMs);
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    std::string burst;
    for (std::size_t i = 0; i <= limits::kMaxQueuedMessages; ++i)
        burst += proto::request::chat(2, "spam|clRed");
    bob.sendRaw(burst);
    const int gone = ann.awaitMessage("CMD_playerdisconnected+2+Bob");
    ASSERT_GE(gone, 0);
    ASSERT_TRUE(waitFor([&] { return bob.closed(); }));
    EXPECT_EQ(server.queued(), 0u);
    EXPECT_TRUE(logged("seat 2: closing the connection: too many messages waiting"));

    // A newcomer in the same seat inherits nothing that was still queued.
    TestClient& dan = join("Dan");
    ASSERT_EQ(dan.seat, 2);
    dan.sock.Send(proto::request::chat(2, "hello|clRed"));
    const int hello = ann.awaitMessage("CMD_chat+2+Dan chats: hello");
    ASSERT_GE(hello, 0);
    for (int i = gone; i < hello; ++i) EXPECT_FALSE(ann.received[i].starts_with("CMD_chat+"));
}

TEST_F(LimitsOverTcp, AConnectionThatKeepsTheQueueFullDelaysOthersByATickEach) {
    server.setChatRate(1000, limits::kChatWindowMs);
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    constexpr int kLines = 200;
    std::string burst;
    for (int i = 0; i < kLines; ++i) burst += proto::request::chat(2, "spam|clRed");
    bob.sendRaw(burst);
    ASSERT_TRUE(waitFor([&] { return server.queued() >= 150; }));
    const auto waiting = static_cast<long>(server.queued());
    ann.sock.Send(proto::request::chat(1, "my turn|clRed"));
    const int mine = ann.awaitMessage("CMD_chat+1+Ann chats: my turn");
    ASSERT_GE(mine, 0);
    // Bob's lines relayed ahead of Ann's: those dispatched before hers arrived, and a few
    // ticks while it was on its way; not all that he had waiting.
    const auto ahead =
        std::count_if(ann.received.begin(), ann.received.begin() + mine,
                      [](const std::string& l) { return l.starts_with("CMD_chat+2+"); });
    EXPECT_LT(ahead, kLines - waiting + 10);
    EXPECT_TRUE(waitFor([&] { return ann.messages(proto::kChat).size() == kLines + 1u; }));
    EXPECT_FALSE(bob.closed());
}

TEST_F(LimitsOverTcp, MessagesOfALeaverAreNotDispatchedAfterItLeft) {
    server.setChatRate(1000, limits::kChatWindowMs);
    TestClient& ann = join("Ann");
    TestClient& bob = join("Bob");
    std::string last;
    for (int i = 0; i < 20; ++i) last += proto::request::chat(2, "bye|clRed");
    bob.sendRaw(last);
    bob.sock.Close();
    const int gone = ann.awaitMessage("CMD_playerdisconnected+2+Bob");
    ASSERT_GE(gone, 0);
    TestClient& dan = join("Dan");
    dan.sock.Send(proto::request::chat(2, "hello|clRed"));
    const int hello = ann.awaitMessage("CMD_chat+2+Dan chats: hello");
    ASSERT_GE(hello, 0);
    EXPECT_FALSE(anyFrom(ann.received, "CMD_chat+2+Dan chats: bye", 0));
    EXPECT_FALSE(
        anyFrom(ann.received, "CMD_chat+2+Bob chats: bye", static_cast<std::size_t>(gone)));
}

TEST_F(LimitsOverTcp, APeerThatDoesNotReadIsClosed) {
    TestClient& ann = join("Ann");
    const int raw = rawConnect(server.port());
    ASSERT_GE(raw, 0);
    ASSERT_TRUE(waitFor([&] { return server.seatOpen(2); }));
    const std::string big = std::string(512 * 1024, 'x') + '\xFF';
    for (int i = 0; i < 64 && server.seatOpen(2); ++i) {
        server.sendToSeat(2, big);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(waitFor([&] { return !server.seatOpen(2); }));
    EXPECT_TRUE(logged("seat 2: closing the connection: it does not read what it is sent"));
    // It never logged in, so nobody was told of its arrival or is told of its departure.
    EXPECT_TRUE(ann.messages(proto::kPlayerDisconnected).empty());
    ::close(raw);
}

// A player whose program stops (its process stopped, while its kernel still acknowledges
// every byte, so TCP alone sees nothing wrong) is noticed and leaves within 30 s, because
// it pinged and then went quiet.
TEST_F(LimitsOverTcp, AStoppedPeerIsNoticedWithinThirtySeconds) {
    TestClient& ann = join("Ann");
    const int port = server.port();
    // Composed before the fork: the child only makes system calls.
    const std::string hello =
        proto::request::logininfo(2, proto::kVersion, "Bob") + proto::request::ping();
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = rawConnect(port);
        char offer[64];
        if (fd < 0 || ::recv(fd, offer, sizeof offer, 0) <= 0) ::_exit(1);
        ::send(fd, hello.data(), hello.size(), MSG_NOSIGNAL);
        for (;;) ::pause();
    }
    ASSERT_GT(child, 0);
    ASSERT_GE(ann.awaitMessage("CMD_newplayerinfo+2+Bob+0"), 0);
    ::kill(child, SIGSTOP);
    QElapsedTimer stopped;
    stopped.start();
    const bool noticed =
        waitFor([&] { return !ann.messages(proto::kPlayerDisconnected).empty(); }, 40'000);
    const qint64 took = stopped.elapsed();
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(noticed);
    EXPECT_LT(took, 30'000);
    EXPECT_TRUE(logged("seat 2: closing the connection: no answer for 20 s"));
}

// Whether a blocking connection to address:port succeeds.
bool reaches(const char* address, int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address, &a.sin_addr);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// A solo game is for this machine alone. Run in a private network namespace where the
// machine has a second address: it reaches a hosted game, not a solo one.
TEST(SoloGame, IsNotReachableOnAnotherAddressOfTheMachine) {
    if (std::getenv("TESSARIN_IN_NETNS") == nullptr) {
        if (std::system("unshare -n true 2>/dev/null") != 0)
            GTEST_SKIP() << "cannot make a private network namespace here (needs root)";
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        const std::string run =
            "TESSARIN_IN_NETNS=1 unshare -n '" + self +
            "' --gtest_filter=SoloGame.IsNotReachableOnAnotherAddressOfTheMachine";
        ASSERT_EQ(std::system(run.c_str()), 0);
        return;
    }
    ASSERT_EQ(std::system("ip link set lo up && ip addr add 10.77.0.1/32 dev lo"), 0);
    ensureQtApp();
    TRandom random(1);
    ServerConnections solo(random, sharedDictionary());
    solo.listenLocal();
    ServerConnections hosted(random, sharedDictionary());
    hosted.setPortName("0");
    hosted.listen();
    EXPECT_TRUE(reaches("10.77.0.1", hosted.port()));
    EXPECT_TRUE(reaches("127.0.0.1", solo.port()));
    EXPECT_FALSE(reaches("10.77.0.1", solo.port()));
}

// Fills every free descriptor slot below a lowered limit, and gives them back.
class DescriptorsExhausted {
  public:
    DescriptorsExhausted() {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        int highest = 0;
        for (int fd = 0; fd < 4096; ++fd)
            if (::fcntl(fd, F_GETFD) != -1) highest = fd;
        rlimit lowered = saved_;
        lowered.rlim_cur = static_cast<rlim_t>(highest + 1);
        ::setrlimit(RLIMIT_NOFILE, &lowered);
        for (int fd; (fd = ::dup(0)) >= 0;) held_.push_back(fd);
    }
    ~DescriptorsExhausted() {
        for (int fd : held_) ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &saved_);
    }

  private:
    rlimit saved_{};
    std::vector<int> held_;
};

TEST_F(LimitsOverTcp, AFailedAcceptLeavesTheSeatFreeAndSendsNothing) {
    TestClient& ann = join("Ann");
    const std::size_t annHad = ann.received.size();
    const int raw = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(server.port()));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    {
        DescriptorsExhausted exhausted;
        ASSERT_EQ(::connect(raw, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ASSERT_TRUE(waitFor([&] { return logged("could not accept a connection"); }));
        EXPECT_FALSE(server.seatOpen(2));
        EXPECT_FALSE(server.server().state().players[2].connected);
        EXPECT_EQ(server.server().state().lastseat, 1);
    }
    EXPECT_EQ(ann.received.size(), annHad);
    // Once descriptors are back, the waiting connection gets the free seat.
    std::string got;
    ASSERT_TRUE(waitFor([&] {
        char buffer[64];
        const ssize_t n = ::recv(raw, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
        return got.find('\xFF') != std::string::npos;
    }));
    EXPECT_EQ(got, "CMD_sendlogininfo+2\xFF");
    ::close(raw);
}

}  // namespace
}  // namespace tessarin::testing
