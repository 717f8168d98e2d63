// How well the computer plays, a host option applied to every seat the computer plays.
#pragma once

#include <optional>
#include <string_view>

namespace tessarin {

enum class BotStrength {
    Normal,  // the designed player: each rack tile in one random open row
    Strong,  // every rack tile in every open row, the highest score
    Expert,  // as Strong, less what the move leaves open to the next player
};

// "Normal", "Strong", "Expert": the Options menu's words, the settings file's values and,
// in lower case, the headless server's.
std::string_view strengthName(BotStrength strength);
// Either spelling, any case; nothing for other text.
std::optional<BotStrength> strengthFromName(std::string_view name);

}  // namespace tessarin
