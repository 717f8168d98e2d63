// The two things the windows hand to the desktop: opening a web address in the browser and
// starting another program. Each window keeps a replaceable function for them, so that tests
// record what would have been opened or started instead of doing it.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

namespace tessarin::forms {

// Returns false when the desktop could not open the address.
using UrlOpener = std::function<bool(const QUrl& url)>;
// Starts program with arguments, detached from this process; false when it did not start.
using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

// `name` in this program's own folder when it is an executable file there, else the one
// PATH finds; empty when neither has it.
QString findprogram(const QString& name);

// QDesktopServices::openUrl.
bool openinbrowser(const QUrl& url);
// QProcess::startDetached.
bool startdetached(const QString& program, const QStringList& arguments);

}  // namespace tessarin::forms
