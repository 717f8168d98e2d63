#include "hostport.h"

#include <algorithm>

namespace tessarin::proto {

namespace {

constexpr std::size_t kMaxHostLength = 253;  // the longest DNS name

bool hostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

bool ipv6Character(char c) {
    return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || (c >= '0' && c <= '9') || c == ':' ||
           c == '.';
}

std::optional<int> readPort(std::string_view text, PortZero zero) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    int port = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port > 65535 || (port == 0 && zero == PortZero::Refused)) return std::nullopt;
    return port;
}

}  // namespace

std::optional<HostPort> parseHostPort(std::string_view text, int defaultPort, PortZero zero) {
    std::string_view host = text;
    std::string_view port;
    bool ipv6 = false;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view after = text.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return std::nullopt;
            port = after.substr(1);
            if (port.empty()) return std::nullopt;
        }
        ipv6 = true;
    } else if (std::count(text.begin(), text.end(), ':') > 1) {
        ipv6 = true;  // a bare IPv6 address has no room for a port
    } else if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (port.empty()) return std::nullopt;
    }
    if (host.empty() || host.size() > kMaxHostLength) return std::nullopt;
    // An IPv6 address may end in a zone, "%" and an interface's name ("fe80::1%eth0").
    const std::string_view zone =
        ipv6 && host.find('%') != std::string_view::npos ? host.substr(host.find('%') + 1) : "";
    const std::string_view bare = ipv6 ? host.substr(0, host.find('%')) : host;
    const auto valid = ipv6 ? ipv6Character : hostCharacter;
    if (!std::all_of(bare.begin(), bare.end(), valid) ||
        !std::all_of(zone.begin(), zone.end(), hostCharacter))
        return std::nullopt;
    if (ipv6 && host.find(':') == std::string_view::npos) return std::nullopt;

    HostPort address{std::string(host), defaultPort};
    if (!port.empty()) {
        const auto number = readPort(port, zero);
        if (!number) return std::nullopt;
        address.port = *number;
    }
    return address;
}

std::string formatHostPort(const HostPort& address) {
    const bool ipv6 = address.host.find(':') != std::string::npos;
    return (ipv6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

}  // namespace tessarin::proto
