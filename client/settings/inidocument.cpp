#include "inidocument.h"

#include <QStringDecoder>

namespace tessarin {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// A byte order mark inside a line is text of that line (the file's own is taken off before
// its first line is read), so the decoder must not drop it.
QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(QStringView text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

QByteArray lineEndOf(const QByteArray& line) {
    if (line.endsWith("\r\n")) return "\r\n";
    if (line.endsWith('\n')) return "\n";
    return {};
}

QString flattened(QString value) {
    for (QChar& c : value) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0)) c = QLatin1Char(' ');
    }
    return value;
}

}  // namespace

std::optional<QString> IniSection::value(QStringView key) const {
    for (const auto& [name, value] : entries) {
        if (sameName(name, key)) return value;
    }
    return std::nullopt;
}

IniDocument::IniDocument(const QByteArray& text) {
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        end = end < 0 ? text.size() : end + 1;
        QByteArray bytes = text.mid(pos, end - pos);
        // A BOM is part of the file's bytes but not of its first line's text.
        Line line =
            parse(pos == 0 && bytes.startsWith(kUtf8Bom) ? bytes.mid(kUtf8Bom.size()) : bytes);
        line.bytes = std::move(bytes);
        if (lines_.empty() && !lineEndOf(line.bytes).isEmpty()) lineEnd_ = lineEndOf(line.bytes);
        lines_.push_back(std::move(line));
        pos = end;
    }
}

IniDocument::Line IniDocument::parse(const QByteArray& bytes) {
    Line line;
    line.bytes = bytes;
    const QByteArray text = bytes.trimmed();
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        if (close > 0) {
            line.kind = Kind::Header;
            line.name = decode(text.mid(1, close - 1).trimmed());
        }
        return line;
    }
    if (text.startsWith(';') || text.startsWith('#')) return line;
    const qsizetype equals = text.indexOf('=');
    if (equals <= 0) return line;
    line.name = decode(text.left(equals).trimmed());
    line.value = decode(text.mid(equals + 1).trimmed());
    line.kind = Kind::Entry;
    return line;
}

qsizetype IniDocument::findSection(QStringView name) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Header && sameName(lines_[i].name, name)) {
            return static_cast<qsizetype>(i);
        }
    }
    return -1;
}

IniSection IniDocument::section(const QString& name) const {
    IniSection section;
    const qsizetype header = findSection(name.trimmed());
    if (header < 0) return section;
    for (auto i = static_cast<std::size_t>(header) + 1; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Header) break;
        if (lines_[i].kind == Kind::Entry) {
            section.entries.append({lines_[i].name, lines_[i].value});
        }
    }
    return section;
}

bool IniDocument::set(const QString& section, const IniEntries& entries, QString* error) {
    auto refuse = [error](const QString& text) {
        if (error) *error = text;
        return false;
    };
    const QString sectionName = section.trimmed();
    if (sectionName.isEmpty() || sectionName.contains(QLatin1Char(']')) ||
        hasLineBreak(sectionName)) {
        return refuse(QStringLiteral("Invalid settings section name \"%1\"").arg(sectionName));
    }
    for (const auto& entry : entries) {
        const QString key = entry.first.trimmed();
        if (key.isEmpty() || key.contains(QLatin1Char('=')) || hasLineBreak(key) ||
            key.startsWith(QLatin1Char('[')) || key.startsWith(QLatin1Char(';')) ||
            key.startsWith(QLatin1Char('#'))) {
            return refuse(QStringLiteral("Invalid settings key name \"%1\"").arg(key));
        }
    }

    qsizetype header = findSection(sectionName);
    if (header < 0) {
        if (!lines_.empty() && lineEndOf(lines_.back().bytes).isEmpty()) {
            lines_.back().bytes += lineEnd_;
        }
        lines_.push_back(parse('[' + sectionName.toUtf8() + ']' + lineEnd_));
        header = static_cast<qsizetype>(lines_.size()) - 1;
    }
    for (const auto& [key, value] : entries) {
        setOne(header, key.trimmed(), flattened(value).trimmed());
    }
    return true;
}

void IniDocument::setOne(qsizetype header, const QString& key, const QString& value) {
    auto last = static_cast<std::size_t>(header);
    for (std::size_t i = last + 1; i < lines_.size() && lines_[i].kind != Kind::Header; ++i) {
        if (lines_[i].kind != Kind::Entry) continue;
        if (sameName(lines_[i].name, key)) {
            // The key keeps the spelling the file gave it.
            const QByteArray text = lines_[i].name.toUtf8() + '=' + value.toUtf8();
            lines_[i] = parse(text + lineEndOf(lines_[i].bytes));
            return;
        }
        last = i;
    }
    if (lineEndOf(lines_[last].bytes).isEmpty()) lines_[last].bytes += lineEnd_;
    const QByteArray text = key.toUtf8() + '=' + value.toUtf8();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last) + 1, parse(text + lineEnd_));
}

QByteArray IniDocument::text() const {
    QByteArray text;
    for (const Line& line : lines_) text += line.bytes;
    return text;
}

}  // namespace tessarin
