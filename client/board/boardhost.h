// What the board needs from the main window around it: who this client is, a way to send to
// the server, the chat, the sounds, the tally, and a few menu and window services. The main
// window implements it; tests use a recording fake. All calls happen on the UI thread.
#pragma once

#include <QString>
#include <string>

#include "colourtext.h"

namespace tessarin::board {

// Colour laid out 0x00BBGGRR; the window's own chat lines are blue.
using chat::Colour;
using chat::kSystemColour;

class BoardHost {
  public:
    virtual ~BoardHost() = default;

    // This client's seat from "CMD_sendlogininfo": 1..3 play, above 3 watch, 0 before login.
    virtual int myseat() const = 0;
    // The server has greeted this client with its seat.
    virtual bool isconnected() const = 0;
    // This copy runs the server of the game.
    virtual bool ishost() const = 0;
    // The local player's name ("You" in a solo game).
    virtual QString playername() const = 0;
    // The Turn Sound option is "New" (plays "turnnew" instead of "turn").
    virtual bool turnsoundnew() const = 0;

    // One complete message, terminator included, for the game connection.
    virtual void send(const std::string& message) = 0;
    // A game sound by lower-case name ("turn", "clickletter", ...); the host applies the
    // "Play Sounds" option.
    virtual void playsounds(const QString& name) = 0;
    // A chat line written as seat, '+', text ("0+You have started a game.").
    virtual void addlinetochat(const QString& line, Colour colour) = 0;
    // Records a finished game in the tally: the winner's name, or "addtomine".
    virtual void addgame(const QString& winner) = 0;
    // Writes the settings file (the game start window's rounds among them).
    virtual void saveinifile() = 0;
    // A new game has started: the "Just Watch" menu item loses its check mark.
    virtual void uncheckjustwatch() = 0;
    // This player's turn has begun; a window that is not active may ask for attention.
    virtual void turnstarted() = 0;
    // A plain information box ("You are not connected").
    virtual void showmessage(const QString& text) = 0;
};

}  // namespace tessarin::board
