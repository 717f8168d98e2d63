#include "logline.h"

#include <sys/stat.h>

#include <QByteArray>
#include <QList>

namespace tessarin {

namespace {

const char* levelWord(LogLevel level) {
    switch (level) {
        case LogLevel::Error:
            return "error";
        case LogLevel::Warning:
            return "warning";
        case LogLevel::Notice:
            return "notice";
        default:
            return "info";
    }
}

}  // namespace

std::string formatLogLine(LogLevel level, std::string_view text, const QDateTime& when,
                          bool journal) {
    const std::string time = when.toString("yyyy-MM-dd HH:mm:ss.zzz").toStdString();
    std::string line = journal ? "<" + std::to_string(static_cast<int>(level)) + ">" + time + " "
                               : time + " " + levelWord(level) + ": ";
    line += text;
    return line;
}

bool isJournalStream(int fd) {
    const QList<QByteArray> parts = qgetenv("JOURNAL_STREAM").split(':');
    struct stat status {};
    if (parts.size() != 2 || ::fstat(fd, &status) != 0) return false;
    bool deviceOk = false;
    bool inodeOk = false;
    const qulonglong device = parts[0].toULongLong(&deviceOk);
    const qulonglong inode = parts[1].toULongLong(&inodeOk);
    return deviceOk && inodeOk && device == status.st_dev && inode == status.st_ino;
}

}  // namespace tessarin
