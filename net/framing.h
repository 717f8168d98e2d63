// Cutting one connection's byte stream into messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin::proto {

// Holds the pending tail of one connection: bytes after the last 0xFF, waiting for the rest
// of their message. The tail is bounded so a peer that never sends 0xFF cannot grow it
// without limit.
class Framer {
  public:
    static constexpr std::size_t kDefaultMaxPending = 64 * 1024;

    explicit Framer(std::size_t maxPending = kDefaultMaxPending) : maxPending_(maxPending) {}

    // Appends a received chunk and moves every complete message (without its 0xFF) to out,
    // in order. Returns false when the unterminated tail exceeds the limit; the connection
    // should then be dropped (the tail is discarded).
    bool feed(std::string_view chunk, std::vector<std::string>& out);

    const std::string& pending() const { return pending_; }

  private:
    std::string pending_;
    std::size_t maxPending_;
};

}  // namespace tessarin::proto
