#include "atomicfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace tessarin {

namespace {

std::atomic<unsigned> tempCounter{0};

void syncDirectory(const std::filesystem::path& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::open() {
    discard();
    for (int attempt = 0; attempt < 100; ++attempt) {
        // A hidden name of our own beside the target; O_EXCL keeps it from taking over
        // anything that exists. Mode 0666 lets the umask decide, as for a plain create.
        temp_ = target_;
        temp_.replace_filename("." + target_.filename().string() + ".tmp" +
                               std::to_string(::getpid()) + "-" + std::to_string(tempCounter++));
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) return true;
        if (errno != EEXIST) break;
    }
    temp_.clear();
    return false;
}

bool AtomicFile::write(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) return false;
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd_, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(done));
    }
    return true;
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    const bool synced = ::fsync(fd_) == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        discard();
        return false;
    }
    temp_.clear();
    // Makes the rename itself durable; the data is safe either way, so a failure here is
    // not worth reporting.
    syncDirectory(target_.parent_path());
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace tessarin
