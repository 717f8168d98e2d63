// Replacing a file so that it is never seen half-written.
#pragma once

#include <QByteArray>
#include <QString>

#include "filestatus.h"

namespace tessarin {

// Writes `data` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so that every reader sees the old content or the new one. On failure the
// temporary file is removed and `path` is left exactly as it was; the text names the file
// and the reason. A symbolic link is followed and the file it names is replaced; an
// existing file keeps its permission bits, a new one gets 0666 less the umask. Our own
// temporary files left by a crash are removed (AtomicFile, shared with the tally).
FileStatus writeFileAtomically(const QString& path, const QByteArray& data);

}  // namespace tessarin
