#include "atomicwrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace tessarin {

namespace {

QString systemError(const QString& what, const QString& path, int error) {
    return QStringLiteral("%1 %2: %3")
        .arg(what, path, QString::fromLocal8Bit(std::strerror(error)));
}

bool writeAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Makes the rename itself durable; a failure here does not undo the replacement.
void syncDirectory(const QByteArray& dir) {
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

FileStatus writeFileAtomically(const QString& path, const QByteArray& data) {
    QFileInfo info(path);
    if (info.isSymLink()) info = QFileInfo(info.symLinkTarget());
    const QString target = info.absoluteFilePath();
    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray dir = QFile::encodeName(info.absolutePath());

    mode_t mode = newFileMode();
    struct stat old;
    if (::stat(targetName.constData(), &old) == 0) mode = old.st_mode & 07777;

    QByteArray temp = targetName + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return {systemError(QStringLiteral("Cannot write beside"), target, errno)};

    auto fail = [&](const QString& what) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.constData());
        return FileStatus{systemError(what, target, error)};
    };
    if (!writeAll(fd, data)) return fail(QStringLiteral("Cannot write"));
    if (::fchmod(fd, mode) != 0) return fail(QStringLiteral("Cannot set permissions of"));
    if (::fsync(fd) != 0) return fail(QStringLiteral("Cannot flush"));
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return {systemError(QStringLiteral("Cannot write"), target, error)};
    }
    if (::rename(temp.constData(), targetName.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return {systemError(QStringLiteral("Cannot replace"), target, error)};
    }
    syncDirectory(dir);
    return {};
}

}  // namespace tessarin
