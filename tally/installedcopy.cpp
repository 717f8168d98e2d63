#include "installedcopy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <system_error>

namespace tessarin {

bool isInstalledCopy(const std::filesystem::path& programDir) {
    struct stat info {};
    if (::stat(programDir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid() || ::access(programDir.c_str(), W_OK) != 0)
        return true;
    std::error_code ec;
    const std::string real = std::filesystem::canonical(programDir, ec).string() + '/';
    if (ec) return true;
    for (const char* system : {"/usr/", "/opt/", "/bin/", "/sbin/", "/lib/", "/snap/", "/app/"})
        if (real.starts_with(system)) return true;
    return false;
}

}  // namespace tessarin
