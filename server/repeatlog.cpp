#include "repeatlog.h"

namespace tessarin {

RepeatLog::RepeatLog(std::function<void(const std::string&)> out, int periodMs)
    : out_(std::move(out)) {
    period_.setSingleShot(true);
    period_.setInterval(periodMs);
    QObject::connect(&period_, &QTimer::timeout, &period_, [this] { summarise(); });
}

void RepeatLog::line(const std::string& kind, const std::string& text) {
    const auto [entry, first] = repeats_.try_emplace(kind, 0);
    if (!first) {
        ++entry->second;
        return;
    }
    out_(text);
    if (!period_.isActive()) period_.start();
}

void RepeatLog::summarise() {
    period_.stop();
    const int seconds = period_.interval() / 1000;
    for (const auto& [kind, count] : repeats_)
        if (count > 0)
            out_(std::to_string(count) + " more " + kind + " within " + std::to_string(seconds) +
                 " s");
    repeats_.clear();
}

}  // namespace tessarin
