// Container coder throughput on 1 MiB: tally-like text (compresses well) and random bytes
// (every piece ends up stored). Goal: above 100 MB/s each way.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "lzrw1container.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kSize = 1 << 20;

Bytes tallyText() {
    static const char* const names[] = {"Ann", "Klot", "Bertrand", "zoe_77", "Mirela", "Tomasz"};
    std::mt19937 gen(11);
    Bytes out;
    while (out.size() < kSize) {
        std::string line = (gen() % 4 == 0) ? names[gen() % 6] : std::to_string(gen() % 300);
        line += "\r\n";
        out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(kSize);
    return out;
}

Bytes randomBytes() {
    std::mt19937 gen(7);
    Bytes out(kSize);
    for (auto& b : out) b = static_cast<std::uint8_t>(gen());
    return out;
}

const Bytes& input(int kind) {
    static const Bytes text = tallyText();
    static const Bytes random = randomBytes();
    return kind == 0 ? text : random;
}

void label(benchmark::State& state) {
    state.SetLabel(state.range(0) == 0 ? "tally text" : "random");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}

void BM_Compress(benchmark::State& state) {
    const Bytes& data = input(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(tessarin::compressBytes(data));
    state.counters["ratio"] = static_cast<double>(tessarin::compressBytes(data).size()) / kSize;
    label(state);
}
BENCHMARK(BM_Compress)->Arg(0)->Arg(1);

void BM_Decompress(benchmark::State& state) {
    const Bytes packed = tessarin::compressBytes(input(static_cast<int>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(tessarin::decompressBytes(packed));
    label(state);
}
BENCHMARK(BM_Decompress)->Arg(0)->Arg(1);

}  // namespace
