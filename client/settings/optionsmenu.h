// The settings items of the main window's Options menu and the option values they hold.
//
// The items, in order: "Bot Speed" ("Slow" 2000, "Normal" 1000, "Fast" 500), "Time Speed"
// ("Short" 500, "Normal" 1000, "Long" 1500), "Turn Sound" ("Classic", "New"), "Play Sounds",
// "Player Phrase Sounds", "Text Color" (a colour dialog), "Text Size" ("8", "10", "12",
// "14") and "Computer Strength" ("Normal", "Strong", "Expert"). Within each of the five groups at
// most one item is ticked; after a choice, or after reading one of the offered values, exactly one
// is. The main window appends its own items ("Scroll Chat Off", "Clear Main Chat", ...) to the same
// menu afterwards.
//
// Every choice from the menu emits changed(); the main window then applies it and saves the
// settings. Reading the settings (applyLoaded) changes the values without emitting.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>

#include "tessarinsettings.h"
#include "textsize.h"

class QAction;
class QActionGroup;
class QMenu;

namespace tessarin {

class OptionsMenu : public QObject {
    Q_OBJECT

  public:
    enum class Option {
        BotSpeed,
        TimeSpeed,
        TurnSound,
        PlaySounds,
        PlayerPhraseSounds,
        TextColor,
        TextSize,
        BotStrength,
    };
    Q_ENUM(Option)

    // Asks the user for a colour starting from `current` (0x00BBGGRR); nothing on cancel.
    using ColourPicker = std::function<std::optional<std::uint32_t>(std::uint32_t current)>;

    // Adds the items to `menu`, which owns them and this object.
    explicit OptionsMenu(QMenu* menu);

    // Values before the settings are read: speeds 0 (with "Normal" ticked), Classic, both
    // sound switches on, black, text size 10 with no size ticked.
    int botSpeedMs() const { return botSpeedMs_; }
    int timeSpeedMs() const { return timeSpeedMs_; }
    bool turnSoundNew() const { return turnSoundNew_; }
    bool playSounds() const;
    bool playerPhraseSounds() const;
    std::uint32_t chatColour() const { return chatColour_; }  // 0x00BBGGRR
    int textSize() const { return textSize_; }
    int botStrength() const { return botStrength_; }  // settings::kStrengthNormal..Expert

    // Takes over the options of the settings just read, ticking the matching items; a text
    // size that the menu does not offer is taken but ticks nothing.
    void applyLoaded(const LoadedSettings& loaded);

    // The options for saveinifile. Until the settings have been read, only the options the
    // user has chosen are included: the start-up placeholders must not replace the user's
    // stored choices.
    SavedSettings toSave() const;

    // Replaces the colour dialog (tests).
    void setColourPicker(ColourPicker picker) { pickColour_ = std::move(picker); }

  signals:
    void changed(tessarin::OptionsMenu::Option option);

  private:
    void Fast1Click(QAction* item);
    void Long1Click(QAction* item);
    void Classic1Click(QAction* item);
    void PlaySounds1Click();
    void PlayerPhraseSounds1Click();
    void TextColor1Click();
    void N14Click(QAction* item);
    void StrengthClick(QAction* item);

    void choose(Option option);

    QActionGroup* botSpeed_ = nullptr;
    QActionGroup* timeSpeed_ = nullptr;
    QActionGroup* turnSound_ = nullptr;
    QActionGroup* textSizes_ = nullptr;
    QActionGroup* strength_ = nullptr;
    QAction* playSoundsItem_ = nullptr;
    QAction* playerPhraseSoundsItem_ = nullptr;
    ColourPicker pickColour_;

    int botSpeedMs_ = 0;
    int timeSpeedMs_ = 0;
    bool turnSoundNew_ = false;
    std::uint32_t chatColour_ = 0;
    int textSize_ = chat::kStartupTextSize;
    int botStrength_ = settings::kStrengthNormal;
    // Options whose value came from the settings file or from the user, one bit each.
    unsigned settled_ = 0;
};

}  // namespace tessarin
