#include "soundplayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace tessarin {

namespace {

bool plainName(const QString& name) {
    if (name.isEmpty()) return false;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9'))) return false;
    }
    return true;
}

}  // namespace

SoundPlayer::SoundPlayer(QString prefix, QObject* parent)
    : QObject(parent),
      prefix_(std::move(prefix)),
      hasDevice_([] { return !QMediaDevices::defaultAudioOutput().isNull(); }) {}

void SoundPlayer::playsounds(const QString& name) {
    if (playSounds_) play(name);
}

bool SoundPlayer::playchatter(const QString& name) {
    if (!playerPhraseSounds_) return false;
    play(name);
    return true;
}

void SoundPlayer::play(const QString& name) {
    const QString lower = name.toLower();
    if (!plainName(lower)) return;
    const QString path = prefix_ + lower + QStringLiteral(".wav");
    if (!QFile::exists(path)) return;

    lastRequested_ = lower;
    emit requested(lower);
    // Without a device QSoundEffect warns at every recording it loads: say it once instead.
    if (!hasDevice_()) {
        if (!toldNoDevice_) qWarning("No audio device detected");
        toldNoDevice_ = true;
        return;
    }
    if (!effect_) effect_ = new QSoundEffect(this);
    effect_->stop();
    effect_->setSource(path.startsWith(QLatin1Char(':')) ? QUrl(QStringLiteral("qrc") + path)
                                                         : QUrl::fromLocalFile(path));
    effect_->play();
}

}  // namespace tessarin
