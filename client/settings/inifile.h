// An INI file on disk, opened for each read or write and closed right after, so other
// programs sharing the file see every change at once and nothing is held open.
#pragma once

#include <QString>

#include "filestatus.h"
#include "inidocument.h"

namespace tessarin {

class IniFile {
  public:
    // Files larger than this are not read, and not rewritten: they are not a settings file
    // we could keep intact.
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    explicit IniFile(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }

    // The section as the file holds it now; empty when the file is missing, unreadable,
    // larger than kMaxBytes or no regular file (a FIFO, device or folder is never opened
    // in a way that could block).
    IniSection readSection(const QString& section) const;

    // Sets the entries of the section (see IniDocument::set) in one rewrite of the whole
    // file, which replaces the old file only once the new one is safely on disk. A file
    // that exists but cannot be read is left alone and the write fails. Nothing is written
    // when the file would not change.
    FileStatus write(const QString& section, const IniEntries& entries) const;
    FileStatus write(const QString& section, const QString& key, const QString& value) const {
        return write(section, IniEntries{{key, value}});
    }

  private:
    // The file's bytes; a missing file reads as empty.
    FileStatus load(QByteArray* bytes) const;

    QString path_;
};

}  // namespace tessarin
