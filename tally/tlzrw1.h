// Tlzrw1: compresses one named file into another with LZRW1-KH ("WRZL" container) and back.
// The tally window's `doit`; also behind the tessarin-tally tool.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "lzrw1container.h"

namespace tessarin {

// Every operation throws ELzrw1Exception with the user-facing text on failure. The output
// is written beside its final name and put in place only when complete: a failure leaves no
// new output file, and an output file that existed before is left as it was.
// Memory is fixed (two 32784-byte buffers per operation) whatever the file's size.
class Tlzrw1 {
  public:
    // The files of the next operation; failure texts name them as given here.
    std::filesystem::path InputFile;
    std::filesystem::path OutputFile;

    // Returns the number of bytes written, header included.
    std::int64_t Compress();
    // Only "WRZL" files are read; anything else has "no valid header". Returns the number of
    // bytes written.
    std::int64_t Decompress();
};

// The whole container file `path` decoded into memory; a file announcing more than `limit`
// bytes is refused before its chunks are read. Only a regular file is read: a FIFO, device
// or folder fails at once (as "Failed to open input file") and never blocks.
std::vector<std::uint8_t> decompressFile(const std::filesystem::path& path, std::int64_t limit);
// `data` compressed into `path`, replacing it only once the new file is complete.
void compressToFile(std::span<const std::uint8_t> data, const std::filesystem::path& path);

}  // namespace tessarin
