// Where the tally file lives, and reading and writing it: the grid text of TTally in the
// "WRZL" container (lzrw1format.h). No temporary file: the text passes through memory.
#pragma once

#include <QString>

#include "ttally.h"

namespace tessarin {

// The product name followed by "tally.tld".
inline constexpr char kTallyFileName[] = "Tessarintally.tld";

struct TallyPaths {
    QString load;  // the file to read at start-up
    QString save;  // the file to write at the end
};

// The file beside the program; when the program's folder is not writable, the one in
// `fallbackDir` (created when needed), read from beside the program until it exists.
TallyPaths tallyPaths(const QString& programDir, const QString& fallbackDir);
// tallyPaths() for this program: its own folder, else the user's data folder for it.
TallyPaths defaultTallyPaths();

// Replaces `tally` by the figures in the file. Returns false, leaving `tally` as it is,
// when there is no file. Throws ELzrw1Exception or EGridFormat with the text for the user;
// `tally` is then unchanged.
bool loadTallyFile(const QString& path, TTally& tally);

// Writes the tally; the previous file stays in place until the new one is complete.
// Throws ELzrw1Exception on failure.
void saveTallyFile(const QString& path, const TTally& tally);

// Copies `path` to `path` + ".bad" (replacing an older copy), so that a file this program
// could not read survives the save that follows. False when the copy failed.
bool keepUnreadable(const QString& path);

}  // namespace tessarin
