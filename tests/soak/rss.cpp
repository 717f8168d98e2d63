#include "rss.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace tessarin::soak {

long RssSampler::residentKib() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) return 0;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

bool RssSampler::underAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

void RssSampler::start(int intervalMs) {
    sample();
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { sample(); });
    timer_.start(intervalMs);
}

long RssSampler::warmUp() {
    sample();
    warm_ = samples_.size() - 1;
    return samples_.back();
}

long RssSampler::peak() const {
    return samples_.empty() ? 0 : *std::max_element(samples_.begin(), samples_.end());
}

long RssSampler::peakAfterWarmUp() const {
    if (warm_ >= samples_.size()) return 0;
    return *std::max_element(samples_.begin() + static_cast<std::ptrdiff_t>(warm_), samples_.end());
}

}  // namespace tessarin::soak
