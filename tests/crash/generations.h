// What the crash test's saver writes in generation g, through the program's own save paths
// for the tally file and the settings file, and how to tell which generation a file holds.
#pragma once

#include <QByteArray>
#include <QString>

namespace tessarin::crash {

// The settings file as the lobby and the maker's other programs left it, before this
// program first writes its section: large enough that a rewrite takes a while.
QByteArray foreignSettings();

// Generation g of the tally (own figures, followed players, their number varying with g),
// saved as the tally window saves it.
void saveTally(const QString& dir, long g);
// Generation g of the program's settings, saved as the main window saves them.
void saveSettings(const QString& dir, long g);

// The generation the file in `dir` holds; -1 when the file is missing, -2 when it does not
// read.
long tallyGeneration(const QString& dir);
long settingsGeneration(const QString& dir);

QString tallyPath(const QString& dir);
QString settingsPath(const QString& dir);

}  // namespace tessarin::crash
