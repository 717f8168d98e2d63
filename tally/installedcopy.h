// Whether a program runs as an installed copy, decided by where it lies. An installed copy
// keeps its settings and tally in the user's folders, whoever runs it (root may write
// into /usr/games, and a package's removal would then leave those files behind); a copy
// run from its build or an unpacked folder of the user's keeps them beside itself.
#pragma once

#include <filesystem>

namespace tessarin {

// True when `programDir` is not a folder the files may go into: a system folder (under
// /usr, /opt, /bin, /sbin, /lib, /snap or /app, also through a link), a folder the
// user does not own, one the user cannot write, or no folder at all.
bool isInstalledCopy(const std::filesystem::path& programDir);

}  // namespace tessarin
