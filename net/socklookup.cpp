#include "socklookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <strings.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

#include "tsock.h"

namespace tessarin {

namespace {

std::optional<SockAddress> firstAddress(const std::string& name, int family, int flags) {
    addrinfo hints{};
    hints.ai_family = family;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return std::nullopt;
    SockAddress address;
    if (found->ai_addrlen <= sizeof address.storage) {
        std::memcpy(&address.storage, found->ai_addr, found->ai_addrlen);
        address.length = found->ai_addrlen;
    }
    freeaddrinfo(found);
    if (address.length == 0) return std::nullopt;
    return address;
}

std::optional<SockAddress> systemResolve(const std::string& name) {
    return firstAddress(name, AF_UNSPEC, 0);
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool startsWithDigit(std::string_view text) {
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text.front()));
}

}  // namespace

SockAddress ipv4Address(std::uint32_t host, std::uint16_t port) {
    SockAddress address;
    auto& a = reinterpret_cast<sockaddr_in&>(address.storage);
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(host);
    address.length = sizeof a;
    return address;
}

std::uint16_t SockAddress::port() const {
    const auto& a = reinterpret_cast<const sockaddr_in&>(storage);
    const auto& a6 = reinterpret_cast<const sockaddr_in6&>(storage);
    return ntohs(family() == AF_INET6 ? a6.sin6_port : a.sin_port);
}

void SockAddress::setPort(std::uint16_t port) {
    if (family() == AF_INET6)
        reinterpret_cast<sockaddr_in6&>(storage).sin6_port = htons(port);
    else
        reinterpret_cast<sockaddr_in&>(storage).sin_port = htons(port);
}

std::string SockAddress::text() const {
    char text[INET6_ADDRSTRLEN] = {};
    if (family() == AF_INET) {
        const auto& a = reinterpret_cast<const sockaddr_in&>(storage);
        return inet_ntop(AF_INET, &a.sin_addr, text, sizeof text) ? text : "";
    }
    const auto& a6 = reinterpret_cast<const sockaddr_in6&>(storage);
    if (IN6_IS_ADDR_V4MAPPED(&a6.sin6_addr))
        return inet_ntop(AF_INET, &a6.sin6_addr.s6_addr[12], text, sizeof text) ? text : "";
    return inet_ntop(AF_INET6, &a6.sin6_addr, text, sizeof text) ? text : "";
}

std::optional<SockAddress> numericAddress(const std::string& text) {
    if (text.find(':') != std::string::npos) return firstAddress(text, AF_INET6, AI_NUMERICHOST);
    in_addr host{};
    if (inet_pton(AF_INET, text.c_str(), &host) != 1) return std::nullopt;
    return ipv4Address(ntohl(host.s_addr));
}

HostCache::HostCache() : resolve_(systemResolve) {}

SockAddress HostCache::lookup(const std::string& name) {
    static const ESockException notFound("Host Lookup - Could Not Find Host Entry");
    if (name.empty()) return ipv4Address(INADDR_ANY);
    if (startsWithDigit(name) || name.find(':') != std::string::npos) {
        const auto address = numericAddress(name);
        if (!address) throw notFound;
        return *address;
    }
    const auto cached = std::find_if(entries_.begin(), entries_.end(),
                                     [&](const Entry& e) { return sameName(e.name, name); });
    if (cached != entries_.end()) return cached->address;
    const auto address = resolve_(name);
    if (!address) throw notFound;
    entries_.push_back({name, *address});
    return *address;
}

HostCache& hostcache() {
    static HostCache cache;
    return cache;
}

std::uint16_t lookupPort(const std::string& name) {
    static const ESockException notFound("Port Lookup - Could Not Find Service Entry");
    if (startsWithDigit(name)) {
        unsigned port = 0;
        const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), port);
        if (error != std::errc() || end != name.data() + name.size() || port > 65535)
            throw notFound;
        return static_cast<std::uint16_t>(port);
    }
    const servent* service = getservbyname(name.c_str(), "tcp");
    if (service == nullptr) throw notFound;
    return ntohs(static_cast<std::uint16_t>(service->s_port));
}

}  // namespace tessarin
