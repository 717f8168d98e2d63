// Plays seeded one-round games between two strengths of the computer player on the rules
// engine itself (fake seams: no sockets, no timers) and prints each side's win rate with a
// 95 % Wilson interval, and the slowest move of each strength in thread CPU time.
//
//   tessarin_bench_strength [games per pairing, default 400] [rounds per game, default 1]
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fakes.h"

namespace tessarin::testing {
namespace {

double threadMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double slowestMs[3] = {};

// Seat 1 (a watching host, so the computer plays it) against Klot in seat 2; returns the
// seat that won.
int playGame(std::uint32_t seed, BotStrength seat1, BotStrength seat2, int rounds) {
    ServerRig rig(seed);
    rig.host.strengths[1] = seat1;
    rig.host.strengths[2] = seat2;
    rig.join("Ann");
    rig.server.dispatch(1, "CMD_startgame+Ann+" + std::to_string(rounds) + "+");
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

// Each game on its own seed; the two strengths change seats every game.
void pairing(BotStrength a, BotStrength b, int games, int rounds) {
    int won = 0;
    for (int i = 0; i < games; ++i) {
        const auto seed = static_cast<std::uint32_t>(1000 + i);
        const bool aFirst = i % 2 == 0;
        const int winner = playGame(seed, aFirst ? a : b, aFirst ? b : a, rounds);
        won += (winner == 1) == aFirst;
    }
    const double n = games, p = won / n, z = 1.96;
    const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
    std::printf("%s against %s: %d of %d games won, %.1f %% (95 %% interval %.1f-%.1f %%)\n",
                std::string(strengthName(a)).c_str(), std::string(strengthName(b)).c_str(), won,
                games, 100 * p, 100 * (centre - half), 100 * (centre + half));
    std::fflush(stdout);
}

}  // namespace
}  // namespace tessarin::testing

int main(int argc, char** argv) {
    using namespace tessarin;
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 400;
    const int rounds = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 5) : 1;
    testing::pairing(BotStrength::Strong, BotStrength::Normal, games, rounds);
    testing::pairing(BotStrength::Expert, BotStrength::Strong, games, rounds);
    testing::pairing(BotStrength::Expert, BotStrength::Normal, games, rounds);
    for (auto s : {BotStrength::Normal, BotStrength::Strong, BotStrength::Expert})
        std::printf("slowest %s move: %.2f ms CPU\n", std::string(strengthName(s)).c_str(),
                    testing::slowestMs[static_cast<int>(s)]);
}
