#include "soundplayer.h"

#include <QFile>
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
    : QObject(parent), prefix_(std::move(prefix)) {}

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

    if (!effect_) effect_ = new QSoundEffect(this);
    effect_->stop();
    effect_->setSource(path.startsWith(QLatin1Char(':')) ? QUrl(QStringLiteral("qrc") + path)
                                                         : QUrl::fromLocalFile(path));
    effect_->play();
    lastRequested_ = lower;
    emit requested(lower);
}

}  // namespace tessarin
