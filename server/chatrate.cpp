#include "chatrate.h"

#include <limits>

namespace tessarin {

namespace {
// Long enough ago for any window.
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::min() / 2;
}  // namespace

ChatRate::ChatRate(int lines, int windowMs)
    : times_(static_cast<std::size_t>(lines > 0 ? lines : 1), kNever),
      windowMs_(windowMs),
      lastRefused_(kNever) {}

bool ChatRate::allow(std::int64_t nowMs) {
    // The oldest of the last `lines` allowed lines must have left the window.
    if (nowMs - times_[next_] < windowMs_) return false;
    times_[next_] = nowMs;
    next_ = (next_ + 1) % times_.size();
    return true;
}

bool ChatRate::tellRefused(std::int64_t nowMs) {
    const bool newRun = nowMs - lastRefused_ >= windowMs_;
    lastRefused_ = nowMs;
    return newRun;
}

}  // namespace tessarin
