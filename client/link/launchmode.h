// What the command line asks for: the lobby starts the game with a name, the host's
// address and "true" to host; no parameters mean a solo game.
#pragma once

#include <QStringList>

namespace tessarin {

struct LaunchMode {
    enum Kind {
        Solo,       // no parameters: host on 127.0.0.1 as "You"
        Host,       // third parameter exactly "true"
        Join,       // any other third parameter
        Incomplete  // one or two parameters: the window waits without connecting
    };
    Kind kind = Solo;
    QString playername;
    QString hostaddress;
};

// `args` are the parameters after the program name.
LaunchMode readparams(const QStringList& args);

}  // namespace tessarin
