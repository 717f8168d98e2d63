// Whether a window can be shown at all, asked before Qt would abort without a display.
#pragma once

namespace tessarin {

// False when no platform plugin was chosen and neither an X11 nor a Wayland display is set.
bool hasDisplay();

}  // namespace tessarin
