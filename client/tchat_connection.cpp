// The main window's connection side: start-up from the command line, hosting and joining,
// login, the dispatcher of the server's messages, and the seat list.
#include <QMenu>

#include "boardtext.h"
#include "chatpanel.h"
#include "chattersounds.h"
#include "launchmode.h"
#include "optionsmenu.h"
#include "picturebutton.h"
#include "protocol.h"
#include "soundplayer.h"
#include "tboard.h"
#include "tchat.h"

namespace tessarin {

using board::fromwire;
using board::isplayingseat;
using chat::kSystemColour;

namespace {

// A name from the server, cleaned as the server cleans login names: whatever a server
// sends, no line break reaches the chat, the seats or the tally file.
QString wirename(std::string_view text) {
    return fromwire(proto::cleanName(text));
}

// Why this copy cannot host, in a player's words.
QString hostingfailed(const ESockException& e, int port) {
    if (std::string_view(e.what()) != "Listen - Error Binding Socket")
        return QStringLiteral("This copy cannot host a game: ") + QString::fromLatin1(e.what());
    return QStringLiteral(
               "Another copy of Tessarin, or another program, already uses port %1 on this "
               "computer, so this copy cannot host a game.\n\nTo play in the game hosted there, "
               "start Tessarin with your name, the address 127.0.0.1 and \"false\" (to join "
               "rather than host).")
        .arg(port);
}

}  // namespace

void Tchat::processparams(const QStringList& args) {
    board_->parts().button_start->hide();
    StartGame1->setEnabled(false);
    loginname_.clear();
    const LaunchMode mode = readparams(args);
    if (mode.kind == LaunchMode::Solo) {
        addlinetochat(QStringLiteral("0+Loading Solo Game..Please wait."), kSystemColour);
        if (hooks_.showdownload) hooks_.showdownload();
        hostaddress_ = mode.hostaddress;
        playername_ = mode.playername;
        try {
            hostpress(true);
        } catch (const ESockException& e) {
            finish(hostingfailed(e, gamePort_));
        }
        return;
    }
    addlinetochat(QStringLiteral("0+Loading Multi-player Game.. Please Wait."), kSystemColour);
    if (mode.kind == LaunchMode::Incomplete) return;
    if (mode.kind == LaunchMode::BadAddress) {
        showmessage("\"" + mode.hostaddress +
                    "\" is not an address to join: give a host name or address, with a port "
                    "where the table is not on port " +
                    QString::number(gamePort_) + " (HOST, HOST:PORT or [IPv6]:PORT).");
        return;
    }
    playername_ = mode.playername;
    hostaddress_ = mode.hostaddress;
    joinhost_ = mode.host.toStdString();
    joinport_ = mode.port != 0 ? mode.port : gamePort_;
    watchonarrival_ = mode.watch;
    try {
        if (mode.kind == LaunchMode::Host)
            hostpress();
        else
            joinpress();
    } catch (const ESockException& e) {
        if (mode.kind == LaunchMode::Host)
            finish(hostingfailed(e, gamePort_));
        else
            showmessage(QString::fromStdString(e.what()));
        return;
    }
    link_.openLobbyLink(lobbyPort_);
}

void Tchat::hostpress(bool solo) {
    const int port = hooks_.startserver ? hooks_.startserver(solo) : gamePort_;
    loginname_ = playername_;
    // The host always plays through its own server on the loopback address; the host's
    // controls come with seat 1 (sendloginfo).
    opengame("127.0.0.1", port);
}

void Tchat::joinpress() {
    loginname_ = playername_;
    opengame(joinhost_, joinport_);
}

void Tchat::opengame(const std::string& host, int port) {
    gamehost_ = host;
    gameport_ = port;
    link_.open(host, port);
}

void Tchat::sethostcontrols(bool host) {
    board_->parts().button_start->setVisible(host);
    StartGame1->setEnabled(host);
    if (hooks_.enablekick) hooks_.enablekick(host);
}

void Tchat::processsocktimer(std::string_view line) {
    const auto message = proto::split(line);
    if (!message) return;
    const auto [command, payload] = *message;
    namespace p = proto;
    try {
        if (command == p::kSendLoginInfo)
            sendloginfo(payload);
        else if (command == p::kNewPlayerInfo || command == p::kExistingPlayers)
            newplayerinfo(payload);
        else if (command == p::kHaveWrongVersion)
            addlinetochat(
                "0+" + wirename(payload) + " has a different version of the game then you.",
                kSystemColour);
        else if (command == p::kWrongVersion) {
            wrongversion_ = true;
            addlinetochat(
                QStringLiteral("0+You have a differnt version of the game then the host."),
                kSystemColour);
        } else if (command == p::kFull)
            finish(QStringLiteral("Game is full"));
        else if (command == p::kRemoved)
            finish(QStringLiteral("The host has removed you from the game."));
        else if (command == p::kSecret)
            keepsecret(payload);
        else if (command == p::kPlayerDisconnected)
            playerdisconnected(payload);
        else if (command == p::kJustWatching)
            justwatching(payload);
        else if (command == p::kChat || command == p::kAction)
            chat_->chatrecieved(payload);
        else if (command == p::kPlayASound)
            playasound(payload);
        else if (command == p::kStartGame) {
            board_->startthegame(payload);
            askToWatch();
        } else if (command == p::kRoundStart)
            board_->roundstart(payload);
        else if (command == p::kMyTiles)
            board_->mytiles(payload);
        else if (command == p::kNextPlayer)
            board_->getnextplayer(payload);
        else if (command == p::kPlaceLetter)
            board_->placeletter(payload);
        else if (command == p::kAScore)
            board_->ascore(payload);
        else if (command == p::kErrorNum)
            board_->errornum(payload);
        else if (command == p::kRoundOver)
            board_->roundover();
        else if (command == p::kWinner)
            board_->winner(payload);
        else if (command == p::kGameStats)
            board_->gamestats(payload);
    } catch (const proto::ConversionError& e) {
        // A malformed message from the server is logged and dropped; the game goes on.
        qWarning("Dropped %.*s: %s", static_cast<int>(command.size()), command.data(), e.what());
    }
}

void Tchat::sendloginfo(std::string_view payload) {
    myseat_ = proto::FieldReader(payload).integer();
    isconnected_ = true;
    // The seats are filled again from the welcome that follows the login.
    if (reconnecting_)
        for (int seat = 1; seat <= board::kSeats; ++seat) board_->resetseat(seat);
    chat_->setMySeat(myseat_);
    chat_->setConnected(true);
    sethostcontrols(myseat_ == 1);
    // A player coming back says whose seat it is; the server may then move it there.
    if (!secret_.empty()) send(proto::request::secret(myseat_, secret_));
    send(proto::request::logininfo(myseat_, proto::kVersion, loginname_.toLatin1().toStdString()));
    askToWatch();
}

void Tchat::keepsecret(std::string_view payload) {
    // Only what a secret can be: hex of a sane length.
    const bool hex = payload.find_first_not_of("0123456789abcdef") == std::string_view::npos;
    if (hex && !payload.empty() && payload.size() <= 2 * proto::kSecretBytes)
        secret_ = std::string(payload);
}

void Tchat::newplayerinfo(std::string_view payload) {
    proto::FieldReader fields(payload);
    // One group per seat at most: a longer list, or a seat a game does not have, can only
    // come from a hostile server and is ignored.
    for (int group = 0; group < kLastSeat && !fields.atEnd(); ++group) {
        const int seat = fields.integer();
        const QString name = wirename(fields.field());
        const bool watching = fields.field() == "1";
        if (seat < 1 || seat > kLastSeat) continue;
        if (seat == myseat_) {
            addlinetochat(QStringLiteral("0+You are Connected."), kSystemColour);
            if (reconnecting_) reconnected();
            // Once: a login after a reconnect keeps the window where the player put it.
            if (!settingsread_) loadinifile();
        } else {
            addlinetochat("0+" + name + " is Connected.", kSystemColour);
        }
        if (isplayingseat(seat)) {
            board_->setseatname(seat, name);
            if (watching) board_->showeyes(seat, true);
        } else if (seat > board::kSeats) {
            if (hooks_.addspy) hooks_.addspy(seat, name);
            addlinetochat(
                seat == myseat_ ? QStringLiteral("0+You are spying.") : "0+" + name + " is spying.",
                kSystemColour);
        }
    }
    playsounds(QStringLiteral("entered"));
}

void Tchat::playerdisconnected(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    const QString name = wirename(fields.rest());
    if (isplayingseat(seat)) {
        const QString caption = board_->seatname(seat);
        if (caption != QLatin1String("<Waiting>") && caption != board_->seathint(seat))
            addlinetochat("0+" + caption + " disconnected.", kSystemColour);
        board_->resetseat(seat);
    } else if (seat > board::kSeats && hooks_.removespy && hooks_.removespy(seat, name)) {
        addlinetochat("0+" + name + " has left.", kSystemColour);
    }
}

void Tchat::justwatching(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    if (!isplayingseat(seat)) return;
    const bool watching = fields.rest() == "1";
    if (seat == myseat_) {
        justwatch_ = watching;
        watchonarrival_ = watchonarrival_ && !watching;
        JustWatch1->setChecked(watching);
    }
    addlinetochat("0+" + board_->seatname(seat) +
                      (watching ? QStringLiteral(" is just watching")
                                : QStringLiteral(" is now playing again")),
                  kSystemColour);
    board_->showeyes(seat, watching);
}

void Tchat::playasound(std::string_view payload) {
    proto::FieldReader fields(payload);
    const int seat = fields.integer();
    const std::string_view sound = fields.field();
    if (sounds_->playchatter(fromwire(sound))) return;
    const auto caption = chat::chatterCaption(sound);
    if (!isplayingseat(seat) || !caption) return;
    addlinetochat("0+" + board_->seatname(seat) + ": <Chatter Sound> " + fromwire(*caption),
                  kSystemColour);
}

void Tchat::askToWatch() {
    // The server hands a seat to the computer only while a game runs: asked at login, and
    // again when a game starts, until the server says this player watches.
    if (watchonarrival_ && isconnected_ && isplayingseat(myseat_))
        send(proto::request::justwatch(myseat_, true));
}

void Tchat::kicking(int seat) {
    if (ishost()) send(proto::request::kickhim(myseat_, seat));
}

void Tchat::JustWatch1Click() {
    if (isconnected_ && isplayingseat(myseat_))
        send(proto::request::justwatch(myseat_, !justwatch_));
}

void Tchat::SettoJustWatch1Click() {
    if (isconnected_ && isplayingseat(popupseat_))
        send(proto::request::justwatch(popupseat_, true));
}

void Tchat::UnsetJustWatch1Click() {
    if (isconnected_ && isplayingseat(popupseat_))
        send(proto::request::justwatch(popupseat_, false));
}

void Tchat::RemoveFromGame1Click() {
    kicking(popupseat_);
}

void Tchat::label_playername1ContextPopup(int seat, const QPoint& globalPos) {
    for (QAction* item : {RemoveFromGame1, SettoJustWatch1, UnsetJustWatch1})
        item->setEnabled(ishost());
    if (board_->seatname(seat) == QLatin1String("<Waiting>")) RemoveFromGame1->setEnabled(false);
    popupseat_ = seat;
    if (!globalPos.isNull()) popup_kick->popup(globalPos);
}

void Tchat::send(const std::string& message) {
    link_.send(message);
}

}  // namespace tessarin
