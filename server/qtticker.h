// A Ticker on a QTimer of the one UI thread: each timeout calls the given tick handler.
#pragma once

#include <QTimer>

#include <functional>

#include "serverseams.h"

namespace tessarin {

class QtTicker : public Ticker {
  public:
    explicit QtTicker(std::function<void()> onTick);
    void start(int intervalMs) override;
    void stop() override { timer_.stop(); }
    bool running() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
};

}  // namespace tessarin
