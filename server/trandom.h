// The program's one pseudo-random generator. Seeded once at start-up (from the clock);
// tests seed it to replay a game.
#pragma once

#include <cstdint>

namespace tessarin {

class TRandom {
  public:
    explicit TRandom(std::uint32_t seed = 0) : state_(seed) {}
    void seed(std::uint32_t seed) { state_ = seed; }
    std::uint32_t state() const { return state_; }

    // 0..n-1 for n >= 1: state = state * 134775813 + 1, then the high half of state * n.
    int Random(int n) {
        state_ = state_ * 134775813u + 1u;
        return static_cast<int>(
            (static_cast<std::uint64_t>(state_) * static_cast<std::uint32_t>(n)) >> 32);
    }

  private:
    std::uint32_t state_;
};

}  // namespace tessarin
