// One copy of the game per user: the first copy publishes the marker "kivroz"; a second
// start reaches it, asks it to come forward, and ends without a window of its own. The
// marker "tessarin" tells other programs (the lobby) that a copy is running.
//
// Both markers are local sockets in the user's own runtime folder (socketFolder()), never
// in a folder other users can write to. A marker is trusted only when its socket file and
// the process answering on it belong to this user; anything else is no previous copy.
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

    // The runtime folder (XDG_RUNTIME_DIR, else Qt's per-user folder under the temporary
    // folder) when it is a folder of this user's that no one else may enter; empty otherwise.
    static QString socketFolder();

    // True when another copy of this user's already runs; with `activate` it has been asked
    // to restore or raise its window. False makes this copy the first: it publishes both
    // markers (without a private folder it runs without them).
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
