#include "tessarinsettings.h"

#include <algorithm>

#include "colourtext.h"
#include "textsize.h"

namespace tessarin {

namespace {

using namespace settings;

QString key(const char* name) {
    return QString::fromLatin1(name);
}

std::optional<int> readInt(const IniSection& section, const char* name) {
    const std::optional<QString> text = section.value(key(name));
    if (!text) return std::nullopt;
    bool ok = false;
    const int value = text->toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

int readInt(const IniSection& section, const char* name, int fallback) {
    return readInt(section, name).value_or(fallback);
}

// The text for a choice key, or empty when missing.
QString readText(const IniSection& section, const char* name) {
    return section.value(key(name)).value_or(QString());
}

bool readSwitch(const IniSection& section, const char* name) {
    return readText(section, name) != QLatin1String(kFalse);
}

QString switchText(bool on) {
    return QLatin1String(on ? kTrue : kFalse);
}

}  // namespace

LoadedSettings TessarinSettings::read() const {
    const IniSection section = file_.readSection(QLatin1String(kSection));
    LoadedSettings s;

    const int size = readInt(section, kTextsize, kMissingTextSize);
    if (size >= chat::kMinTextSize && size <= chat::kMaxTextSize) s.textSize = size;
    // Far from overflowing QRect's arithmetic; the window then fits them into its screen.
    const auto bound = [&section](const char* name, int fallback, int least) {
        return std::clamp(readInt(section, name, fallback), least, kMaxCoordinate);
    };
    s.bounds = QRect(bound(kLeft, kDefaultLeft, -kMaxCoordinate),
                     bound(kTop, kDefaultTop, -kMaxCoordinate), bound(kWidth, kDefaultWidth, 0),
                     bound(kHeight, kDefaultHeight, 0));
    // A value above 0x00FFFFFF is no plain colour: black, like any unreadable text.
    const auto colour =
        chat::colourFromText(readText(section, kTextcolor).toLatin1().toStdString());
    s.textColour = colour && *colour <= 0xFFFFFF ? *colour : 0;
    s.playToScore = readInt(section, kPlaytoscore);

    const QString bot = readText(section, kBotspeed);
    s.botSpeedMs = bot == QLatin1String("2000")  ? kBotSlow
                   : bot == QLatin1String("500") ? kBotFast
                                                 : kBotNormal;
    const QString delay = readText(section, kDelay);
    s.timeSpeedMs = delay == QLatin1String("1500")  ? kTimeLong
                    : delay == QLatin1String("500") ? kTimeShort
                                                    : kTimeNormal;
    s.turnSoundNew = readText(section, kTurnsound) == QLatin1String("1");
    const QString strength = readText(section, kBotstrength);
    for (int level : {kStrengthStrong, kStrengthExpert})
        if (strength == QLatin1String(kStrengthNames[level])) s.botStrength = level;

    for (int i = 0; i < kPhraseCount; ++i) {
        const QString name = key(kPhrase) + QString::number(i + 1);
        s.phrases[static_cast<std::size_t>(i)] =
            section.value(name).value_or(QString()).left(kPhraseMaxLength);
    }
    s.playSounds = readSwitch(section, kPlaysounds);
    s.playerPhraseSounds = readSwitch(section, kPlayerphrasesounds);
    const std::optional<QString> help = section.value(key(kHelp));
    s.showHelp = !help || *help == QLatin1String(kHelpNotShown);
    return s;
}

LoadedSettings TessarinSettings::loadinifile(FileStatus* writeStatus) const {
    LoadedSettings s = read();
    const FileStatus status =
        file_.write(QLatin1String(kSection), key(kHelp), QLatin1String(kHelpShown));
    if (writeStatus) *writeStatus = status;
    return s;
}

FileStatus TessarinSettings::saveinifile(const SavedSettings& v) const {
    IniEntries entries;
    auto add = [&entries](const char* name, const QString& value) {
        entries.append({key(name), value});
    };
    if (v.textSize) add(kTextsize, QString::number(*v.textSize));
    if (v.bounds) {
        add(kTop, QString::number(v.bounds->top()));
        add(kLeft, QString::number(v.bounds->left()));
        add(kWidth, QString::number(v.bounds->width()));
        add(kHeight, QString::number(v.bounds->height()));
    }
    if (v.textColour) add(kTextcolor, QString::fromStdString(chat::colourToText(*v.textColour)));
    if (v.playToScore) add(kPlaytoscore, QString::number(*v.playToScore));
    if (v.botSpeedMs) add(kBotspeed, QString::number(*v.botSpeedMs));
    if (v.timeSpeedMs) add(kDelay, QString::number(*v.timeSpeedMs));
    if (v.turnSoundNew) add(kTurnsound, QLatin1String(*v.turnSoundNew ? "1" : "0"));
    if (v.playerPhraseSounds) add(kPlayerphrasesounds, switchText(*v.playerPhraseSounds));
    if (v.playSounds) add(kPlaysounds, switchText(*v.playSounds));
    if (v.botStrength && *v.botStrength >= kStrengthNormal && *v.botStrength <= kStrengthExpert)
        add(kBotstrength, QLatin1String(kStrengthNames[*v.botStrength]));
    if (entries.isEmpty()) return {};
    return file_.write(QLatin1String(kSection), entries);
}

FileStatus TessarinSettings::savephrases(
    const std::array<QString, settings::kPhraseCount>& phrases) const {
    IniEntries entries;
    for (int i = 0; i < kPhraseCount; ++i) {
        entries.append(
            {key(kPhrase) + QString::number(i + 1), phrases[static_cast<std::size_t>(i)]});
    }
    return file_.write(QLatin1String(kSection), entries);
}

}  // namespace tessarin
