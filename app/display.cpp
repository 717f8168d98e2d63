#include "display.h"

#include <cstdlib>

namespace tessarin {

bool hasDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    // An explicit platform (offscreen, vnc, ...) decides for itself.
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace tessarin
