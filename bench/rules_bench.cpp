// Word search speed: the built-in list searched where it lies in the program against a
// vector of the same words as strings, a placement that fills a row, and the computer's most
// expensive move in seeded games at each strength.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "fakes.h"
#include "getcombos.h"
#include "tdictn.h"
#include "wordfinder.h"

namespace tessarin::testing {
namespace {

// The same records held in memory, searched the same way: the baseline for the ratio.
class InMemoryList {
  public:
    InMemoryList() {
        const auto list = embeddedWordList();
        for (std::size_t i = 0; i + 15 <= list.size(); i += 15)
            words_.push_back(TDictn::normalise(std::string_view(list.data() + i + 1, 14)));
    }
    bool IsWord(std::string_view text) const {
        const std::string key = TDictn::normalise(text);
        return !key.empty() && std::binary_search(words_.begin(), words_.end(), key);
    }

  private:
    std::vector<std::string> words_;
};

const InMemoryList& inMemory() {
    static InMemoryList list;
    return list;
}

void BM_IsWordHit_InPlace(benchmark::State& state) {
    const auto& spell = sharedDictionary();
    for (auto _ : state) benchmark::DoNotOptimize(spell.IsWord("tact"));
}
BENCHMARK(BM_IsWordHit_InPlace);

void BM_IsWordMiss_InPlace(benchmark::State& state) {
    const auto& spell = sharedDictionary();
    for (auto _ : state) benchmark::DoNotOptimize(spell.IsWord("xtqa"));
}
BENCHMARK(BM_IsWordMiss_InPlace);

void BM_IsWordHit_Memory(benchmark::State& state) {
    const auto& list = inMemory();
    for (auto _ : state) benchmark::DoNotOptimize(list.IsWord("tact"));
}
BENCHMARK(BM_IsWordHit_Memory);

void BM_IsWordMiss_Memory(benchmark::State& state) {
    const auto& list = inMemory();
    for (auto _ : state) benchmark::DoNotOptimize(list.IsWord("xtqa"));
}
BENCHMARK(BM_IsWordMiss_Memory);

// A full row: 6! + 5! + ... + 1! = 873 lookups.
void BM_CheckwordFullRow(benchmark::State& state) {
    const auto& spell = sharedDictionary();
    const char slots[6] = {'s', 't', 'e', 'a', 'r', 'n'};
    for (auto _ : state) {
        std::string found;
        benchmark::DoNotOptimize(scorearrangements(spell, slots, 6, &found));
    }
    state.counters["lookups"] = 873;
}
BENCHMARK(BM_CheckwordFullRow)->Unit(benchmark::kMicrosecond);

const WordFinder& sharedFinder() {
    static const WordFinder finder(sharedDictionary());
    return finder;
}

// The same row through the word finder's index: the ratio to the line above is the gain.
void BM_CheckwordFullRow_Finder(benchmark::State& state) {
    const auto& finder = sharedFinder();
    const char slots[6] = {'s', 't', 'e', 'a', 'r', 'n'};
    for (auto _ : state) {
        std::string found;
        benchmark::DoNotOptimize(finder.score(slots, 6, &found));
    }
}
BENCHMARK(BM_CheckwordFullRow_Finder)->Unit(benchmark::kMicrosecond);

// A full row of letters no word is made of, the common case of a computer's try.
void BM_CheckwordFullRowNoWord_Finder(benchmark::State& state) {
    const auto& finder = sharedFinder();
    const char slots[6] = {'q', 'x', 'z', 'v', 'j', 'k'};
    for (auto _ : state) benchmark::DoNotOptimize(finder.score(slots, 6, nullptr));
}
BENCHMARK(BM_CheckwordFullRowNoWord_Finder)->Unit(benchmark::kMicrosecond);

// Building the index, once per server on its first word search.
void BM_WordFinderIndex(benchmark::State& state) {
    const auto& spell = sharedDictionary();
    for (auto _ : state) {
        WordFinder finder(spell);
        benchmark::DoNotOptimize(finder.words());
    }
}
BENCHMARK(BM_WordFinderIndex)->Unit(benchmark::kMillisecond);

// A position of a real game just before a computer move, with the generator's state.
struct Position {
    GameState state;
    std::uint32_t random = 0;
};

double threadMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Plays kWorstMoveGames seeded one-round games with `strength` in both seats and keeps the
// position before the move that took the most thread CPU time (found once per strength).
constexpr int kWorstMoveGames = 30;
const Position& slowestPosition(BotStrength strength) {
    static std::map<BotStrength, Position> found;
    if (const auto it = found.find(strength); it != found.end()) return it->second;
    ServerRig rig;
    rig.join("Ann");
    rig.host.strengths[1] = rig.host.strengths[2] = strength;
    Position& worst = found[strength];
    double worstMs = -1;
    const auto& st = rig.server.state();
    for (std::uint32_t seed = 5000; seed < 5000 + kWorstMoveGames; ++seed) {
        rig.random.seed(seed);
        rig.host.clear();
        rig.server.dispatch(1, "CMD_startgame+Ann+1+");
        rig.server.dispatch(1, "CMD_justwatch+1+1");
        while (st.gamestarted) {
            if (rig.computertimer.running()) {
                const Position before{st, rig.random.state()};
                const double start = threadMs();
                rig.server.computertimerTimer();
                if (threadMs() - start > worstMs) {
                    worstMs = threadMs() - start;
                    worst = before;
                }
            } else if (rig.timer1.running()) {
                rig.server.timer1Timer();
            } else {
                break;
            }
        }
    }
    return worst;
}

// Each strength's slowest move found in seeded games (0 Normal, 1 Strong, 2 Expert), played
// again from the same position and random state; "column" says where it was.
void BM_ComputerWorstMove(benchmark::State& state) {
    const auto strength = static_cast<BotStrength>(state.range(0));
    const Position& worst = slowestPosition(strength);
    ServerRig rig;  // one server, so the word index is built once
    rig.join("Ann");
    rig.host.strengths[1] = rig.host.strengths[2] = strength;
    rig.server.latchstrengths();
    rig.server.finder();
    for (auto _ : state) {
        state.PauseTiming();
        rig.host.clear();
        rig.server.state() = worst.state;
        rig.random.seed(worst.random);
        state.ResumeTiming();
        rig.server.computertimerTimer();
    }
    state.counters["column"] = worst.state.column;
}
BENCHMARK(BM_ComputerWorstMove)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("strength")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarin::testing
