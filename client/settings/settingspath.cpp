#include "settingspath.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "installedcopy.h"
#include "settingskeys.h"

namespace tessarin {

QString chooseSettingsPath(const QString& programDir, const QString& configDir) {
    if (!isInstalledCopy(programDir.toStdString()))
        return QDir(programDir).filePath(QString::fromLatin1(settings::kFileName));
    QDir().mkpath(configDir);
    return QDir(configDir).filePath(QString::fromLatin1(settings::kFileName));
}

QString settingsFilePath() {
    return chooseSettingsPath(QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

}  // namespace tessarin
