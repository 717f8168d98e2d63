// Throughput of the server's message path without the 10 ms tick pacing, and the CPU an
// idle server uses.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>

#include "fakes.h"
#include "framing.h"
#include "protocol.h"
#include "serverconnections.h"
#include "tsock.h"

namespace tessarin {
namespace {

void ensureQtApp() {
    static int argc = 1;
    static char name[] = "tessarin-bench-net";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

// Counts what the server sends instead of sending it.
class CountingHost : public ServerHost {
  public:
    void sendToSeat(int, const std::string& message) override { bytes += message.size(); }
    void showHostError(const std::string&) override {}
    void closeSeat(int) override {}
    int botSpeedMs() const override { return 1000; }
    int timeSpeedMs() const override { return 1000; }
    std::size_t bytes = 0;
};

// Chat, action and sound relays from three seated players, as one byte stream.
std::string trafficOf(int messages) {
    std::string stream;
    for (int i = 0; i < messages; ++i) {
        const int seat = i % 3 + 1;
        switch (i % 3) {
            case 0:
                stream += proto::request::chat(seat, "good one, well played|clBlack");
                break;
            case 1:
                stream += proto::request::action(seat, "says: Nice word!|$00FF8000");
                break;
            default:
                stream += proto::request::playasound(seat, "wave7");
                break;
        }
    }
    return stream;
}

// Bytes to messages to handlers to composed relays, in receive-sized chunks.
void BM_FramingAndDispatch(benchmark::State& state) {
    CountingHost host;
    TRandom random(1);
    testing::FakeTicker timer1, computertimer;
    TServer server(host, random, testing::sharedDictionary(), timer1, computertimer);
    for (const char* name : {"Ann", "Bob", "Cy"}) {
        const int seat = server.chooseseat();
        server.seattaken(seat);
        server.dispatch(seat, testing::unframed(proto::request::logininfo(seat, "1.0.1", name)));
    }
    constexpr int kMessages = 10000;
    const std::string stream = trafficOf(kMessages);
    constexpr std::size_t kChunk = 32768;
    std::vector<std::string> lines;
    for (auto _ : state) {
        proto::Framer framer;
        int sent = 0;
        for (std::size_t at = 0; at < stream.size(); at += kChunk) {
            lines.clear();
            framer.feed(std::string_view(stream).substr(at, kChunk), lines);
            for (const auto& line : lines) server.dispatch(sent++ % 3 + 1, line);
        }
    }
    if (host.bytes == 0) state.SkipWithError("nothing was relayed");
    state.SetItemsProcessed(state.iterations() * kMessages);
    state.counters["msgs_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * kMessages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FramingAndDispatch)->Unit(benchmark::kMillisecond);

// The whole path over loopback: a client's messages read, framed, queued and dispatched,
// the relays sent back; the dispatcher is driven as fast as messages come.
void BM_ServerOverLoopback(benchmark::State& state) {
    ensureQtApp();
    TRandom random(1);
    ServerConnections server(random, testing::sharedDictionary());
    server.setPortName("0");
    server.listen();

    TSock client;
    proto::Framer framer;
    std::size_t relays = 0;
    std::vector<std::string> lines;
    client.OnRead = [&](TSock& s, std::size_t) {
        lines.clear();
        framer.feed(s.Receive(), lines);
        relays += lines.size();
    };
    client.setHostName("127.0.0.1");
    client.setPortName(std::to_string(server.port()));
    client.Open();
    while (relays < 1) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    client.Send(proto::request::logininfo(1, "1.0.1", "Ann"));

    constexpr int kBatch = 200;  // below the per-connection queue limit
    std::string batch;
    for (int i = 0; i < kBatch; ++i) batch += proto::request::chat(1, "hello there|clBlack");
    for (auto _ : state) {
        const std::size_t target = relays + kBatch;
        client.Send(batch);
        while (relays < target) {
            QCoreApplication::processEvents();
            while (server.queued() > 0) server.socktimerTimer();
        }
    }
    state.counters["msgs_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * kBatch), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ServerOverLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A listening server with a seated, logged-in client and nothing to do, for 10 seconds.
void BM_IdleServerCpu(benchmark::State& state) {
    ensureQtApp();
    TRandom random(1);
    ServerConnections server(random, testing::sharedDictionary());
    server.setPortName("0");
    server.listen();
    TSock client;
    client.setHostName("127.0.0.1");
    client.setPortName(std::to_string(server.port()));
    client.OnRead = [](TSock& s, std::size_t) { s.Receive(); };
    client.Open();
    client.Send(proto::request::logininfo(1, "1.0.1", "Ann"));
    QEventLoop settle;
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();

    for (auto _ : state) {
        const double cpuBefore = cpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        QEventLoop idle;
        QTimer::singleShot(10000, &idle, &QEventLoop::quit);
        idle.exec();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        state.counters["cpu_percent"] = 100.0 * (cpuSeconds() - cpuBefore) / wall;
        state.counters["socktimer_running"] = server.socktimerRunning();
    }
}
BENCHMARK(BM_IdleServerCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tessarin
