// One copy of the game per user: the first copy publishes the marker "kivroz"; a second
// start reaches it, asks it to come forward, and ends without a window of its own. The
// marker "tessarin" tells other programs (the lobby) that a copy is running.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace tessarin {

class SingleInstance : public QObject {
  public:
    explicit SingleInstance(QString markerName = QStringLiteral("kivroz"),
                            QString runningName = QStringLiteral("tessarin"));

    // True when another copy already runs; with `activate` it has been asked to restore or
    // raise its window. False makes this copy the first: it publishes both markers.
    bool CheckPreviousInstance(bool activate);

    // Called in the first copy when a later start asks it to come forward.
    std::function<void()> onActivate;

  private:
    QString markerName_;
    QString runningName_;
    std::unique_ptr<QLocalServer> marker_;
    std::unique_ptr<QLocalServer> running_;
};

}  // namespace tessarin
