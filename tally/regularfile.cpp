#include "regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tessarin {

int openRegularFile(const std::filesystem::path& path) {
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        const int error = S_ISREG(st.st_mode) ? errno : EINVAL;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace tessarin
