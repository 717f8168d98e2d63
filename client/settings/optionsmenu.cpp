#include "optionsmenu.h"

#include <QAction>
#include <QActionGroup>
#include <QColor>
#include <QColorDialog>
#include <QMenu>

#include <initializer_list>
#include <utility>

#include "qcolour.h"

namespace tessarin {

namespace {

using namespace settings;

struct Item {
    const char* caption;
    int value;
};

// A submenu of checkable items, each carrying its value, of which at most one is ticked.
QActionGroup* addGroup(QMenu* menu, const char* title, std::initializer_list<Item> items,
                       std::optional<int> ticked) {
    QMenu* submenu = menu->addMenu(QString::fromLatin1(title));
    auto* group = new QActionGroup(submenu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const Item& item : items) {
        QAction* action = submenu->addAction(QString::fromLatin1(item.caption));
        action->setCheckable(true);
        action->setData(item.value);
        action->setChecked(ticked == item.value);
        group->addAction(action);
    }
    return group;
}

// Ticks the item carrying `value` and clears the others; with no such item, none is ticked.
void tick(QActionGroup* group, int value) {
    for (QAction* action : group->actions()) action->setChecked(action->data().toInt() == value);
}

QAction* addSwitch(QMenu* menu, const char* caption) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

unsigned bit(OptionsMenu::Option option) {
    return 1u << static_cast<unsigned>(option);
}

}  // namespace

OptionsMenu::OptionsMenu(QMenu* menu) : QObject(menu) {
    botSpeed_ =
        addGroup(menu, "Bot Speed",
                 {{"Slow", kBotSlow}, {"Normal", kBotNormal}, {"Fast", kBotFast}}, kBotNormal);
    timeSpeed_ = addGroup(menu, "Time Speed",
                          {{"Short", kTimeShort}, {"Normal", kTimeNormal}, {"Long", kTimeLong}},
                          kTimeNormal);
    turnSound_ = addGroup(menu, "Turn Sound", {{"Classic", 0}, {"New", 1}}, 0);
    playSoundsItem_ = addSwitch(menu, "Play Sounds");
    playerPhraseSoundsItem_ = addSwitch(menu, "Player Phrase Sounds");
    QAction* textColor = menu->addAction(QStringLiteral("Text Color"));
    textSizes_ =
        addGroup(menu, "Text Size", {{"8", 8}, {"10", 10}, {"12", 12}, {"14", 14}}, std::nullopt);

    strength_ = addGroup(menu, "Computer Strength",
                         {{kStrengthNames[kStrengthNormal], kStrengthNormal},
                          {kStrengthNames[kStrengthStrong], kStrengthStrong},
                          {kStrengthNames[kStrengthExpert], kStrengthExpert}},
                         kStrengthNormal);

    connect(botSpeed_, &QActionGroup::triggered, this, &OptionsMenu::Fast1Click);
    connect(timeSpeed_, &QActionGroup::triggered, this, &OptionsMenu::Long1Click);
    connect(turnSound_, &QActionGroup::triggered, this, &OptionsMenu::Classic1Click);
    connect(playSoundsItem_, &QAction::triggered, this, &OptionsMenu::PlaySounds1Click);
    connect(playerPhraseSoundsItem_, &QAction::triggered, this,
            &OptionsMenu::PlayerPhraseSounds1Click);
    connect(textColor, &QAction::triggered, this, &OptionsMenu::TextColor1Click);
    connect(textSizes_, &QActionGroup::triggered, this, &OptionsMenu::N14Click);
    connect(strength_, &QActionGroup::triggered, this, &OptionsMenu::StrengthClick);

    QWidget* dialogParent = menu->parentWidget();
    pickColour_ = [dialogParent](std::uint32_t current) -> std::optional<std::uint32_t> {
        const QColor chosen = QColorDialog::getColor(chat::toQColor(current), dialogParent);
        if (!chosen.isValid()) return std::nullopt;
        return chat::fromQColor(chosen);
    };
}

bool OptionsMenu::playSounds() const {
    return playSoundsItem_->isChecked();
}

bool OptionsMenu::playerPhraseSounds() const {
    return playerPhraseSoundsItem_->isChecked();
}

void OptionsMenu::applyLoaded(const LoadedSettings& loaded) {
    textSize_ = loaded.textSize;
    tick(textSizes_, textSize_);
    chatColour_ = loaded.textColour;
    botSpeedMs_ = loaded.botSpeedMs;
    tick(botSpeed_, botSpeedMs_);
    timeSpeedMs_ = loaded.timeSpeedMs;
    tick(timeSpeed_, timeSpeedMs_);
    turnSoundNew_ = loaded.turnSoundNew;
    tick(turnSound_, turnSoundNew_ ? 1 : 0);
    playSoundsItem_->setChecked(loaded.playSounds);
    playerPhraseSoundsItem_->setChecked(loaded.playerPhraseSounds);
    botStrength_ = loaded.botStrength;
    tick(strength_, botStrength_);
    settled_ = ~0u;
}

SavedSettings OptionsMenu::toSave() const {
    SavedSettings s;
    auto settled = [this](Option option) { return (settled_ & bit(option)) != 0; };
    if (settled(Option::TextSize)) s.textSize = textSize_;
    if (settled(Option::TextColor)) s.textColour = chatColour_;
    if (settled(Option::BotSpeed)) s.botSpeedMs = botSpeedMs_;
    if (settled(Option::TimeSpeed)) s.timeSpeedMs = timeSpeedMs_;
    if (settled(Option::TurnSound)) s.turnSoundNew = turnSoundNew_;
    if (settled(Option::PlayerPhraseSounds)) s.playerPhraseSounds = playerPhraseSounds();
    if (settled(Option::PlaySounds)) s.playSounds = playSounds();
    if (settled(Option::BotStrength)) s.botStrength = botStrength_;
    return s;
}

void OptionsMenu::choose(Option option) {
    settled_ |= bit(option);
    emit changed(option);
}

void OptionsMenu::Fast1Click(QAction* item) {
    botSpeedMs_ = item->data().toInt();
    tick(botSpeed_, botSpeedMs_);
    choose(Option::BotSpeed);
}

void OptionsMenu::Long1Click(QAction* item) {
    timeSpeedMs_ = item->data().toInt();
    tick(timeSpeed_, timeSpeedMs_);
    choose(Option::TimeSpeed);
}

void OptionsMenu::Classic1Click(QAction* item) {
    turnSoundNew_ = item->data().toInt() == 1;
    tick(turnSound_, item->data().toInt());
    choose(Option::TurnSound);
}

// The check item has toggled itself before this runs.
void OptionsMenu::PlaySounds1Click() {
    choose(Option::PlaySounds);
}

void OptionsMenu::PlayerPhraseSounds1Click() {
    choose(Option::PlayerPhraseSounds);
}

void OptionsMenu::TextColor1Click() {
    const std::optional<std::uint32_t> colour = pickColour_(chatColour_);
    if (!colour) return;
    chatColour_ = *colour;
    choose(Option::TextColor);
}

void OptionsMenu::N14Click(QAction* item) {
    textSize_ = item->data().toInt();
    tick(textSizes_, textSize_);
    choose(Option::TextSize);
}

void OptionsMenu::StrengthClick(QAction* item) {
    botStrength_ = item->data().toInt();
    tick(strength_, botStrength_);
    choose(Option::BotStrength);
}

}  // namespace tessarin
