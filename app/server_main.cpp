// tessarin-server: hosts one game without a window or display. The first client to connect
// takes seat 1 and can start games and remove seats, as the host's own client does.
// Logs connections, games, winners and the host's errors to standard output, one line each
// with the date, time and level (logline.h); SIGINT, SIGTERM or SIGHUP ends it cleanly, with
// a last line giving the longest dispatch. Hosting options (Agones, the table's end, drain,
// metrics): hosting.h.
#include <signal.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QSysInfo>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>
#include <variant>

#include "hosting.h"
#include "lobbyregistration.h"
#include "logline.h"
#include "protocol.h"
#include "serverconnections.h"
#include "stopsignals.h"
#include "tableannouncer.h"
#include "tdictn.h"
#include "trandom.h"

namespace {

void logLine(tessarin::LogLevel level, const std::string& text) {
    static const bool journal = tessarin::isJournalStream(STDOUT_FILENO);
    const std::string line =
        tessarin::formatLogLine(level, text, QDateTime::currentDateTime(), journal);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void logInfo(const std::string& text) {
    logLine(tessarin::LogLevel::Info, text);
}

void fail(const QString& text) {
    std::fprintf(stderr, "tessarin-server: %s\n", qPrintable(text));
}

// The host's Options menu settings by name, or milliseconds per tick (10..10000).
std::optional<int> speedMs(const QString& name,
                           const std::initializer_list<std::pair<const char*, int>>& table) {
    for (const auto& [key, ms] : table)
        if (name == QLatin1String(key)) return ms;
    bool ok = false;
    const int ms = name.toInt(&ok);
    if (ok && ms >= 10 && ms <= 10000) return ms;
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tessarin-server");
    QCoreApplication::setApplicationVersion(
        QString::fromLatin1(tessarin::proto::kVersion.data(), tessarin::proto::kVersion.size()));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Hosts one Tessarin game without a window. The first client to connect takes seat 1 "
        "and can start games and remove seats.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption("port", "TCP port to listen on; 0 takes any free port.",
                                        "port", QString::number(tessarin::proto::kPort));
    const QCommandLineOption botOption(
        "bot-speed", "The computer's pace: slow, normal, fast, or milliseconds per tick.", "speed",
        "normal");
    const QCommandLineOption timeOption(
        "time-speed", "Pause between turns: short, normal, long, or milliseconds per tick.",
        "speed", "normal");
    const QCommandLineOption loginOption(
        "login-timeout", "Seconds a new connection has to log in before it is closed.", "seconds",
        QString::number(tessarin::ServerConnections::kLoginTimeoutMs / 1000));
    const QCommandLineOption strengthOption(
        "bot-strength", "How well the computer plays: normal, strong or expert.", "strength",
        "normal");
    parser.addOptions({portOption, botOption, timeOption, loginOption, strengthOption});
    // Public tables: registered with a lobby service every 5 s.
    const QCommandLineOption lobbyOption(
        "lobby", "Register the table with the lobby service at URL (http://HOST:7771).", "url");
    const QCommandLineOption publicOption(
        "public-address",
        "HOST or HOST:PORT where players reach the table (the port listened on if none); "
        "without it the lobby takes the address the registration comes from.",
        "host");
    parser.addOptions({lobbyOption, publicOption});
    tessarin::addHostingOptions(parser);
    // Answering lobbies on the local network.
    const QCommandLineOption noAnnounceOption(
        "no-announce", "Do not answer lobbies looking for tables on the local network (UDP 7772).");
    const QCommandLineOption nameOption(
        "name", "The table's name in lobbies; the player in seat 1 unless given.", "text");
    parser.addOptions({noAnnounceOption, nameOption});
    parser.process(app);

    if (!parser.positionalArguments().isEmpty()) {
        fail("unexpected argument \"" + parser.positionalArguments().front() + "\" (see --help)");
        return 2;
    }
    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        fail("--port needs a number from 0 to 65535");
        return 2;
    }
    const auto botSpeed =
        speedMs(parser.value(botOption), {{"slow", 2000}, {"normal", 1000}, {"fast", 500}});
    const auto timeSpeed =
        speedMs(parser.value(timeOption), {{"short", 500}, {"normal", 1000}, {"long", 1500}});
    if (!botSpeed || !timeSpeed) {
        fail(!botSpeed ? "--bot-speed must be slow, normal, fast or 10 to 10000 (ms)"
                       : "--time-speed must be short, normal, long or 10 to 10000 (ms)");
        return 2;
    }
    bool loginOk = false;
    const int loginSeconds = parser.value(loginOption).toInt(&loginOk);
    if (!loginOk || loginSeconds < 1 || loginSeconds > 3600) {
        fail("--login-timeout needs a number of seconds from 1 to 3600");
        return 2;
    }
    const auto strength = tessarin::strengthFromName(parser.value(strengthOption).toStdString());
    if (!strength) {
        fail("--bot-strength must be normal, strong or expert");
        return 2;
    }
    const auto hostingOptions = tessarin::readHostingOptions(parser);
    if (const auto* wrong = std::get_if<QString>(&hostingOptions)) {
        fail(*wrong);
        return 2;
    }
    const auto lobbyUrl = parser.isSet(lobbyOption)
                              ? tessarin::LobbyRegistration::lobbyUrl(parser.value(lobbyOption))
                              : std::nullopt;
    if (parser.isSet(lobbyOption) && !lobbyUrl) {
        fail("--lobby needs an http:// or https:// address, such as http://lobby.example.org:7771");
        return 2;
    }
    const QByteArray publicText = parser.value(publicOption).toLatin1();
    const auto publicAddress = tessarin::proto::parseHostPort(
        std::string_view(publicText.data(), publicText.size()), int(port),
        tessarin::proto::PortZero::Allowed);  // 0: the port listened on
    if (parser.isSet(publicOption) && !publicAddress) {
        fail("--public-address needs HOST or HOST:PORT");
        return 2;
    }
    ::signal(SIGPIPE, SIG_IGN);               // a closed standard output must not end the game
    tessarin::Hosting* hostingNow = nullptr;  // once the table is open
    tessarin::StopSignals stop([&hostingNow](const char* name) {
        logLine(tessarin::LogLevel::Notice, std::string("stopping on ") + name);
        // SIGTERM is how systemd and Kubernetes stop a table: the drain's turn.
        if (hostingNow == nullptr || std::string_view(name) != "SIGTERM" || !hostingNow->drain())
            QCoreApplication::quit();
    });
    if (!stop.installed()) {
        fail("cannot catch SIGINT, SIGTERM and SIGHUP");
        return 1;
    }

    // A player's own "English" list in the working folder, else the built-in one.
    tessarin::TDictn spell;
    if (!spell.refusal().empty()) fail(QString::fromStdString(spell.refusal()));
    if (!spell.opened()) std::fprintf(stderr, "%s\n", tessarin::kDictionaryNotFound.data());
    tessarin::TRandom random(
        static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));

    tessarin::ServerConnections server(random, spell);
    // The word index is built now, not in the first game's start: no dispatch waits for it.
    server.server().finder();
    server.setBotSpeedMs(*botSpeed);
    server.setTimeSpeedMs(*timeSpeed);
    server.setLoginTimeoutMs(loginSeconds * 1000);
    server.setBotStrength(*strength);
    // Host errors go to the log too, with the time and the seat.
    server.onLog = logInfo;
    server.setPortName(std::to_string(port));
    try {
        server.listen();
    } catch (const tessarin::ESockException& e) {
        fail(QString(e.what()) + " (port " + QString::number(port) +
             "): another copy of the game or another program already uses that port; "
             "choose another with --port");
        return 1;
    }

    std::unique_ptr<tessarin::TableAnnouncer> announcer;
    if (!parser.isSet(noAnnounceOption)) {
        const std::string name = tessarin::proto::cleanName(parser.value(nameOption).toStdString());
        announcer = std::make_unique<tessarin::TableAnnouncer>(
            [&server, name] { return tessarin::describeTable(server, name); });
        const QString why = announcer->listen();
        logInfo(why.isEmpty() ? "answering lobbies on UDP port " +
                                    std::to_string(tessarin::proto::discovery::kPort)
                              : "not answering lobbies: " + why.toStdString());
    }

    tessarin::Hosting hosting(server, std::get<tessarin::HostingOptions>(hostingOptions));
    hosting.onLog = logLine;
    hosting.onFinished = [] { QCoreApplication::exit(0); };
    if (!hosting.start()) return 1;
    hostingNow = &hosting;
    std::unique_ptr<tessarin::LobbyRegistration> registration;
    if (lobbyUrl) {
        const QString name =
            parser.isSet(nameOption) ? parser.value(nameOption) : QSysInfo::machineHostName();
        registration = std::make_unique<tessarin::LobbyRegistration>(
            *lobbyUrl, [&server, name] { return tessarin::tableRecord(server, name); });
        registration->onLog = logInfo;
        if (publicAddress)
            registration->setPublicAddress(
                {publicAddress->host, publicAddress->port ? publicAddress->port : server.port()});
        else if (std::get<tessarin::HostingOptions>(hostingOptions).agones)
            // Under Agones the address is the one the SDK's GET /gameserver gives.
            hosting.onPublicAddress = [&registration](const tessarin::proto::HostPort& address) {
                registration->setPublicAddress(address);
            };
        else
            registration->setPublicAddress({"", server.port()});
    }

    const int status = QCoreApplication::exec();
    server.summariseLog();  // counts of repeated lines not yet written
    // For the density benchmark and the journal: the table's worst moment.
    const auto ms = [](std::chrono::microseconds t) {
        return QString::number(t.count() / 1000.0, 'f', 3).toStdString() + " ms";
    };
    logInfo("longest dispatch: " + ms(server.longestStep()) +
            " (most processor time for one: " + ms(server.mostStepCpu()) + ")");
    return status;
}
