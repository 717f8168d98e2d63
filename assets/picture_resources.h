// Pictures shipped as files rather than drawn at run time: ":/pictures/download.jpg", the
// lobby download window's banner (300x150, baseline JPEG for the libjpeg decoder).
#pragma once

namespace tessarin {

// Registers the pictures; call once before the first lookup (repeat calls are harmless).
void initPictureResources();

}  // namespace tessarin
