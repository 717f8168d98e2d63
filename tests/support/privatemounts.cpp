#include "privatemounts.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace tessarin::testing {

namespace fs = std::filesystem;

namespace {

std::string failed(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool writeFile(const char* path, const std::string& text) {
    std::ofstream file(path);
    file << text;
    return static_cast<bool>(file.flush());
}

// Mounts made from here on are seen by this process alone.
std::string enterOwnNamespace() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWNS) != 0) {
        // Unprivileged: a user namespace of our own grants the right to mount, mapping this
        // user to itself so files keep their owner.
        if (uid == 0 || ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return failed("unshare (a private mount namespace)");
        if (!writeFile("/proc/self/setgroups", "deny") ||
            !writeFile("/proc/self/uid_map",
                       std::to_string(uid) + " " + std::to_string(uid) + " 1") ||
            !writeFile("/proc/self/gid_map",
                       std::to_string(gid) + " " + std::to_string(gid) + " 1"))
            return "cannot map the user into its own namespace";
    }
    // Otherwise mounts here would propagate back to the rest of the system.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failed("mount --make-rprivate /");
    return {};
}

}  // namespace

std::string privateMountsUnavailable() {
    static const std::string why = enterOwnNamespace();
    return why;
}

ReadOnlyFolder::ReadOnlyFolder(fs::path dir) : dir_(std::move(dir)) {
    if (privateMountsUnavailable().empty()) {
        if (::mount(dir_.c_str(), dir_.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            why_ = failed("bind mount");
            return;
        }
        mounted_ = true;
        if (::mount(nullptr, dir_.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            why_ = failed("read-only remount");
        return;
    }
    if (::geteuid() == 0) {
        why_ = privateMountsUnavailable() + "; root writes into folders without write permission";
        return;
    }
    fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::remove);
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (mounted_)
        ::umount2(dir_.c_str(), MNT_DETACH);
    else if (ok())
        fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::add);
}

FullDisk::FullDisk(fs::path dir, std::size_t bytes) : dir_(std::move(dir)) {
    why_ = privateMountsUnavailable();
    if (!why_.empty()) return;
    const std::string options = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", dir_.c_str(), "tmpfs", 0, options.c_str()) != 0)
        why_ = failed("mount -t tmpfs");
}

FullDisk::~FullDisk() {
    if (ok()) ::umount2(dir_.c_str(), MNT_DETACH);
}

void FullDisk::fill() const {
    const int fd = ::open((dir_ / "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    const std::vector<char> block(4096, 'f');
    for (std::size_t size = block.size(); size > 0; size /= 2)
        while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
        }
    ::close(fd);
}

namespace {

constexpr unsigned kOverrides =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool capabilities(__user_cap_data_struct* data, bool set) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

}  // namespace

WithoutOverride::WithoutOverride() {
    __user_cap_data_struct data[2]{};
    if (!capabilities(data, false)) return;
    effective_ = data[0].effective;
    data[0].effective &= ~kOverrides;
    changed_ = capabilities(data, true);
}

WithoutOverride::~WithoutOverride() {
    __user_cap_data_struct data[2]{};
    if (!changed_ || !capabilities(data, false)) return;
    data[0].effective = effective_;
    capabilities(data, true);
}

}  // namespace tessarin::testing
