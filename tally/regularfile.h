// Opening a file that only a regular file may be: the tally and settings files.
#pragma once

#include <filesystem>

namespace tessarin {

// Opens `path` for reading (links followed). Returns the descriptor (blocking, close on
// exec), or -1 with errno set: ENOENT when missing, EINVAL when it is a FIFO, device,
// socket or folder. Opening never blocks, so a FIFO put in a file's place cannot stop the
// program.
int openRegularFile(const std::filesystem::path& path);

}  // namespace tessarin
