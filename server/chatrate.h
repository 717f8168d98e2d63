// How much chat one seat may send: at most `lines` lines in any `windowMs` milliseconds.
// Times are milliseconds from any fixed start and never go back. Plain C++.
#pragma once

#include <cstdint>
#include <vector>

#include "serverlimits.h"

namespace tessarin {

class ChatRate {
  public:
    explicit ChatRate(int lines = limits::kChatLines, int windowMs = limits::kChatWindowMs);

    // Whether a line arriving at nowMs is within the rate; an allowed line is counted.
    bool allow(std::int64_t nowMs);
    // Whether the sender should be told about a line refused at nowMs: once per run of
    // refused lines, a run ending when a whole window passes without one.
    bool tellRefused(std::int64_t nowMs);

  private:
    std::vector<std::int64_t> times_;  // the last `lines` allowed lines, a ring
    std::size_t next_ = 0;
    std::int64_t windowMs_;
    std::int64_t lastRefused_;
};

}  // namespace tessarin
