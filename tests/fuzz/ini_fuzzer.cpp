// Any bytes as a settings file, with a section, key and value to look up and set. The
// file's text must come back unchanged from reading, and setting one key may change only
// that key's line: the line is replaced, or one line is added (after the section's last
// entry, or with a new section at the end), and the file's last line gains a line end
// where something follows it. Every other byte stays. The value set must read back.
//
// Input: three length bytes (section % 32, key % 32, value % 64), then the section name,
// key and value as UTF-8, then the file.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "inidocument.h"

namespace {

using namespace tessarin;

void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "settings file: %s\n", what);
    std::abort();
}

// The lines of a text, each with its line end.
std::vector<QByteArray> lines(const QByteArray& text) {
    std::vector<QByteArray> out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        end = end < 0 ? text.size() : end + 1;
        out.push_back(text.mid(pos, end - pos));
        pos = end;
    }
    return out;
}

bool hasLineEnd(const QByteArray& line) {
    return line.endsWith('\n');
}

// Whether `line`, read inside a section, is an entry named `key`.
bool isEntryFor(const QByteArray& line, const QString& key) {
    return IniDocument("[s]\n" + line).section(QStringLiteral("s")).value(key).has_value();
}

// Whether line `index` of a file is a header of `section`. A byte order mark counts only
// at the start of the file.
bool isHeaderFor(const QByteArray& line, std::size_t index, const QString& section) {
    const QByteArray probe = (index == 0 ? "" : "\n") + line + "\nk=v\n";
    return IniDocument(probe).section(section).value(u"k").has_value();
}

// The value as the file can hold it: line breaks and zero bytes as blanks, trimmed.
QString storable(QString value) {
    for (QChar& c : value)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0)) c = QLatin1Char(' ');
    return value.trimmed();
}

// Old and new lines differ only in one middle stretch: returns it from each side.
void differingStretch(const std::vector<QByteArray>& a, const std::vector<QByteArray>& b,
                      std::vector<QByteArray>& midA, std::vector<QByteArray>& midB) {
    std::size_t front = 0;
    while (front < a.size() && front < b.size() && a[front] == b[front]) ++front;
    std::size_t back = 0;
    while (back < a.size() - front && back < b.size() - front &&
           a[a.size() - 1 - back] == b[b.size() - 1 - back])
        ++back;
    midA.assign(a.begin() + front, a.end() - back);
    midB.assign(b.begin() + front, b.end() - back);
}

void checkSet(const IniDocument& doc, const QByteArray& text, const QString& section,
              const QString& key, const QString& value) {
    IniDocument changed = doc;
    if (!changed.set(section, {{key, value}})) {
        require(changed.text() == text, "a refused change altered the file");
        return;
    }
    const QByteArray after = changed.text();
    const IniSection read = IniDocument(after).section(section);
    require(read.value(key.trimmed()) == storable(value), "the value set does not read back");

    const std::vector<QByteArray> before = lines(text);
    std::vector<QByteArray> oldLines, newLines;
    differingStretch(before, lines(after), oldLines, newLines);
    if (newLines.empty()) {
        require(oldLines.empty(), "lines were removed");
        return;  // the entry held that value already
    }
    const QByteArray lineEnd =
        !before.empty() && before[0].endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    const bool hadKey = doc.section(section).value(key.trimmed()).has_value();
    bool hadSection = false;
    for (std::size_t i = 0; i < before.size(); ++i)
        hadSection |= isHeaderFor(before[i], i, section);
    if (hadKey) {
        require(oldLines.size() == 1 && newLines.size() == 1, "more than the key's line changed");
        require(isEntryFor(oldLines[0], key.trimmed()), "a line other than the key's changed");
        require(isEntryFor(newLines[0], key.trimmed()), "the key's line lost its key");
        require(oldLines[0].endsWith("\r\n") == newLines[0].endsWith("\r\n") &&
                    hasLineEnd(oldLines[0]) == hasLineEnd(newLines[0]),
                "the key's line changed its line end");
        return;
    }
    // Added: optionally the old last line's missing line end, a header, then the entry.
    std::size_t at = 0;
    if (oldLines.size() == 1) {
        require(!hasLineEnd(oldLines[0]) && newLines[0] == oldLines[0] + lineEnd,
                "an old line changed other than gaining a line end");
        at = 1;
    } else {
        require(oldLines.empty(), "old lines changed where one was added");
    }
    const std::size_t added = newLines.size() - at;
    require(added == (hadSection ? 1u : 2u), "other lines added than the entry needs");
    if (!hadSection) require(isHeaderFor(newLines[at], 1, section), "no header for a new section");
    for (std::size_t i = at; i < newLines.size(); ++i)
        require(newLines[i].endsWith(lineEnd), "an added line without the file's line end");
    require(isEntryFor(newLines.back(), key.trimmed()), "the added line is not the key's");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::size_t lengths[3] = {data[0] % 32u, data[1] % 32u, data[2] % 64u};
    std::size_t at = 3;
    QString parts[3];
    for (int i = 0; i < 3; ++i) {
        const std::size_t n = std::min(lengths[i], size - at);
        parts[i] = QString::fromUtf8(bytes + at, static_cast<qsizetype>(n));
        at += n;
    }
    const QByteArray text(bytes + at, static_cast<qsizetype>(size - at));
    const auto& [section, key, value] = parts;

    const IniDocument doc(text);
    require(doc.text() == text, "reading changed the text");
    for (const auto& [name, entry] : doc.section(section).entries)
        require(!name.isEmpty(), "an entry without a name");

    checkSet(doc, text, section, key, value);
    return 0;
}
