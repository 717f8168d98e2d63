// Replaces a file only once its new contents are complete and on disk, so a failed write
// (a full disk, a crash, a coder error) leaves the previous file as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace tessarin {

// Writes into a temporary file in the target's directory (so the final rename stays on one
// file system) and renames it over the target in commit(). Until then the target is not
// touched; destroying an uncommitted AtomicFile deletes the temporary file.
class AtomicFile {
  public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false when the directory does not allow it.
    bool open();
    // False when not every byte was written (no space left, for instance).
    bool write(std::span<const std::uint8_t> bytes);
    // Flushes the new contents to disk and puts them in the target's place.
    bool commit();

  private:
    void discard();

    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
};

}  // namespace tessarin
