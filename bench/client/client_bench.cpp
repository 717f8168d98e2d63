// The window as a player feels it: start-up to connected, a click to the letter on the
// board, the longest stall of the event loop while the computer plays, and idle CPU.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

#include "clientrig.h"
#include "tboard.h"
#include "tilecell.h"

using tessarin::testing::Rig;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the event loop until `done` holds, checking after every pass (QTest::qWaitFor
// sleeps 10 ms between checks, which would blur the figures).
template <typename Pred>
void spinUntil(Pred done) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) loop.quit();
    });
    check.start(0);
    if (!done()) loop.exec();
}

// Window created, shown, hosting its own server, logged in as seat 1.
void BM_StartupToConnected(benchmark::State& state) {
    for (auto _ : state) {
        Rig rig;
        rig.chat->setAttribute(Qt::WA_DontShowOnScreen);
        rig.chat->processparams({});
        rig.chat->show();
        if (!rig.waitForChat("You are Connected.")) state.SkipWithError("never connected");
    }
}
BENCHMARK(BM_StartupToConnected)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// From the click on a board cell to the letter shown there, through the server and back.
void BM_ClickToLetterShown(benchmark::State& state) {
    Rig rig;
    rig.chat->processparams({});
    rig.waitForChat("You are Connected.");
    auto& board = rig.chat->board();
    auto& server = rig.server.server();
    for (auto _ : state) {
        state.PauseTiming();
        server.dispatch(1, "CMD_startgame+You+1+");  // a fresh game: Ann opens column 1
        if (!QTest::qWaitFor([&] { return board.whoseturn() == 1 && board.selectedtile() == 0; },
                             5000)) {
            state.SkipWithError("the turn never came");
            break;
        }
        board.tile_1MouseUp(1);
        const auto& cell = board.parts().word[3][1];
        state.ResumeTiming();
        board.word_11Click(3, 1);
        spinUntil([&] { return cell->code() > 0; });
    }
}
BENCHMARK(BM_ClickToLetterShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// A one-round game that the computer plays for both seats (seat 1 watches); a 1 ms probe
// timer records the longest gap between its ticks, the longest the window could not paint.
void BM_LongestStallDuringComputerGame(benchmark::State& state) {
    double worst = 0;
    for (auto _ : state) {
        Rig rig;
        rig.server.setBotSpeedMs(1);
        rig.server.setTimeSpeedMs(1);
        rig.chat->processparams({});
        rig.waitForChat("You are Connected.");
        QElapsedTimer clock;
        qint64 last = 0, longest = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        rig.server.server().dispatch(1, "CMD_startgame+You+1+");
        rig.server.server().dispatch(1, "CMD_justwatch+1+1");
        clock.start();
        probe.start(1);
        if (!QTest::qWaitFor([&] { return !rig.server.server().state().gamestarted; }, 120000))
            state.SkipWithError("the game never ended");
        probe.stop();
        worst = std::max(worst, double(longest) / 1e6);
    }
    state.counters["longest_stall_ms"] = worst;
}
BENCHMARK(BM_LongestStallDuringComputerGame)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// A connected window and its server doing nothing for 10 s.
void BM_IdleClientCpu(benchmark::State& state) {
    for (auto _ : state) {
        Rig rig;
        rig.chat->processparams({});
        rig.waitForChat("You are Connected.");
        QTest::qWait(2500);  // let the phrase throttle and start-up settle
        const double before = cpuSeconds();
        QTest::qWait(10000);
        state.counters["cpu_percent_of_a_core"] = (cpuSeconds() - before) / 10.0 * 100.0;
    }
}
BENCHMARK(BM_IdleClientCpu)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
