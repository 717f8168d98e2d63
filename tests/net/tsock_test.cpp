#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <tuple>

#include "netclient.h"
#include "socklookup.h"
#include "tsock.h"

namespace tessarin::testing {
namespace {

// A listener on a free port that keeps every connection it accepts.
struct Listener {
    Listener() {
        ensureQtApp();
        sock.setPortName("0");
        sock.OnAccept = [this](TSock& l) {
            TSock* s = nullptr;
            if (l.Accept(s)) accepted.push_back(s);
        };
        sock.OnInfo = [this](TSock&, TSocketInfo, const std::string& msg) { infos.push_back(msg); };
        sock.setListen(true);
    }
    int port() const { return sock.localPort(); }
    TSock sock;
    std::vector<TSock*> accepted;
    std::vector<std::string> infos;
};

std::string raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const ESockException& e) {
        return e.what();
    }
    return "(nothing raised)";
}

TEST(SockErrors, WinsockNamesOfCodes) {
    const std::pair<int, std::string> table[] = {
        {10004, "WSAEINTR"},      {10024, "WSAEMFILE"},         {10035, "WSAEWOULDBLOCK"},
        {10048, "WSAEADDRINUSE"}, {10061, "WSAECONNREFUSED"},   {10071, "WSAEREMOTE"},
        {10101, "WSAEDISCON"},    {11001, "WSAHOST_NOT_FOUND"}, {11004, "WSANO_DATA"},
        {10034, "UNKNOWN ERROR"}, {10072, "UNKNOWN ERROR"},     {0, "UNKNOWN ERROR"},
    };
    for (const auto& [code, name] : table) EXPECT_EQ(TSock::errorName(code), name) << code;
    for (int code = 10035; code <= 10071; ++code)
        EXPECT_NE(TSock::errorName(code), "UNKNOWN ERROR") << code;
}

TEST(SockErrors, ErrnoMapsByMeaningNotByNumber) {
    const std::pair<int, int> table[] = {
        {ECONNREFUSED, 10061}, {EWOULDBLOCK, 10035},  {EADDRINUSE, 10048}, {ECONNRESET, 10054},
        {ETIMEDOUT, 10060},    {EHOSTUNREACH, 10065}, {EMFILE, 10024},     {EPIPE, 10058},
    };
    for (const auto& [err, code] : table) EXPECT_EQ(TSock::winsockCode(err), code) << err;
    // Linux's ENODATA is 61, Winsock's 10061 is WSAECONNREFUSED: no accidental match.
    EXPECT_EQ(TSock::errorName(TSock::winsockCode(ENODATA)), "UNKNOWN ERROR");
    EXPECT_GT(TSock::winsockCode(ENODATA), 10000);
}

TEST(HostLookup, NumericAddressesNeverReachTheNameService) {
    int queries = 0;
    HostCache cache([&](const std::string&) {
        ++queries;
        return numericAddress("10.0.0.1");
    });
    const std::tuple<std::string, int, std::string> found[] = {
        {"127.0.0.1", AF_INET, "127.0.0.1"},
        {"", AF_INET, "0.0.0.0"},
        {"::1", AF_INET6, "::1"},
        {"2001:db8::7", AF_INET6, "2001:db8::7"},
        {"::ffff:10.1.2.3", AF_INET6, "10.1.2.3"},
        {"fe80::1%lo", AF_INET6, "fe80::1"},
    };
    for (const auto& [name, family, text] : found) {
        EXPECT_EQ(cache.lookup(name).family(), family) << name;
        EXPECT_EQ(cache.lookup(name).text(), text) << name;
    }
    for (const std::string bad : {"300.1.1.1", "1.2.3", "::1::2", "fe80::1%nosuchif", "1:x"})
        EXPECT_EQ(raised([&] { cache.lookup(bad); }), "Host Lookup - Could Not Find Host Entry")
            << bad;
    EXPECT_EQ(queries, 0);
}

TEST(HostLookup, NamesAreResolvedOnceWhateverTheirCase) {
    std::vector<std::string> asked;
    HostCache cache([&](const std::string& name) -> std::optional<SockAddress> {
        asked.push_back(name);
        if (name == "nowhere") return std::nullopt;
        return numericAddress("2001:db8::1");
    });
    EXPECT_EQ(cache.lookup("gamehost").text(), "2001:db8::1");
    EXPECT_EQ(cache.lookup("GameHost").text(), "2001:db8::1");
    EXPECT_EQ(raised([&] { cache.lookup("nowhere"); }), "Host Lookup - Could Not Find Host Entry");
    EXPECT_EQ(raised([&] { cache.lookup("nowhere"); }), "Host Lookup - Could Not Find Host Entry");
    EXPECT_EQ(asked, (std::vector<std::string>{"gamehost", "nowhere", "nowhere"}));
}

TEST(PortLookup, NumbersAndServiceNames) {
    const std::pair<std::string, int> good[] = {
        {"7772", 7772}, {"0", 0}, {"65535", 65535}, {"http", 80}};
    for (const auto& [name, port] : good) EXPECT_EQ(lookupPort(name), port) << name;
    for (const std::string bad : {"65536", "77x", "99999999999", "", "no-such-service"})
        EXPECT_EQ(raised([&] { lookupPort(bad); }), "Port Lookup - Could Not Find Service Entry")
            << bad;
}

TEST(TSockCalls, MisusedCallsRaiseTheirTexts) {
    ensureQtApp();
    Listener listener;
    TSock closed;
    TSock* none = nullptr;
    const std::pair<std::function<void()>, std::string> table[] = {
        {[&] { closed.Send("x"); }, "Send - Socket Not Connected"},
        {[&] { listener.sock.Send("x"); }, "Send - Cannot Send On A Listener Socket"},
        {[&] { closed.Receive(); }, "Receive - Socket Not Connected"},
        {[&] { listener.sock.Receive(); }, "Receive - Cannot Receive On A Listener Socket"},
        {[&] { closed.Accept(none); }, "Accept - Socket Not In Listening Mode"},
    };
    for (const auto& [call, text] : table) EXPECT_EQ(raised(call), text);
}

TEST(TSockListen, PortInUseFailsToBindAndTheHandleStaysOpen) {
    Listener first;
    TSock second;
    std::vector<std::string> infos;
    second.OnInfo = [&](TSock&, TSocketInfo, const std::string& m) { infos.push_back(m); };
    second.setPortName(std::to_string(first.port()));
    EXPECT_EQ(raised([&] { second.setListen(true); }), "Listen - Error Binding Socket");
    EXPECT_FALSE(second.listening());
    EXPECT_EQ(raised([&] { second.setListen(true); }), "Listen - Socket Already In Use");
    second.Close();
    second.setPortName("0");
    second.setListen(true);
    EXPECT_TRUE(second.listening());
    second.setListen(true);
    second.setListen(false);
    EXPECT_EQ(infos,
              (std::vector<std::string>{"Lookup Of Port " + std::to_string(first.port()),
                                        "Socket Closed", "Lookup Of Port 0", "Listening Started",
                                        "Listening Already Running", "Listening Stopped"}));
}

TEST(TSockOpen, RefusedConnectIsReportedAsWinsockError) {
    ensureQtApp();
    // A bound port with nobody listening refuses connections.
    const int reserved = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ASSERT_EQ(::bind(reserved, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::getsockname(reserved, reinterpret_cast<sockaddr*>(&a), &length), 0);

    TestClient client(ntohs(a.sin_port));
    EXPECT_TRUE(waitFor([&] { return client.infos.size() >= 3; }));
    EXPECT_EQ(client.infos, (std::vector<std::string>{
                                "Lookup Of Port " + std::to_string(ntohs(a.sin_port)),
                                "Lookup Of Host 127.0.0.1", "Error #10061 (WSAECONNREFUSED)"}));
    EXPECT_FALSE(client.sock.connected());
    EXPECT_FALSE(client.sock.Open());  // the failed handle stays until Close
    client.sock.Close();
    EXPECT_FALSE(client.sock.isOpen());
    ::close(reserved);
}

TEST(TSockOpen, FailedLookupLeavesTheSocketClosed) {
    ensureQtApp();
    TSock sock;
    sock.setHostName("1.2.3.4.5");
    sock.setPortName("7772");
    EXPECT_EQ(raised([&] { sock.Open(); }), "Host Lookup - Could Not Find Host Entry");
    EXPECT_FALSE(sock.isOpen());
    sock.setHostName("127.0.0.1");
    sock.setPortName("not-a-port");
    EXPECT_EQ(raised([&] { sock.Open(); }), "Port Lookup - Could Not Find Service Entry");
    EXPECT_FALSE(sock.isOpen());
}

TEST(TSockStream, ConnectAcceptAndPeerCloseInOrder) {
    Listener listener;
    TestClient client(listener.port());
    bool connectedCalled = false;
    client.sock.OnConnect = [&](TSock&) { connectedCalled = true; };
    ASSERT_TRUE(waitFor([&] { return client.sock.connected() && listener.accepted.size() == 1; }));
    EXPECT_TRUE(connectedCalled);
    EXPECT_EQ(client.infos.back(), "Non-Blocking Socket Connected");
    EXPECT_EQ(listener.infos.back(), "Created New TSock Structure");
    TSock& server = *listener.accepted[0];
    EXPECT_TRUE(server.connected());
    EXPECT_EQ(server.hostName(), "127.0.0.1");
    EXPECT_EQ(server.portName(), "0");

    server.Close();
    ASSERT_TRUE(waitFor([&] { return client.closed(); }));
    EXPECT_EQ(client.events, (std::vector<std::string>{"disconnect", "closed"}));
    EXPECT_FALSE(client.sock.isOpen());
    EXPECT_FALSE(client.sock.Close());  // closing again still reports
    EXPECT_EQ(client.events.back(), "closed");
    EXPECT_EQ(client.events.size(), 3u);
}

TEST(TSockStream, ResetConnectionEndsLikeAClose) {
    Listener listener;
    const int raw = rawConnect(listener.port());
    ASSERT_GE(raw, 0);
    ASSERT_TRUE(waitFor([&] { return listener.accepted.size() == 1; }));
    TSock& server = *listener.accepted[0];
    std::vector<std::string> seen;
    server.OnDisconnect = [&](TSock&) { seen.push_back("disconnect"); };
    server.OnInfo = [&](TSock&, TSocketInfo, const std::string& m) { seen.push_back(m); };
    const linger abortive{1, 0};
    ::setsockopt(raw, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    ::close(raw);  // sends a reset
    ASSERT_TRUE(waitFor([&] { return !server.isOpen(); }));
    EXPECT_EQ(seen, (std::vector<std::string>{"Error #10054 (WSAECONNRESET)", "disconnect",
                                              "Socket Closed"}));
}

TEST(TSockStream, FullNetworkBufferKeepsTextAndDeliversItInOrder) {
    Listener listener;
    TestClient client(listener.port());
    std::string bytes;
    client.sock.OnRead = [&](TSock& s, std::size_t) { bytes += s.Receive(); };
    ASSERT_TRUE(waitFor([&] { return client.sock.connected() && listener.accepted.size() == 1; }));
    TSock& server = *listener.accepted[0];

    std::string big(32 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 23);
    server.Send(big);
    EXPECT_GT(server.pendingOutput(), 0u);  // more than the network takes at once
    server.Send("END");
    ASSERT_TRUE(waitFor([&] { return bytes.size() == big.size() + 3; }, 60000));
    EXPECT_EQ(server.pendingOutput(), 0u);
    EXPECT_TRUE(bytes.compare(0, big.size(), big) == 0);
    EXPECT_EQ(bytes.substr(big.size()), "END");
}

TEST(TSockInfo, AThrowingInfoHandlerIsReplacedButCloseSwallowsIt) {
    ensureQtApp();
    TSock sock;
    sock.setPortName("0");
    sock.OnInfo = [](TSock&, TSocketInfo, const std::string&) { throw std::runtime_error("x"); };
    EXPECT_EQ(raised([&] { sock.setListen(true); }), "Error here");
    sock.OnInfo = [](TSock&, TSocketInfo, const std::string&) { throw std::runtime_error("x"); };
    TSock other;
    other.OnInfo = sock.OnInfo;
    EXPECT_NO_THROW(other.Close());
}

}  // namespace
}  // namespace tessarin::testing
