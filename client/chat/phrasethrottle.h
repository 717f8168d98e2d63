// Phrase buttons may be used once every 2 seconds.
//
// The original pause was 101 ticks of the client's dispatch timer, a timer the old
// platform ran at about 16-20 ms. Here that timer ticks every millisecond and only while
// messages are queued, so counting its ticks would give a tenth of a second while busy
// and no end at all while the connection is quiet. The throttle therefore measures the
// 2 seconds on a monotonic clock: tick() re-checks it on each dispatch tick as the
// original did, and ready() re-checks it when a button is pressed, so a quiet dispatch
// timer never leaves the buttons locked. The clock is a parameter so tests set the time.
#pragma once

#include <cstdint>
#include <functional>

namespace tessarin::chat {

class PhraseThrottle {
  public:
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<std::int64_t()>;
    static constexpr std::int64_t kPauseMs = 2000;

    // An empty clock means std::chrono::steady_clock.
    explicit PhraseThrottle(Clock clock = {});

    // Whether a phrase may be sent now (`phraseready`).
    bool ready();
    // A phrase was sent: no other until the pause is over.
    void used();
    // One tick of the dispatch timer.
    void tick();

  private:
    Clock clock_;
    bool ready_ = true;
    std::int64_t usedAt_ = 0;
};

}  // namespace tessarin::chat
