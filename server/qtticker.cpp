#include "qtticker.h"

namespace tessarin {

QtTicker::QtTicker(std::function<void()> onTick) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
}

void QtTicker::start(int intervalMs) {
    timer_.start(intervalMs);
}

}  // namespace tessarin
