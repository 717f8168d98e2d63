// Where the tally file lives, and reading and writing it: the grid text of TTally in the
// "WRZL" container (lzrw1format.h). No temporary file: the text passes through memory.
#pragma once

#include <QString>

#include <cstdint>

#include "ttally.h"

namespace tessarin {

// The product name followed by "tally.tld".
inline constexpr char kTallyFileName[] = "Tessarintally.tld";

struct TallyPaths {
    QString load;  // the file to read at start-up
    QString save;  // the file to write when a game ends and at the end
};

// The file beside the program; for an installed copy (isInstalledCopy), the one in
// `fallbackDir` (created when needed), read from beside the program until it exists.
TallyPaths tallyPaths(const QString& programDir, const QString& fallbackDir);
// tallyPaths() for this program: its own folder, or the user's data folder for it.
TallyPaths defaultTallyPaths();

// The most grid text a tally file may hold: a tally of 10,000 followed players takes less
// than 2 MiB. A file announcing more is refused before its chunks are read, so loading
// never takes much more memory than this (FORMAT.md, "Limits of this reader").
inline constexpr std::int64_t kMaxTallyTextBytes = 4 * 1024 * 1024;

// Replaces `tally` by the figures in the file. Returns false, leaving `tally` as it is,
// when there is no file. Throws ELzrw1Exception or EGridFormat with the text for the user
// (a file that is no regular file, announces more than kMaxTallyTextBytes or breaks the
// grid's limits is refused so); `tally` is then unchanged.
bool loadTallyFile(const QString& path, TTally& tally);

// Writes the tally; the previous file stays in place until the new one is complete. A
// symbolic link is followed and the file keeps its permissions (AtomicFile). Throws
// ELzrw1Exception on failure.
void saveTallyFile(const QString& path, const TTally& tally);

// Renames the file `path` names (through a link, the file linked to) by adding ".bad"
// (replacing an older one), so that a file this program could not read survives the save
// that follows, at no cost in space however large it is. False when the rename failed or
// `path` is no regular file (a FIFO, device or folder is never read, nor replaced).
bool keepUnreadable(const QString& path);

}  // namespace tessarin
