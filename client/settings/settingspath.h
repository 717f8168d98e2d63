// Where the settings file lives.
#pragma once

#include <QString>

namespace tessarin {

// "zorvlobby.ini" in `programDir` for a copy run from its build or an unpacked folder (the
// maker's other programs look for it there), else (isInstalledCopy) in `configDir`, which
// is created when missing.
QString chooseSettingsPath(const QString& programDir, const QString& configDir);

// chooseSettingsPath() for the running program: the executable's folder, or the user's
// configuration folder for this program. Needs a QCoreApplication.
QString settingsFilePath();

}  // namespace tessarin
