#include "shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace tessarin::forms {

QString findprogram(const QString& name) {
    const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()).filePath(name));
    if (beside.isFile() && beside.isExecutable()) return beside.filePath();
    return QStandardPaths::findExecutable(name);
}

bool openinbrowser(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool startdetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

}  // namespace tessarin::forms
