// Where the settings file lives.
#pragma once

#include <QString>

namespace tessarin {

// "zorvlobby.ini" in `programDir` when that folder is writable (the maker's other programs
// look for it there), else in `configDir`, which is created when missing.
QString chooseSettingsPath(const QString& programDir, const QString& configDir);

// chooseSettingsPath() for the running program: the executable's folder, else the
// user's configuration folder for this program. Needs a QCoreApplication.
QString settingsFilePath();

}  // namespace tessarin
