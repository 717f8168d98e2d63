// The program: one copy per user, its windows created in a fixed order (the main window
// first, the hidden server eighth) and destroyed in reverse order when the main window
// closes. Destroying the tally window saves the tally (as does each game's end). SIGTERM,
// SIGINT and SIGHUP close the main window as File › Exit does, so the same happens and the
// program ends with status 0; nothing on the way out waits for the player. --help and
// --version are answered before a display is looked for.
#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QPointer>

#include <cstdio>
#include <memory>
#include <string_view>

#include "aboutform.h"
#include "background.h"
#include "chatpanel.h"
#include "display.h"
#include "downloadform.h"
#include "helpform.h"
#include "inifile.h"
#include "launchmode.h"
#include "lobbyregistration.h"
#include "picture_resources.h"
#include "pictures.h"
#include "previnst.h"
#include "protocol.h"
#include "serverconnections.h"
#include "settingskeys.h"
#include "settingspath.h"
#include "spylistform.h"
#include "stopsignals.h"
#include "tableannouncer.h"
#include "tallyfile.h"
#include "tchat.h"
#include "tdictn.h"
#include "tgamestart.h"
#include "trandom.h"
#include "ttallylist.h"

using namespace tessarin;

namespace {

QMessageBox* showLater(QWidget* parent, const QString& text) {
    // Not modal: a nested event loop would let socket events run inside a handler.
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Tessarin"), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    return box;
}

// --help and --version, answered on standard output before anything needs a display.
// Returns true when `argv` asked for one of them.
bool answeredInfoOption(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string_view option = argv[1];
    if (option == "-h" || option == "--help") {
        std::printf(
            "Usage: tessarin [NAME HOST true|false]\n"
            "A word game for one to three players, people or the computer.\n\n"
            "Without arguments: a solo game against the computer.\n"
            "NAME HOST true: hosts a game on TCP port %d as NAME; any other third word joins\n"
            "the game hosted at HOST.\n\n"
            "Options:\n"
            "  -h, --help     Displays help on commandline options.\n"
            "  -v, --version  Displays version information.\n",
            proto::kPort);
        return true;
    }
    if (option == "-v" || option == "--version") {
        std::printf("tessarin %.*s\n", static_cast<int>(proto::kVersion.size()),
                    proto::kVersion.data());
        return true;
    }
    return false;
}

// Shows the window in front and gives it the keyboard, so that Escape closes a small
// window at once instead of reaching the game behind it.
void bringForward(QWidget& window) {
    if (window.isMinimized())
        window.showNormal();
    else
        window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

int main(int argc, char** argv) {
    if (answeredInfoOption(argc, argv)) return 0;
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "Tessarin needs a desktop to show its window, and no display was found "
                     "(DISPLAY is not set); to host a game on this machine without one, run "
                     "tessarin-server.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarin"));
    // Handled from here on. Windows without a parent (the download window) would keep the
    // program running after the main window closes; a stop signal ends it all the same.
    QPointer<Tchat> mainWindow;
    StopSignals stop([&](const char*) {
        if (mainWindow) mainWindow->close();
        QCoreApplication::quit();
    });
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSARIN_APP_ID));
    SingleInstance single;
    if (single.CheckPreviousInstance(true)) {
        std::printf("Tessarin is already running: its window has been brought forward.\n");
        return 0;
    }
    initPictureResources();
    QApplication::setWindowIcon(pictures::appIcon());
    const QPixmap background = pictures::background();
    TRandom random(static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));

    auto chat = std::make_unique<Tchat>(settingsFilePath());
    mainWindow = chat.get();
    auto tally = std::make_unique<Ttallylist>(chat.get());
    forms::setbackground(tally.get(), background);
    auto about = std::make_unique<forms::Tabout>(background, chat.get());
    auto download = std::make_unique<forms::Tdownload>(background);
    auto gamestart = std::make_unique<board::Tgamestart>(*chat, chat.get());
    auto help = std::make_unique<forms::Thelp>(background, chat.get());
    // The phrase list window belongs to the chat panel, made with the main window.
    auto spell = std::make_unique<TDictn>();
    auto server = std::make_unique<ServerConnections>(random, *spell);
    auto spylist = std::make_unique<forms::Tspylist>(background, chat.get());

    chat->attach(gamestart.get(), tally.get());
    single.onActivate = [&] { bringForward(*chat); };
    help->setshowabout([&] { bringForward(*about); });
    about->seturlopener([&](const QUrl& url) { return chat->chatpanel().openinbrowser(url); });
    download->setexitgame([&] { chat->close(); });
    spylist->setkicking([&](int seat) { chat->kicking(seat); });
    // A player's malformed placements could otherwise bury the host's desktop in boxes:
    // one is shown at a time.
    QPointer<QMessageBox> hostErrorBox;
    server->onHostError = [&](const std::string& text) {
        if (!hostErrorBox) hostErrorBox = showLater(chat.get(), QString::fromStdString(text));
    };

    // A hosted table answers lobbies on the local network; a solo game does not.
    std::unique_ptr<TableAnnouncer> announcer;
    std::unique_ptr<LobbyRegistration> registration;
    const bool hosting = readparams(app.arguments().mid(1)).kind == LaunchMode::Host;
    Tchat::Hooks hooks;
    // A solo game listens on this machine alone, on any free port, so that nobody else can
    // join it and every user here can play one; hosting keeps the game's port for all.
    hooks.startserver = [&](bool solo) {
        if (solo)
            server->listenLocal();
        else
            server->listen();
        if (hosting && !announcer) {
            announcer =
                std::make_unique<TableAnnouncer>([&] { return describeTable(*server, {}); });
            const QString why = announcer->listen();
            if (!why.isEmpty()) qWarning("Not answering lobbies: %s", qPrintable(why));
        }
        // A public table, when the settings name a lobby service: the lobby takes the
        // address the registration comes from.
        const auto lobby = IniFile(settingsFilePath())
                               .readSection(QString::fromLatin1(settings::kSection))
                               .value(QString::fromLatin1(settings::kPubliclobby));
        if (const auto url = LobbyRegistration::lobbyUrl(lobby.value_or(QString()));
            hosting && url && !registration) {
            registration = std::make_unique<LobbyRegistration>(
                *url, [&] { return tableRecord(*server, chat->playername()); });
            registration->setPublicAddress({"", server->port()});
        }
        return server->port();
    };
    hooks.speedschanged = [&](int bot, int time) {
        server->setBotSpeedMs(bot);
        server->setTimeSpeedMs(time);
    };
    static_assert(static_cast<int>(BotStrength::Expert) == settings::kStrengthExpert);
    hooks.strengthchanged = [&](int strength) {
        server->setBotStrength(static_cast<BotStrength>(strength));
    };
    hooks.addspy = [&](int seat, const QString& name) { spylist->addspy(seat, name); };
    hooks.removespy = [&](int seat, const QString& name) { return spylist->removespy(seat, name); };
    hooks.enablekick = [&](bool on) { spylist->enablekick(on); };
    hooks.showdownload = [&] { download->show(); };
    hooks.showspylist = [&] { bringForward(*spylist); };
    hooks.showhelp = [&] { bringForward(*help); };
    hooks.showabout = [&] { bringForward(*about); };
    hooks.openwebpage = [&] { about->openurl(); };
    chat->setHooks(std::move(hooks));

    if (!spell->opened()) showLater(chat.get(), QString::fromLatin1(kDictionaryNotFound.data()));
    if (!spell->refusal().empty()) showLater(chat.get(), QString::fromStdString(spell->refusal()));
    chat->show();
    app.exec();

    // Reverse order of creation; the main window goes last.
    spylist.reset();
    registration.reset();
    announcer.reset();
    server.reset();
    spell.reset();
    help.reset();
    gamestart.reset();
    download.reset();
    about.reset();
    tally.reset();
    chat.reset();
    return 0;
}
