// Word search speed: the built-in list searched where it lies in the program against a
// vector of the same words as strings, a placement that fills a row, and the computer's most
// expensive move.
#include <benchmark/benchmark.h>

#include <algorithm>
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

// The computer's move in column 6 with every row open, per strength (0 Normal, 1 Strong,
// 2 Expert) and board: rows of Q that score nothing (Normal tries all six tiles, 873
// lookups each, before its fallback), or rows of common letters where every try finds
// words. The most expensive case of each strength is its worst move.
void BM_ComputerWorstMove(benchmark::State& state) {
    const auto strength = static_cast<BotStrength>(state.range(0));
    const bool rich = state.range(1) != 0;
    ServerRig rig(42);  // one server, so the word index is built once
    rig.host.strengths[2] = strength;
    rig.join("Ann");
    auto& st = rig.server.state();
    rig.server.finder();
    for (auto _ : state) {
        state.PauseTiming();
        rig.host.clear();
        st.gamestarted = true;
        st.column = 6;
        st.columnplays = 0;
        st.whoseturn = 2;
        st.players[1].inround = st.players[2].inround = true;
        const char* rows[] = {"stare", "reast", "tears", "aster", "rates", "earst"};
        for (int r = 1; r <= kRows; ++r) {
            for (int c = 1; c <= 5; ++c)
                st.board[r][c] = rich ? rows[r - 1][c - 1] - 'a' + 1 : 17;  // q
            st.board[r][6] = 0;
        }
        st.players[1].tiles = {0, 5, 19, 20, 1, 18, 14};  // e s t a r n
        st.players[2].tiles =
            rich ? st.players[1].tiles : std::array<int, kRackSize + 1>{0, 17, 17, 17, 17, 17, 17};
        rig.server.shuffletiles();
        state.ResumeTiming();
        rig.server.computerplaceletter(2);
    }
}
BENCHMARK(BM_ComputerWorstMove)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"strength", "rich"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessarin::testing
