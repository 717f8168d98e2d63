#include "atomicfile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <string>
#include <system_error>

namespace tessarin {

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> tempCounter{0};
constexpr int kMaxLinks = 40;  // as the kernel's own limit for a path

fs::path followLinks(fs::path path) {
    std::error_code error;
    for (int hop = 0; hop < kMaxLinks && fs::is_symlink(path, error); ++hop) {
        const fs::path next = fs::read_symlink(path, error);
        if (error) break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

std::string tempPrefix(const fs::path& target) {
    return "." + target.filename().string() + ".tmp";
}

// The process id in a temporary file's name "<prefix>PID-N", or 0 when it is none of ours.
pid_t ownerOf(const std::string& name, const std::string& prefix) {
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(first, last, pid);
    if (error != std::errc() || end == first || end == last || *end != '-') return 0;
    unsigned counter = 0;
    const auto [rest, error2] = std::from_chars(end + 1, last, counter);
    return error2 == std::errc() && rest == last && rest != end + 1 ? pid : 0;
}

void syncDirectory(const fs::path& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(const fs::path& target) : target_(followLinks(target)) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::open() {
    discard();
    for (int attempt = 0; attempt < 100; ++attempt) {
        // A hidden name of our own beside the target; O_EXCL keeps it from taking over
        // anything that exists. Mode 0666 lets the umask decide, as for a plain create.
        temp_ = target_;
        temp_.replace_filename(tempPrefix(target_) + std::to_string(::getpid()) + "-" +
                               std::to_string(tempCounter++));
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) break;
        if (errno != EEXIST) break;
    }
    if (fd_ < 0) {
        temp_.clear();
        return fail();
    }
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0 && ::fchmod(fd_, old.st_mode & 07777) != 0)
        return fail();
    return true;
}

bool AtomicFile::write(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) return false;
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd_, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR) continue;
        if (done == 0) errno = ENOSPC;
        if (done <= 0) return fail();
        bytes = bytes.subspan(static_cast<std::size_t>(done));
    }
    return true;
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    if (::fsync(fd_) != 0) return fail();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) return fail();
    temp_.clear();
    // Makes the rename itself durable; the data is safe either way, so a failure here is
    // not worth reporting.
    syncDirectory(target_.parent_path());
    removeStaleTemporaries();
    return true;
}

bool AtomicFile::fail() {
    error_ = errno;
    discard();
    return false;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

void AtomicFile::removeStaleTemporaries() const {
    const std::string prefix = tempPrefix(target_);
    const fs::path dir = target_.parent_path().empty() ? fs::path(".") : target_.parent_path();
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const pid_t pid = ownerOf(it->path().filename().string(), prefix);
        // Another process's temporary file is stale only once that process is gone.
        if (pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH &&
            it->is_regular_file(error))
            ::unlink(it->path().c_str());
    }
}

}  // namespace tessarin
