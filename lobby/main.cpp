// tessarin-lobby: finds Tessarin tables on the local network and at a public lobby, and
// starts the game for the one chosen, as "tessarin NAME HOST[:PORT] true|false". One lobby runs per
// user; a second start brings the first forward. It serves the lobby link (127.0.0.1:9001) that the
// game holds while it runs.
#include <QApplication>
#include <QCommandLineParser>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

#include "discovery.h"
#include "lobbylink.h"
#include "lobbyurl.h"
#include "lobbywindow.h"
#include "previnst.h"
#include "protocol.h"
#include "publictables.h"
#include "settingspath.h"
#include "tablefinder.h"
#include "tablelist.h"

using namespace tessarin;

namespace {

void describe(QCommandLineParser& parser) {
    QCoreApplication::setApplicationName(QStringLiteral("tessarin-lobby"));
    QCoreApplication::setApplicationVersion(
        QString::fromLatin1(proto::kVersion.data(), qsizetype(proto::kVersion.size())));
    parser.setApplicationDescription(QStringLiteral(
        "Finds Tessarin tables on the local network and at a public lobby, and starts the game to "
        "join, watch or host one."));
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version print and end without a display.
bool textOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (textOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCommandLineParser parser;
        describe(parser);
        parser.process(app);  // prints and exits
        return 0;
    }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "tessarin-lobby: unexpected argument \"%s\" (see --help)\n",
                     qPrintable(parser.positionalArguments().front()));
        return 2;
    }
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSARIN_LOBBY_ID));

    SingleInstance single(QStringLiteral("tessarin-lobby"),
                          QStringLiteral("tessarin-lobby-running"));
    if (single.CheckPreviousInstance(true)) {
        std::printf(
            "The Tessarin lobby is already running: its window has been brought forward.\n");
        return 0;
    }
    // The game's settings file, beside the programs or in the game's configuration folder.
    const QString settings = chooseSettingsPath(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Tessarin");

    lobby::TableList tables;
    lobby::LobbyWindow window(tables, settings);
    single.onActivate = [&] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    };
    lobby::LobbyLink link;
    link.onChanged = [&](bool running) { window.gamerunning(running); };
    QStringList problems;
    if (const QString why = link.listen(); !why.isEmpty())
        problems << QStringLiteral(
                        "Games started from here cannot tell the lobby when they end (%1).")
                        .arg(why);
    lobby::TableFinder finder(tables);
    if (const QString why = finder.start(proto::discovery::kPort); !why.isEmpty())
        problems << QStringLiteral("Tables on the local network cannot be found (%1).").arg(why);
    if (!problems.isEmpty()) window.setproblem(problems.join(' '));
    // The public lobby's tables, once the player has named one.
    lobby::PublicTables publicTables(tables);
    publicTables.onProblem = [&](const QString& why) { window.setpublicproblem(why); };
    QObject::connect(
        &window, &lobby::LobbyWindow::publicLobbyChanged, &publicTables,
        [&](const QString& address) { publicTables.setLobby(lobby::lobbyUrl(address)); });
    publicTables.setLobby(lobby::lobbyUrl(window.publiclobby()));
    window.show();
    return app.exec();
}
