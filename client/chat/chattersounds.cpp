#include "chattersounds.h"

#include <array>

namespace tessarin::chat {
namespace {

constexpr std::array<std::string_view, kChatterSoundCount> kCaptions{
    "Doh",       "Cough",    "Hello",          "Thank You",    "Where have you been?",
    "Snoring",   "Sneezing", "Sorry",          "Welcome",      "Yeehaa",
    "Yippee",    "Oh No",    "Applause",       "Honk",         "Oooh",
    "Razzberry", "Cheer",    "Woman Laughing", "Man Laughing", "Crying",
};

}  // namespace

std::string_view chatterCaption(int tag) {
    if (tag < 1 || tag > kChatterSoundCount) return {};
    return kCaptions[static_cast<std::size_t>(tag - 1)];
}

std::optional<std::string_view> chatterCaption(std::string_view soundName) {
    for (int tag = 1; tag <= kChatterSoundCount; ++tag) {
        const std::string name = chatterSoundName(tag);
        if (name.size() != soundName.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            char c = soundName[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            same = c == name[i];
        }
        if (same) return chatterCaption(tag);
    }
    return std::nullopt;
}

std::string chatterSoundName(int tag) {
    return "wave" + std::to_string(tag);
}

}  // namespace tessarin::chat
