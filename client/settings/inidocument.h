// The text of an INI file as its lines, so that a change rewrites only the lines it must.
//
// Form: "[name]" header lines start sections; "key=value" lines below a header are its
// entries; names are compared without regard to letter case and, like values, with the
// blanks around them removed. Every other line (comments, blank lines, text before the
// first header, lines without '=') is kept as it is. Each line keeps its own bytes and
// line end (LF or CR LF); lines that are added take the line end of the file's first line.
// Text is read as UTF-8, or as Latin-1 where it is not valid UTF-8, and written as UTF-8.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

namespace tessarin {

using IniEntries = QList<std::pair<QString, QString>>;

// The entries of one section in file order.
struct IniSection {
    IniEntries entries;
    // The value of the first entry named `key`.
    std::optional<QString> value(QStringView key) const;
};

class IniDocument {
  public:
    explicit IniDocument(const QByteArray& text = {});

    // The first section named `name`; empty when there is none.
    IniSection section(const QString& name) const;

    // Sets each entry in turn in the first section named `section`: the key's first line
    // is replaced (the key keeping the file's spelling), a missing key is added after the
    // section's last entry, a missing section is added at the end. Line breaks and zero
    // bytes in a value become blanks, as the form cannot hold them. Refuses, changing
    // nothing, a section name that is empty or holds ']' or a line break, and a key name
    // that is empty, holds '=' or a line break, or begins with '[', ';' or '#' (it would
    // not read back as that key).
    bool set(const QString& section, const IniEntries& entries, QString* error = nullptr);

    QByteArray text() const;

  private:
    enum class Kind { Other, Header, Entry };
    struct Line {
        QByteArray bytes;  // the whole line, its line end included
        Kind kind = Kind::Other;
        QString name;  // section or key name
        QString value;
    };

    static Line parse(const QByteArray& bytes);
    // The index of the first header named `name`, or -1.
    qsizetype findSection(QStringView name) const;
    void setOne(qsizetype header, const QString& key, const QString& value);

    std::vector<Line> lines_;
    QByteArray lineEnd_ = "\n";
};

}  // namespace tessarin
