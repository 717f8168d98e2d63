#include "boardtext.h"

#include <array>

namespace tessarin::board {

QString fromwire(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString ordinal(int row) {
    static const std::array<const char*, 6> kOrdinals = {"FIRST",  "SECOND", "THIRD",
                                                         "FOURTH", "FIFTH",  "SIXTH"};
    if (row < 1 || row > 6) return {};
    return QString::fromLatin1(kOrdinals[row - 1]);
}

QString wordsummary(int count, int points) {
    const QString words =
        count == 1 ? QStringLiteral("1 word") : QStringLiteral("%1 words").arg(count);
    return words + QStringLiteral(" / %1 points").arg(points);
}

QString roundcaption(int round, int totalrounds) {
    return QStringLiteral("Round: %1 of %2").arg(round).arg(totalrounds);
}

QString placedstatus(bool mine, const QString& placer, int row) {
    const QString where =
        QStringLiteral(" placed a letter in the ") + ordinal(row) + QStringLiteral(" word.");
    return (mine ? QStringLiteral("You") : placer) + where;
}

QString lettername(int code) {
    if (code >= 1 && code <= 26) return QString(QChar(u'A' + code - 1));
    return QStringLiteral("empty");
}

QString turnstatus(bool mine, const QString& player) {
    return mine ? QStringLiteral("Your Turn...Choose a Letter to place.")
                : player + QStringLiteral("'s turn.");
}

}  // namespace tessarin::board
