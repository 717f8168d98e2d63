#include "settingscolour.h"

#include <array>
#include <utility>

namespace tessarin::settings {

namespace {

constexpr std::uint32_t kMaxColour = 0x00FFFFFF;

// QString's number parsing would also take a sign, blanks or a "0x" prefix; colour text
// has none of them.
bool onlyDigits(QStringView text, int base) {
    if (text.isEmpty()) return false;
    for (QChar c : text) {
        const char16_t u = c.toLower().unicode();
        const bool digit = u >= u'0' && u <= u'9';
        const bool hex = base == 16 && u >= u'a' && u <= u'f';
        if (!digit && !hex) return false;
    }
    return true;
}

constexpr std::array<std::pair<const char*, std::uint32_t>, 16> kBasicColours{{
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

}  // namespace

std::optional<std::uint32_t> readColourText(QStringView text) {
    text = text.trimmed();
    for (const auto& [name, value] : kBasicColours) {
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return value;
    }
    const bool hex = text.startsWith(QLatin1Char('$'));
    const QStringView digits = hex ? text.mid(1) : text;
    const int base = hex ? 16 : 10;
    if (!onlyDigits(digits, base)) return std::nullopt;
    bool ok = false;
    const qulonglong number = digits.toULongLong(&ok, base);
    if (!ok || number > kMaxColour) return std::nullopt;
    return static_cast<std::uint32_t>(number);
}

QString colourText(std::uint32_t colour) {
    for (const auto& [name, value] : kBasicColours) {
        if (value == colour) return QLatin1String(name);
    }
    return QLatin1Char('$') +
           QString::number(colour, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

}  // namespace tessarin::settings
