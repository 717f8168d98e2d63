#include "secret.h"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <stdexcept>

#include "protocol.h"

namespace tessarin {

std::string systemSecret() {
    std::array<unsigned char, proto::kSecretBytes> bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::getrandom(bytes.data() + got, bytes.size() - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("no random bytes for a reconnect secret");
        got += static_cast<std::size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char b : bytes) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

}  // namespace tessarin
