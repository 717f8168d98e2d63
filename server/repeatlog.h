// Keeps the server's log readable under churn: of the lines that say the same thing (a
// connection left without logging in, a connection refused, a connection closed for one
// reason), the first in each period is logged whole and the rest are only counted; when
// the period ends, one line gives their number. Runs on the Qt event loop.
#pragma once

#include <QTimer>

#include <functional>
#include <map>
#include <string>

#include "serverlimits.h"

namespace tessarin {

class RepeatLog {
  public:
    // out receives every line logged; it must outlive this object.
    explicit RepeatLog(std::function<void(const std::string&)> out,
                       int periodMs = limits::kLogSummaryMs);

    // Logs `text` unless a line of the same `kind` was logged this period. The kind is
    // what the count's line will say: "connections left without logging in".
    void line(const std::string& kind, const std::string& text);
    // Logs the counts now and starts a new period.
    void summarise();

  private:
    std::function<void(const std::string&)> out_;
    std::map<std::string, int> repeats_;  // kinds logged this period, lines not logged
    QTimer period_;
};

}  // namespace tessarin
