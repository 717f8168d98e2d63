// Byte helpers shared by the tally tests.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin::testing {

using Bytes = std::vector<std::uint8_t>;

// "40 80 00" -> {0x40, 0x80, 0x00}
inline Bytes hex(std::string_view text) {
    Bytes out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return out;
}

inline Bytes text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

inline Bytes randomBytes(std::size_t n, std::uint32_t seed = 7) {
    std::mt19937 gen(seed);
    Bytes out(n);
    for (auto& b : out) b = static_cast<std::uint8_t>(gen());
    return out;
}

// Grid text the way the tally writes it: short CR LF lines of names and small figures.
inline Bytes tallyLikeText(std::size_t n, std::uint32_t seed = 11) {
    static const char* const names[] = {"Ann", "Klot", "Bertrand", "zoe_77", "Mirela", "Tomasz"};
    std::mt19937 gen(seed);
    Bytes out;
    while (out.size() < n) {
        std::string line = (gen() % 4 == 0) ? names[gen() % 6] : std::to_string(gen() % 300);
        line += "\r\n";
        out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(n);
    return out;
}

}  // namespace tessarin::testing
