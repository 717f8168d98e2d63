#include "socklookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <strings.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <charconv>

#include "tsock.h"

namespace tessarin {

namespace {

std::optional<in_addr> systemResolve(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return std::nullopt;
    const in_addr address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return address;
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool startsWithDigit(std::string_view text) {
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text.front()));
}

}  // namespace

HostCache::HostCache() : resolve_(systemResolve) {}

in_addr HostCache::lookup(const std::string& name) {
    static const ESockException notFound("Host Lookup - Could Not Find Host Entry");
    if (name.empty()) return in_addr{htonl(INADDR_ANY)};
    if (startsWithDigit(name)) {
        in_addr address{};
        if (inet_pton(AF_INET, name.c_str(), &address) != 1) throw notFound;
        return address;
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
