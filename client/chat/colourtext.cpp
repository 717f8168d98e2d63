#include "colourtext.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace tessarin::chat {
namespace {

struct NamedColour {
    std::string_view name;
    Colour value;
};

constexpr std::array<NamedColour, 16> kBasicColours{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
}};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

std::string colourToText(Colour colour) {
    for (const auto& basic : kBasicColours)
        if (basic.value == colour) return std::string(basic.name);
    char text[10];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(colour));
    return text;
}

std::optional<Colour> colourFromText(std::string_view text) {
    for (const auto& basic : kBasicColours)
        if (sameText(basic.name, text)) return basic.value;
    if (text.empty()) return std::nullopt;

    const char* end = text.data() + text.size();
    if (text.front() == '$') {
        // At most eight digits: the value must fit 32 bits, as the colour does.
        if (text.size() < 2 || text.size() > 9) return std::nullopt;
        std::uint32_t value = 0;
        auto [ptr, ec] = std::from_chars(text.data() + 1, end, value, 16);
        if (ec != std::errc{} || ptr != end) return std::nullopt;
        return value;
    }
    std::int32_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), end, value, 10);
    if (ec != std::errc{} || ptr != end) return std::nullopt;
    return static_cast<Colour>(value);
}

}  // namespace tessarin::chat
