#include "launchmode.h"

namespace tessarin {

LaunchMode readparams(const QStringList& args) {
    if (args.isEmpty())
        return {LaunchMode::Solo, QStringLiteral("You"), QStringLiteral("127.0.0.1")};
    if (args.size() < 3) return {LaunchMode::Incomplete, {}, {}};
    // The lobby writes "true" for the host; the comparison is case-sensitive.
    const auto kind = args[2] == QLatin1String("true") ? LaunchMode::Host : LaunchMode::Join;
    return {kind, args[0], args[1]};
}

}  // namespace tessarin
