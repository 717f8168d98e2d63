#include "shell.h"

#include <QDesktopServices>
#include <QProcess>

namespace tessarin::forms {

bool openinbrowser(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool startdetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

}  // namespace tessarin::forms
