// Colours as the chat and the settings file write them: a value laid out 0x00BBGGRR (red in
// the low byte), as text either one of the sixteen basic colour names or "$" and eight
// upper-case hexadecimal digits. Plain C++; no Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessarin::chat {

using Colour = std::uint32_t;

// The program's own chat lines.
inline constexpr Colour kSystemColour = 0xFF0000;
// Received lines whose colour text cannot be read.
inline constexpr Colour kFallbackColour = 0x0000FF;

// The basic colour's name ("clNavy") when the value is one, else "$" and eight hex digits.
std::string colourToText(Colour colour);

// Reads a basic colour name (letter case ignored), a decimal number (a leading '-' as in
// negative 32-bit values) or "$" and one to eight hexadecimal digits. Anything else,
// including blanks around the text, gives nothing.
std::optional<Colour> colourFromText(std::string_view text);

}  // namespace tessarin::chat
