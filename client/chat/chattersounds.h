// The chatter sounds players send each other: menu tags 1..20, recordings WAVE1..WAVE20,
// and "wave" followed by the tag on the wire.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessarin::chat {

inline constexpr int kChatterSoundCount = 20;

// The menu caption of chatter sound tag 1..20 ("Welcome" for 9); empty outside that range.
std::string_view chatterCaption(int tag);

// The caption for a sound name as it arrives on the wire ("wave9" gives "Welcome"). Letter
// case is ignored, as the menu's items are found by name; any other text gives nothing.
std::optional<std::string_view> chatterCaption(std::string_view soundName);

// The wire name of tag 1..20: "wave" followed by the tag.
std::string chatterSoundName(int tag);

}  // namespace tessarin::chat
