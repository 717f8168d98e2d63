// Chat text sizes in points: what the chat view shows and the settings file keeps under
// "Textsize". Plain C++; no Qt.
#pragma once

namespace tessarin::chat {

// The size of the chat's text until the settings file has been read.
inline constexpr int kStartupTextSize = 10;

// Sizes outside this range (from a damaged settings file) are never applied.
inline constexpr int kMinTextSize = 6;
inline constexpr int kMaxTextSize = 72;

}  // namespace tessarin::chat
