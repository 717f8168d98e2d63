#include "botstrength.h"

#include <array>

namespace tessarin {

namespace {

constexpr std::array<std::string_view, 3> kNames = {"Normal", "Strong", "Expert"};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::string_view strengthName(BotStrength strength) {
    return kNames[static_cast<std::size_t>(strength)];
}

std::optional<BotStrength> strengthFromName(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (sameIgnoringCase(name, kNames[i])) return static_cast<BotStrength>(i);
    return std::nullopt;
}

}  // namespace tessarin
