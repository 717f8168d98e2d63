// The game's 30 recordings as Qt resources ":/sounds/<name>.wav", names in lower case:
// turn, turnnew, clickletter, clear, invalid, goodword, badword, roundover, winner,
// entered and wave1..wave20. Mono 16-bit PCM at 22050 Hz.
#pragma once

namespace tessarin {

// Registers the recordings; call once before the first lookup (repeat calls are harmless).
void initSoundResources();

}  // namespace tessarin
