// Reconnect secrets: proto::kSecretBytes bytes from the system's random source, as
// lower-case hex. Unguessable, unlike the game's seeded TRandom, which must stay
// reproducible.
#pragma once

#include <string>

namespace tessarin {

// Throws std::runtime_error if the system has no random bytes to give.
std::string systemSecret();

}  // namespace tessarin
