// Read-only folders and full disks for tests, as real as they get. Root may write into any
// folder, and CI runs as root, so permission bits prove nothing there: these make private
// mounts instead, in a mount namespace of the test process's own (as `unshare -m` does),
// which vanish with the process. Without root a user namespace is tried first.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tessarin::testing {

// Empty when this process can make private mounts; else the reason, for a test's skip.
std::string privateMountsUnavailable();

// `dir` read-only until destroyed: a read-only bind mount of itself (writes fail with
// EROFS). Where no mounts can be made and the process is not root, the folder's write
// permission is taken away instead. ok() is false (see why()) where neither works.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(std::filesystem::path dir);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool ok() const { return why_.empty(); }
    const std::string& why() const { return why_; }

  private:
    std::filesystem::path dir_;
    bool mounted_ = false;
    std::string why_;
};

// A tmpfs of `bytes` mounted on `dir` (an existing folder) until destroyed; fill() then
// takes all its space left, so the next write fails with ENOSPC.
class FullDisk {
  public:
    FullDisk(std::filesystem::path dir, std::size_t bytes);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    bool ok() const { return why_.empty(); }
    const std::string& why() const { return why_; }
    // Writes the file "filler" in `dir` until the disk is full.
    void fill() const;

  private:
    std::filesystem::path dir_;
    std::string why_;
};

// For root: file permissions apply to this thread until destroyed, as for any other user
// (the capabilities that override them leave its effective set).
class WithoutOverride {
  public:
    WithoutOverride();
    ~WithoutOverride();
    WithoutOverride(const WithoutOverride&) = delete;
    WithoutOverride& operator=(const WithoutOverride&) = delete;

  private:
    unsigned effective_ = 0;
    bool changed_ = false;
};

}  // namespace tessarin::testing
