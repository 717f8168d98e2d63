#include "launchmode.h"

#include "hostport.h"

namespace tessarin {

LaunchMode readparams(const QStringList& args) {
    LaunchMode mode;
    if (args.isEmpty()) {
        mode.playername = QStringLiteral("You");
        mode.hostaddress = mode.host = QStringLiteral("127.0.0.1");
        return mode;
    }
    if (args.size() < 3) {
        mode.kind = LaunchMode::Incomplete;
        return mode;
    }
    // The lobby writes "true" for the host; the comparison is case-sensitive. The host plays
    // on its own server, so only a joining address has to be one.
    mode.kind = args[2] == QLatin1String("true") ? LaunchMode::Host : LaunchMode::Join;
    mode.playername = args[0];
    mode.hostaddress = args[1];
    mode.watch = args.size() > 3 && args[3] == QLatin1String("watch");
    if (mode.kind == LaunchMode::Host) return mode;
    // No default port here: the window knows which port an address without one joins.
    const auto address = proto::parseHostPort(args[1].toStdString(), 0);
    if (!address) {
        mode.kind = LaunchMode::BadAddress;
        return mode;
    }
    mode.host = QString::fromStdString(address->host);
    mode.port = address->port;
    return mode;
}

}  // namespace tessarin
