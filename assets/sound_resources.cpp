#include "sound_resources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE declares a function of the global namespace, so it cannot be expanded
// inside namespace tessarin.
static void registerSounds() {
    Q_INIT_RESOURCE(sounds);
}

namespace tessarin {

void initSoundResources() {
    registerSounds();
}

}  // namespace tessarin
