// The server's log lines, as an operator reads them: "2026-12-09 14:03:07.250 info: text".
// When the stream goes to the journal (JOURNAL_STREAM names it), the level is the journal's
// priority prefix ("<6>") instead of a word, so that journalctl can filter and colour it.
#pragma once

#include <QDateTime>

#include <string>
#include <string_view>

namespace tessarin {

// The syslog priorities the journal takes.
enum class LogLevel { Error = 3, Warning = 4, Notice = 5, Info = 6 };

std::string formatLogLine(LogLevel level, std::string_view text, const QDateTime& when,
                          bool journal);

// Whether file descriptor `fd` is the stream JOURNAL_STREAM ("device:inode") names.
bool isJournalStream(int fd);

}  // namespace tessarin
