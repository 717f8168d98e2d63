// The program's section of the settings file: reading it with its defaults and reading
// rules, and writing the keys the main window saves. See settings_format.md.
#pragma once

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

#include "filestatus.h"
#include "inifile.h"
#include "settingskeys.h"

namespace tessarin {

// The section as loadinifile reads it; every field holds its default when the key is
// missing or unreadable.
struct LoadedSettings {
    int textSize = settings::kMissingTextSize;
    QRect bounds{settings::kDefaultLeft, settings::kDefaultTop, settings::kDefaultWidth,
                 settings::kDefaultHeight};
    std::uint32_t textColour = 0;    // 0x00BBGGRR; black
    std::optional<int> playToScore;  // none when empty or not a number
    int botSpeedMs = settings::kBotNormal;
    int timeSpeedMs = settings::kTimeNormal;
    int botStrength = settings::kStrengthNormal;
    bool turnSoundNew = false;
    std::array<QString, settings::kPhraseCount> phrases;  // empty: the built-in phrase
    bool playSounds = true;
    bool playerPhraseSounds = true;
    bool showHelp = true;  // the quick instructions have not been shown yet

    bool operator==(const LoadedSettings&) const = default;
};

// What saveinifile writes; an empty field leaves its key as the file has it.
struct SavedSettings {
    std::optional<int> textSize;
    std::optional<QRect> bounds;
    std::optional<std::uint32_t> textColour;
    std::optional<int> playToScore;
    std::optional<int> botSpeedMs;
    std::optional<int> timeSpeedMs;
    std::optional<int> botStrength;
    std::optional<bool> turnSoundNew;
    std::optional<bool> playerPhraseSounds;
    std::optional<bool> playSounds;

    bool operator==(const SavedSettings&) const = default;
};

class TessarinSettings {
  public:
    // `path` is the settings file, normally settingsFilePath().
    explicit TessarinSettings(QString path) : file_(std::move(path)) {}
    const QString& path() const { return file_.path(); }

    // Reads the section; changes nothing.
    LoadedSettings read() const;
    // read(), then "Help" is written as "2" whatever it was, so that the quick instructions
    // come up by themselves on the first connection only. A failed write is reported in
    // `writeStatus` and does not change what was read.
    LoadedSettings loadinifile(FileStatus* writeStatus = nullptr) const;

    // Writes, in one rewrite and in this order, Textsize, Top, Left, Width, Height,
    // Textcolor, Playtoscore, Botspeed, Delay, Turnsound, Playerphrasesounds, Playsounds,
    // Botstrength.
    FileStatus saveinifile(const SavedSettings& values) const;

    // Writes Phrase1..Phrase9 (the phrase window's "Done").
    FileStatus savephrases(const std::array<QString, settings::kPhraseCount>& phrases) const;

  private:
    IniFile file_;
};

}  // namespace tessarin
