// The test process's resident memory, sampled at intervals on the event loop.
#pragma once

#include <QTimer>

#include <vector>

namespace tessarin::soak {

class RssSampler {
  public:
    // Resident set size now, in KiB, from /proc/self/statm; 0 when unreadable.
    static long residentKib();
    // Built with AddressSanitizer, whose quarantine of freed memory inflates the figures.
    static bool underAddressSanitizer();

    // Samples now and then every intervalMs until stop().
    void start(int intervalMs);
    void stop() { timer_.stop(); }
    // Samples now and counts later samples as after the warm-up; returns the sample.
    long warmUp();

    long first() const { return samples_.empty() ? 0 : samples_.front(); }
    long last() const { return samples_.empty() ? 0 : samples_.back(); }
    long peak() const;
    long peakAfterWarmUp() const;

  private:
    void sample() { samples_.push_back(residentKib()); }

    QTimer timer_;
    std::vector<long> samples_;
    std::size_t warm_ = 0;
};

}  // namespace tessarin::soak
