// The game's one sound channel: plays named recordings without waiting for them to end,
// a new sound cutting off the one still playing.
//
// A name is looked up, in lower case, as `prefix` + name + ".wav": ":/sounds/" for the
// recordings built into the program (":/sounds/turn.wav"), or a folder ending in '/'.
// Names come from the network too, so anything but letters and digits names nothing. A
// name without a recording, or a machine without a sound device, is silent; neither is an
// error. A missing device is reported once, as the warning "No audio device detected".
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QSoundEffect;

namespace tessarin {

class SoundPlayer : public QObject {
    Q_OBJECT

  public:
    explicit SoundPlayer(QString prefix = QStringLiteral(":/sounds/"), QObject* parent = nullptr);

    // The Options menu's "Play Sounds" and "Player Phrase Sounds"; both on at start.
    void setPlaySounds(bool on) { playSounds_ = on; }
    void setPlayerPhraseSounds(bool on) { playerPhraseSounds_ = on; }
    // Asked before each sound whether there is an output device; the default asks Qt's
    // media devices, so a device plugged in later is used.
    void setDeviceCheck(std::function<bool()> hasDevice) { hasDevice_ = std::move(hasDevice); }

    // A game sound ("turn", "clickletter", ...): played only while "Play Sounds" is on.
    void playsounds(const QString& name);

    // A chatter sound ("wave1".."wave20") received from a player: played while "Player
    // Phrase Sounds" is on, whatever "Play Sounds" says. Returns false when that option is
    // off, so that the caller shows the sound as a chat line instead.
    bool playchatter(const QString& name);

    // The lower-case name of the last recording handed to the sound device; empty before.
    const QString& lastRequested() const { return lastRequested_; }

  signals:
    // A recording was started (or would have been, on a machine without a sound device).
    void requested(const QString& name);

  private:
    void play(const QString& name);

    QString prefix_;
    bool playSounds_ = true;
    bool playerPhraseSounds_ = true;
    QString lastRequested_;
    std::function<bool()> hasDevice_;
    bool toldNoDevice_ = false;
    // The one channel, made on first use so that a program that never plays a sound never
    // opens the sound device.
    QSoundEffect* effect_ = nullptr;
};

}  // namespace tessarin
