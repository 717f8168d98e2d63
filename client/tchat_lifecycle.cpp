// The main window's life: first display, size limits, closing, the settings, and what the
// board asks of the window around it.
#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>
#include <cstdio>

#include "chatentry.h"
#include "chatpanel.h"
#include "optionsmenu.h"
#include "soundplayer.h"
#include "tboard.h"
#include "tchat.h"
#include "tessarinsettings.h"
#include "tgamestart.h"
#include "ttallylist.h"

namespace tessarin {

void Tchat::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    processparams(QCoreApplication::arguments().mid(1));
}

void Tchat::closeEvent(QCloseEvent* event) {
    closing_ = true;
    redial_.stop();
    const QRect bounds = geometry();
    if (bounds != lastsaved_) {
        QRect saved = bounds;
        if (QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            // One reduction each, as a window just too big for the desktop needs.
            if (saved.width() > area.width()) saved.setWidth(saved.width() - 15);
            if (saved.height() > area.height()) saved.setHeight(saved.height() - 15);
        }
        setGeometry(saved);
        lastsaved_ = saved;
        saveinifile();
    }
    event->accept();
}

void Tchat::ResetScreenLocation1Click() {
    setGeometry(kDefaultBounds);
}

QRect Tchat::fitbounds(const QRect& wanted) const {
    const QSize least = minimumSizeHint().expandedTo(minimumSize());
    const QScreen* desktop = screen();
    if (!desktop) return QRect(wanted.topLeft(), wanted.size().expandedTo(least));
    const QRect area = desktop->availableGeometry();
    const int width =
        std::clamp(wanted.width(), least.width(), std::max(least.width(), area.width()));
    const int height =
        std::clamp(wanted.height(), least.height(), std::max(least.height(), area.height()));
    const int left =
        std::clamp(wanted.left(), area.left(), std::max(area.left(), area.right() + 1 - width));
    const int top =
        std::clamp(wanted.top(), area.top(), std::max(area.top(), area.bottom() + 1 - height));
    return {left, top, width, height};
}

void Tchat::reportsave(const FileStatus& status) {
    if (status.ok() || savefailuretold_) return;
    savefailuretold_ = true;
    const QString text = QStringLiteral("Your settings could not be saved. ") + status.error;
    if (!closing_) {
        showmessage(text);
        return;
    }
    // A box now would hold up the exit (a stop signal, a log-out): told without waiting.
    std::fprintf(stderr, "tessarin: %s\n", qPrintable(text));
    addlinetochat("0+" + text, chat::kSystemColour);
}

void Tchat::loadinifile() {
    FileStatus written;
    const LoadedSettings loaded = settings_->loadinifile(&written);
    settingsread_ = true;
    reportsave(written);
    chat_->setTextSize(loaded.textSize);
    const QRect bounds = fitbounds(loaded.bounds);
    setGeometry(bounds);
    lastsaved_ = bounds;
    chat_->setChatColour(loaded.textColour);
    if (loaded.playToScore && gamestart_) gamestart_->setrounds(*loaded.playToScore);
    options_->applyLoaded(loaded);
    for (int i = 0; i < static_cast<int>(loaded.phrases.size()); ++i)
        if (!loaded.phrases[i].isEmpty()) chat_->setPhrase(i + 1, loaded.phrases[i]);
    sounds_->setPlaySounds(options_->playSounds());
    sounds_->setPlayerPhraseSounds(options_->playerPhraseSounds());
    if (hooks_.speedschanged) hooks_.speedschanged(options_->botSpeedMs(), options_->timeSpeedMs());
    applystrength();
    if (loaded.showHelp) board_->showhelp();
}

void Tchat::applystrength() {
    if (gamestart_)
        gamestart_->setstrength(QLatin1String(settings::kStrengthNames[options_->botStrength()]));
    if (hooks_.strengthchanged) hooks_.strengthchanged(options_->botStrength());
}

void Tchat::saveinifile() {
    SavedSettings values = options_->toSave();
    values.bounds = geometry();
    // Before the file was read, the selector's start value is no choice of the user's.
    if (gamestart_ && (settingsread_ || gamestart_->roundschosen()))
        values.playToScore = gamestart_->rounds();
    reportsave(settings_->saveinifile(values));
}

void Tchat::applyoption(int option) {
    switch (static_cast<OptionsMenu::Option>(option)) {
        case OptionsMenu::Option::BotSpeed:
        case OptionsMenu::Option::TimeSpeed:
            if (hooks_.speedschanged)
                hooks_.speedschanged(options_->botSpeedMs(), options_->timeSpeedMs());
            break;
        case OptionsMenu::Option::PlaySounds:
            sounds_->setPlaySounds(options_->playSounds());
            break;
        case OptionsMenu::Option::PlayerPhraseSounds:
            sounds_->setPlayerPhraseSounds(options_->playerPhraseSounds());
            break;
        case OptionsMenu::Option::TextColor:
            chat_->setChatColour(options_->chatColour());
            break;
        case OptionsMenu::Option::TextSize:
            chat_->setTextSize(options_->textSize());
            break;
        case OptionsMenu::Option::TurnSound:
            break;
        case OptionsMenu::Option::BotStrength:
            applystrength();
            break;
    }
    saveinifile();
}

QStringList Tchat::seatnames() const {
    QStringList names;
    for (int seat = 1; seat <= board::kSeats; ++seat) names << board_->seatname(seat);
    return names;
}

void Tchat::ViewTally1Click() {
    if (!tally_) return;
    tally_->loadchecklist(seatnames(), myseat_);
    tally_->show();
    tally_->raise();
    tally_->activateWindow();  // Escape closes it
}

bool Tchat::turnsoundnew() const {
    return options_->turnSoundNew();
}

void Tchat::playsounds(const QString& name) {
    sounds_->playsounds(name);
}

void Tchat::addlinetochat(const QString& line, board::Colour colour) {
    chat_->addlinetochat(line, colour);
}

void Tchat::addgame(const QString& winner) {
    if (!tally_) return;
    tally_->loadchecklist(seatnames(), myseat_);
    tally_->addgame(winner);
    // Saved now, so that a finished game survives a program that never exits normally.
    if (const QString failed = tally_->save(); !failed.isEmpty())
        addlinetochat("0+" + failed, chat::kSystemColour);
}

void Tchat::uncheckjustwatch() {
    justwatch_ = false;
    JustWatch1->setChecked(false);
}

void Tchat::turnstarted() {
    // Keys half-way through a chat line stay there; otherwise they play.
    if (chat_->mychat()->isBlank()) keystoboard();
    if (!isActiveWindow()) QApplication::alert(this);
}

void Tchat::showmessage(const QString& text) {
    if (hooks_.messagebox)
        hooks_.messagebox(text);
    else
        QMessageBox::information(this, QStringLiteral("Tessarin"), text);
}

}  // namespace tessarin
