// Plays seeded one-round games between two strengths of the computer player on the rules
// engine itself (fake seams: no sockets, no timers). Each deal (seed) is played twice with
// the strengths in swapped seats, so neither side gains by the tiles or by moving first.
// Prints each pairing's games won with a 95 % Wilson interval, and the slowest move of each
// strength in thread CPU time.
//
//   tessarin_bench_strength [--games N] [--first-seed S] [--only A:B]
//
// N games per pairing (rounded up to an even number; default 400), on seeds S, S+1, ...
// (default 1000000, far from the seeds the tests use); --only plays one pairing, for
// instance expert:strong.
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "fakes.h"

namespace tessarin::testing {
namespace {

double threadMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double slowestMs[3] = {};

// One server for all games, so the word index is built once: each game reseeds the
// generator, and starting a game resets everything a game uses. Seat 1 (the host, who
// watches, so the computer plays the seat) against Klot in seat 2; returns the winner.
int playGame(ServerRig& rig, std::uint32_t seed, BotStrength seat1, BotStrength seat2) {
    rig.random.seed(seed);
    rig.host.clear();
    rig.host.strengths[1] = seat1;
    rig.host.strengths[2] = seat2;
    rig.server.dispatch(1, "CMD_startgame+Ann+1+");
    rig.server.dispatch(1, "CMD_justwatch+1+1");
    const auto& st = rig.server.state();
    while (st.gamestarted) {
        if (rig.computertimer.running()) {
            const BotStrength mover = rig.host.strengths[st.whoseturn];
            const double start = threadMs();
            rig.server.computertimerTimer();
            double& slowest = slowestMs[static_cast<int>(mover)];
            slowest = std::max(slowest, threadMs() - start);
        } else if (rig.timer1.running()) {
            rig.server.timer1Timer();
        } else {
            std::fprintf(stderr, "game %u stopped without a winner\n", seed);
            std::exit(1);
        }
    }
    return st.players[1].score > st.players[2].score ? 1 : 2;
}

void pairing(BotStrength a, BotStrength b, int games, std::uint32_t firstSeed) {
    ServerRig rig;
    rig.join("Ann");
    int won = 0;
    for (int deal = 0; deal < games / 2; ++deal) {
        const auto seed = firstSeed + static_cast<std::uint32_t>(deal);
        won += playGame(rig, seed, a, b) == 1;
        won += playGame(rig, seed, b, a) == 2;
    }
    const double n = games, p = won / n, z = 1.96;
    const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
    std::printf("%s against %s: %d of %d games won, %.1f %% (95 %% interval %.1f-%.1f %%)\n",
                std::string(strengthName(a)).c_str(), std::string(strengthName(b)).c_str(), won,
                games, 100 * p, 100 * (centre - half), 100 * (centre + half));
    std::fflush(stdout);
}

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: tessarin_bench_strength [--games N] [--first-seed S] [--only A:B]\n");
    std::exit(2);
}

}  // namespace
}  // namespace tessarin::testing

int main(int argc, char** argv) {
    using namespace tessarin;
    int games = 400;
    std::uint32_t firstSeed = 1000000;
    std::vector<std::pair<BotStrength, BotStrength>> pairings = {
        {BotStrength::Strong, BotStrength::Normal},
        {BotStrength::Expert, BotStrength::Strong},
        {BotStrength::Expert, BotStrength::Normal}};
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) testing::usage();
        const std::string value = argv[++i];
        if (option == "--games") {
            games = std::max(2, std::atoi(value.c_str()));
            games += games % 2;
        } else if (option == "--first-seed") {
            firstSeed = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (option == "--only") {
            const auto colon = value.find(':');
            const auto a = strengthFromName(value.substr(0, colon));
            const auto b = colon == std::string::npos ? std::nullopt
                                                      : strengthFromName(value.substr(colon + 1));
            if (!a || !b) testing::usage();
            pairings = {{*a, *b}};
        } else {
            testing::usage();
        }
    }
    for (const auto& [a, b] : pairings) testing::pairing(a, b, games, firstSeed);
    for (auto s : {BotStrength::Normal, BotStrength::Strong, BotStrength::Expert})
        std::printf("slowest %s move: %.2f ms CPU\n", std::string(strengthName(s)).c_str(),
                    testing::slowestMs[static_cast<int>(s)]);
}
