// What the command line asks for: the lobby starts the game with a name, the host's
// address and "true" to host; no parameters mean a solo game. The address may carry a port
// (HOST, HOST:PORT, [IPv6]:PORT); without one the game's own port is joined.
#pragma once

#include <QStringList>

namespace tessarin {

struct LaunchMode {
    enum Kind {
        Solo,        // no parameters: host on 127.0.0.1 as "You"
        Host,        // third parameter exactly "true"
        Join,        // any other third parameter
        Incomplete,  // one or two parameters: the window waits without connecting
        BadAddress   // joining an address that is no host or HOST:PORT: said, never tried
    };
    Kind kind = Solo;
    QString playername;
    QString hostaddress;  // as given
    QString host;         // the host part of hostaddress, brackets removed
    int port = 0;         // the port hostaddress names, 0 when it names none
    // A fourth parameter "watch" (the lobby's Watch): once seated, the player just watches.
    // The design's lobby never writes a fourth parameter, and the game ignores others.
    bool watch = false;
};

// `args` are the parameters after the program name.
LaunchMode readparams(const QStringList& args);

}  // namespace tessarin
