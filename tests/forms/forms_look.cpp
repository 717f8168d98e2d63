// Saves a picture of each auxiliary window, as the player sees it, for a person to look at:
//   forms_look OUTPUT_PREFIX   writes OUTPUT_PREFIX-spylist.png, -help.png, -about.png,
//                              -download.png
// Run it on a real display or under Xvfb so that fonts and styles are the desktop's.
#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "aboutform.h"
#include "downloadform.h"
#include "helpform.h"
#include "pictures.h"
#include "spylistform.h"

using namespace tessarin::forms;

namespace {

bool save(QWidget& window, const QString& prefix, const QString& name) {
    window.show();
    QApplication::processEvents();
    return window.grab().save(prefix + QLatin1Char('-') + name + QStringLiteral(".png"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        qWarning("usage: forms_look OUTPUT_PREFIX");
        return 2;
    }
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const QPixmap background = tessarin::pictures::background();

    Tspylist spies(background);
    spies.addspy(4, QStringLiteral("Marguerite"));
    spies.addspy(5, QStringLiteral("Bob"));
    spies.addspy(9, QStringLiteral("Watcher With A Long Name"));

    Thelp help(background);
    for (QPushButton* button : help.findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Game Play")) button->click();

    Tabout about(background);

    Tdownload download(background);
    download.infolabel->setText(QStringLiteral("123456 bytes"));
    download.infolabel3->setText(QStringLiteral("Downloading: zorviklobby-setup.run"));

    const bool saved = save(spies, prefix, QStringLiteral("spylist")) &&
                       save(help, prefix, QStringLiteral("help")) &&
                       save(about, prefix, QStringLiteral("about")) &&
                       save(download, prefix, QStringLiteral("download"));
    return saved ? 0 : 1;
}
