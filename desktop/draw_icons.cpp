// Draws the window icon into a hicolor icon theme folder at the sizes desktops look for.
// Usage: draw_icons ICON-NAME THEME-FOLDER   (run by tools/make-icons)
#include <QtCore/QDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>

#include <cstdio>

#include "pictures.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: draw_icons ICON-NAME THEME-FOLDER\n");
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    const QDir theme(QString::fromLocal8Bit(argv[2]));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = theme.filePath(folder + QLatin1Char('/') + name + ".png");
        if (!theme.mkpath(folder) || !tessarin::pictures::appIconImage(size).save(file)) {
            std::fprintf(stderr, "draw_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
