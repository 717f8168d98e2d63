#include "picture_resources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE declares a function of the global namespace, so it cannot be expanded
// inside namespace tessarin.
static void registerPictures() {
    Q_INIT_RESOURCE(pictures);
}

namespace tessarin {

void initPictureResources() {
    registerPictures();
}

}  // namespace tessarin
