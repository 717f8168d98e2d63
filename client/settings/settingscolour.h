// Colour text of the "Textcolor" key; used only by TessarinSettings. Colours are laid out
// 0x00BBGGRR (red in the low byte).
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace tessarin::settings {

// One of the sixteen basic names ("clBlack".."clWhite", any letter case), a decimal
// number or "$" and hexadecimal digits; nullopt for anything else or a value above
// 0x00FFFFFF (which is no plain colour).
std::optional<std::uint32_t> readColourText(QStringView text);

// The basic name when the colour is one, else "$" and eight upper-case hex digits.
QString colourText(std::uint32_t colour);

}  // namespace tessarin::settings
