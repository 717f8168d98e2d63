#include "inifile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include "atomicwrite.h"
#include "regularfile.h"

namespace tessarin {

FileStatus IniFile::load(QByteArray* bytes) const {
    bytes->clear();
    const int fd = openRegularFile(QFile::encodeName(path_).toStdString());
    if (fd < 0 && errno == ENOENT) return {};
    if (fd < 0) {
        const QString reason = errno == EINVAL ? QStringLiteral("not a regular file")
                                               : QString::fromLocal8Bit(std::strerror(errno));
        return {QStringLiteral("Cannot read %1: %2").arg(path_, reason)};
    }
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    // Read one byte past the limit rather than trust the size: the file may be growing,
    // or be a device that reports no size at all.
    while (bytes->size() <= kMaxBytes) {
        const QByteArray chunk = file.read(kMaxBytes + 1 - bytes->size());
        if (chunk.isEmpty()) break;
        *bytes += chunk;
    }
    if (file.error() != QFile::NoError) {
        const QString error = file.errorString();
        bytes->clear();
        return {QStringLiteral("Cannot read %1: %2").arg(path_, error)};
    }
    if (bytes->size() > kMaxBytes) {
        bytes->clear();
        return {QStringLiteral("%1 is larger than %2 bytes").arg(path_).arg(kMaxBytes)};
    }
    return {};
}

IniSection IniFile::readSection(const QString& section) const {
    QByteArray bytes;
    if (!load(&bytes).ok()) return {};
    return IniDocument(bytes).section(section);
}

FileStatus IniFile::write(const QString& section, const IniEntries& entries) const {
    QByteArray bytes;
    if (FileStatus status = load(&bytes); !status.ok()) return status;
    IniDocument document(bytes);
    QString error;
    if (!document.set(section, entries, &error)) return {error};
    const QByteArray text = document.text();
    if (text == bytes && QFile::exists(path_)) return {};
    return writeFileAtomically(path_, text);
}

}  // namespace tessarin
