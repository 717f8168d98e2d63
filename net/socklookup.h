// Host and port lookup for TSock. Host names are resolved once per process and then
// served from the cache; dotted addresses and the empty name never reach the name service.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

// Addresses are IPv4 in network byte order, as sockaddr_in holds them.
class HostCache {
  public:
    using Resolver = std::function<std::optional<in_addr>(const std::string& name)>;

    // The default resolver asks the system's name service (blocking) for the first
    // IPv4 address of a name.
    HostCache();
    explicit HostCache(Resolver resolver) : resolve_(std::move(resolver)) {}

    // Empty name: the "any" address. A name starting with a digit must be a dotted IPv4
    // address. Other names are looked up in the cache (without regard to case), else
    // resolved and remembered. Throws ESockException "Host Lookup - Could Not Find Host
    // Entry" when there is no address.
    in_addr lookup(const std::string& name);

  private:
    struct Entry {
        std::string name;
        in_addr address;
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
