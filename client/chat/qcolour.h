// Colours laid out 0x00BBGGRR (colourtext.h) as the windows' QColor and back. For code that
// has Qt's GUI module; colourtext.h itself stays plain C++.
#pragma once

#include <QColor>

#include "colourtext.h"

namespace tessarin::chat {

inline QColor toQColor(Colour colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

inline Colour fromQColor(const QColor& colour) {
    return static_cast<Colour>(colour.red()) | static_cast<Colour>(colour.green()) << 8 |
           static_cast<Colour>(colour.blue()) << 16;
}

}  // namespace tessarin::chat
