#include "settingspath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "settingskeys.h"

namespace tessarin {

QString chooseSettingsPath(const QString& programDir, const QString& configDir) {
    const QFileInfo program(programDir);
    if (program.isDir() && program.isWritable()) {
        return QDir(programDir).filePath(QString::fromLatin1(settings::kFileName));
    }
    QDir().mkpath(configDir);
    return QDir(configDir).filePath(QString::fromLatin1(settings::kFileName));
}

QString settingsFilePath() {
    return chooseSettingsPath(QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

}  // namespace tessarin
