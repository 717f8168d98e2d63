#include "phrasethrottle.h"

#include <chrono>

namespace tessarin::chat {

PhraseThrottle::PhraseThrottle(Clock clock) : clock_(std::move(clock)) {
    if (!clock_) {
        clock_ = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
}

bool PhraseThrottle::ready() {
    tick();
    return ready_;
}

void PhraseThrottle::used() {
    ready_ = false;
    usedAt_ = clock_();
}

void PhraseThrottle::tick() {
    if (!ready_ && clock_() - usedAt_ >= kPauseMs) ready_ = true;
}

}  // namespace tessarin::chat
