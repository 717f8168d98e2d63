// The main window when its connection ends: trying the same host again after a drop, and
// the one message box that ends a session (refused, removed, or the host lost for good).
//
// Reconnecting lasts from the first drop until the player is seated again (its own arrival
// is announced), for kReconnectMs at most: a try that connects and drops again before that
// goes on within the same time. The secret of the last login goes with each try, so the
// server gives the player its own seat back if it still holds it.
#include "chatpanel.h"
#include "tboard.h"
#include "tchat.h"

namespace tessarin {

void Tchat::setReconnectTiming(int redialMs, int reconnectMs) {
    redialMs_ = redialMs;
    reconnectMs_ = reconnectMs;
}

void Tchat::finish(const QString& text) {
    if (ending_ || closing_) return;
    ending_ = true;
    redial_.stop();
    showmessage(text);
    close();
}

void Tchat::connectionclosed() {
    if (closing_ || ending_) return;
    // What arrived before the close is still handled: a refused tenth player or a removed
    // one learns why, and a departing peer's last words are shown.
    while (!closing_ && !ending_ && link_.processsocktimer()) {
    }
    if (closing_ || ending_) return;
    // A failed try while reconnecting, or a connection lost before the player was seated
    // again: the redial timer tries again, within the time counted from the first drop.
    if (reconnecting_) {
        isconnected_ = false;
        chat_->setConnected(false);
        return;
    }
    if (!isconnected_) {
        close();  // never seated: nothing to go back to
        return;
    }
    if (wrongversion_) {
        finish(QStringLiteral("The connection to the host was lost."));
        return;
    }
    startreconnecting();
}

void Tchat::startreconnecting() {
    reconnecting_ = true;
    isconnected_ = false;
    chat_->setConnected(false);
    addlinetochat(QStringLiteral("0+The connection to the host was lost. Reconnecting..."),
                  board::kSystemColour);
    giveup_.setRemainingTime(reconnectMs_);
    redial_.setInterval(redialMs_);
    redial_.start();
}

void Tchat::redial() {
    if (giveup_.hasExpired()) {
        finish(QStringLiteral("The connection to the host was lost."));
        return;
    }
    // Connected and being seated again: that try is still going.
    if (link_.sock().connected()) return;
    // A failed try leaves its handle open; closing it reports a close that is ignored.
    link_.close();
    try {
        link_.open(gamehost_, gameport_);
    } catch (const ESockException&) {
        // The host's name does not resolve just now: the next tick tries again.
    }
}

void Tchat::reconnected() {
    reconnecting_ = false;
    redial_.stop();
    addlinetochat(QStringLiteral("0+Reconnected to the host."), board::kSystemColour);
    justwatch_ = false;
    uncheckjustwatch();
}

}  // namespace tessarin
