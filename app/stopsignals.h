// SIGTERM, SIGINT and SIGHUP as events on the one event loop, so that a program asked to
// stop ends the way its own exit does (windows closed, files saved, destructors run).
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace tessarin {

class StopSignals : public QObject {
  public:
    // `onStop` runs on the event loop with the signal's name ("SIGTERM", ...). One
    // instance per program.
    explicit StopSignals(std::function<void(const char* name)> onStop, QObject* parent = nullptr);
    ~StopSignals() override;
    // False when the handlers could not be installed.
    bool installed() const { return notifier_ != nullptr; }

  private:
    std::function<void(const char*)> onStop_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tessarin
