// Host and port lookup for TSock. Host names are resolved once per process and then
// served from the cache; numeric addresses and the empty name never reach the name service.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

// An IPv4 or IPv6 socket address, as bind, connect and accept take it.
struct SockAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;

    int family() const { return storage.ss_family; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
    sockaddr* get() { return reinterpret_cast<sockaddr*>(&storage); }
    std::uint16_t port() const;  // host byte order
    void setPort(std::uint16_t port);
    // Dotted IPv4 (also for an IPv4-mapped IPv6 address, as a dual-stack listener sees
    // IPv4 peers), otherwise the IPv6 text.
    std::string text() const;
};

// An IPv4 address and port, both in host byte order (INADDR_LOOPBACK, 7772).
SockAddress ipv4Address(std::uint32_t host, std::uint16_t port = 0);

// A numeric address: dotted IPv4, or IPv6 (with a zone such as "%eth0" for a link-local
// one). nullopt for anything else, "1.2.3" included.
std::optional<SockAddress> numericAddress(const std::string& text);

class HostCache {
  public:
    using Resolver = std::function<std::optional<SockAddress>(const std::string& name)>;

    // The default resolver asks the system's name service (blocking) for a name's
    // addresses of either family and takes the first.
    HostCache();
    explicit HostCache(Resolver resolver) : resolve_(std::move(resolver)) {}

    // Empty name: the IPv4 "any" address. A name with a ':' must be an IPv6 address, one
    // starting with a digit a dotted IPv4 address. Other names are looked up in the cache (without
    // regard to case), else resolved and remembered. Throws ESockException "Host Lookup - Could Not
    // Find Host Entry" when there is no address. The port of the address returned is 0.
    SockAddress lookup(const std::string& name);

  private:
    struct Entry {
        std::string name;
        SockAddress address;
    };
    Resolver resolve_;
    std::vector<Entry> entries_;
};

// The process-wide cache every TSock uses. Single-threaded (the UI thread).
HostCache& hostcache();

// A decimal port 0..65535, or a service name looked up for "tcp". Returns the port in host
// byte order; throws ESockException "Port Lookup - Could Not Find Service Entry".
std::uint16_t lookupPort(const std::string& name);

}  // namespace tessarin
