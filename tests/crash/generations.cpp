#include "generations.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

#include "settingskeys.h"
#include "tallyfile.h"
#include "tessarinsettings.h"
#include "ttally.h"

namespace tessarin::crash {

namespace {

// Every figure but the own games count (which names the generation) follows from g.
QByteArray cellOf(long g, int col, int row) {
    if (col == 0) return row == 0 ? "0" : "Player" + QByteArray::number(row);
    if (col == 1 && row == 0) return QByteArray::number(g);
    return QByteArray::number((g + col * 7 + row) % 1000);
}

}  // namespace

QString tallyPath(const QString& dir) {
    return QDir(dir).filePath(QLatin1String(kTallyFileName));
}

QString settingsPath(const QString& dir) {
    return QDir(dir).filePath(QLatin1String(settings::kFileName));
}

QByteArray foreignSettings() {
    QByteArray text = "[Zorvik Lobby]\r\nName=Ann\r\n";
    for (int i = 1; i <= 300; ++i)
        text += "Server" + QByteArray::number(i) + "=lobby-" + QByteArray::number(i) +
                ".zorvik.example:7772 ; kept by the lobby\r\n";
    return text + "[Other Game]\r\nVolume=7\r\n";
}

void saveTally(const QString& dir, long g) {
    const int rows = 2 + static_cast<int>(g % 40);
    QByteArray text =
        QByteArray::number(kTallyColumns) + "\r\n" + QByteArray::number(rows) + "\r\n";
    for (int col = 0; col < kTallyColumns; ++col)
        for (int row = 0; row < rows; ++row) text += cellOf(g, col, row) + "\r\n";
    TTally tally;
    tally.load(text);
    saveTallyFile(tallyPath(dir), tally);
}

void saveSettings(const QString& dir, long g) {
    static constexpr int sizes[] = {8, 10, 12, 14};
    static constexpr int bots[] = {settings::kBotSlow, settings::kBotNormal, settings::kBotFast};
    static constexpr int times[] = {settings::kTimeShort, settings::kTimeNormal,
                                    settings::kTimeLong};
    SavedSettings values;
    values.textSize = sizes[g % 4];
    // Left names the generation.
    values.bounds = QRect(static_cast<int>(g), static_cast<int>(g % 997),
                          300 + static_cast<int>(g % 500), 200 + static_cast<int>(g % 300));
    values.textColour = static_cast<std::uint32_t>(g) & 0xFFFFFFu;
    values.playToScore = 1 + static_cast<int>(g % 5);
    values.botSpeedMs = bots[g % 3];
    values.timeSpeedMs = times[g % 3];
    values.turnSoundNew = g % 2 == 0;
    values.playerPhraseSounds = g % 3 == 0;
    values.playSounds = g % 5 != 0;
    if (!TessarinSettings(settingsPath(dir)).saveinifile(values).ok()) std::abort();
}

long tallyGeneration(const QString& dir) {
    TTally tally;
    try {
        if (!loadTallyFile(tallyPath(dir), tally)) return -1;
    } catch (const std::exception&) {
        return -2;
    }
    bool ok = false;
    const long g = tally.cell(1, 0).toLong(&ok);
    return ok ? g : -2;
}

long settingsGeneration(const QString& dir) {
    if (!QFile::exists(settingsPath(dir))) return -1;
    return TessarinSettings(settingsPath(dir)).read().bounds.left();
}

}  // namespace tessarin::crash
