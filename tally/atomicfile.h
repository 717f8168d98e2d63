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
//
// A symbolic link at the target is followed (links to links too, up to 40) and the file it
// names is replaced, so the link stays a link. The new file gets the permission bits of the
// file it replaces, or 0666 less the umask when there was none. The temporary file is named
// ".NAME.tmpPID-N" after the target's NAME; such files of a process that no longer runs,
// left by a crash, are removed after the next successful commit.
class AtomicFile {
  public:
    explicit AtomicFile(const std::filesystem::path& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The file that commit() replaces: the target with its links followed.
    const std::filesystem::path& target() const { return target_; }

    // Creates the temporary file; false when the directory does not allow it.
    bool open();
    // False when not every byte was written (no space left, for instance).
    bool write(std::span<const std::uint8_t> bytes);
    // Flushes the new contents to disk and puts them in the target's place.
    bool commit();
    // The errno of the step that failed.
    int error() const { return error_; }

  private:
    bool fail();
    void discard();
    void removeStaleTemporaries() const;

    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace tessarin
