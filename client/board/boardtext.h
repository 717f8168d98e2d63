// The texts the board shows: status lines, the word list's summary, the round label. Names
// and words arrive as single-byte text; they are read as Latin-1.
#pragma once

#include <QString>
#include <string_view>

namespace tessarin::board {

inline const QString kWaiting = QStringLiteral("<Waiting>");

// Text of the system's single-byte code page as shown on screen.
QString fromwire(std::string_view text);

// "FIRST".."SIXTH" for rows 1..6, empty otherwise.
QString ordinal(int row);

// The word list's summary: "1 word / 2 points", "2 words / 6 points".
QString wordsummary(int count, int points);

// "Round: 2 of 3".
QString roundcaption(int round, int totalrounds);

// "You placed a letter in the THIRD word." or "<placer> placed a letter in the THIRD word."
QString placedstatus(bool mine, const QString& placer, int row);

QString turnstatus(bool mine, const QString& player);

// "A".."Z" for letter codes 1..26, "empty" for anything else.
QString lettername(int code);

}  // namespace tessarin::board
