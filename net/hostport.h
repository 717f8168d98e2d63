// Addresses as players and operators type them: "HOST", "HOST:PORT", "[IPv6]:PORT", "[IPv6]"
// or a bare IPv6 address ("::1"); without a port the game's own, 7772. Plain C++, no Qt: the
// host is returned as typed (brackets removed) and resolved later, without blocking, by the
// socket layer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessarin::proto {

struct HostPort {
    std::string host;  // a name, an IPv4 address or an IPv6 address without brackets
    int port = 0;      // 1..65535, or 0 where the caller allows "any free port"
};

enum class PortZero { Refused, Allowed };

// nullopt for an empty host, a host over 253 characters or with characters no host name or
// address has, a port that is not a decimal number in range, or stray brackets.
std::optional<HostPort> parseHostPort(std::string_view text, int defaultPort,
                                      PortZero zero = PortZero::Refused);

// The address written back so that parseHostPort reads it again: IPv6 in brackets.
std::string formatHostPort(const HostPort& address);

}  // namespace tessarin::proto
