// tessarin-server: hosts one game without a window or display. The first client to connect
// takes seat 1 and can start games and remove seats, as the host's own client does.
// Logs connections, games and winners to standard output, one line each; SIGINT or SIGTERM
// ends it cleanly (the word list's working copy is removed on the way out), with a last line
// giving the longest dispatch. Hosting options (Agones, exit after a game): hosting.h.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTime>

#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>
#include <variant>

#include "hosting.h"
#include "protocol.h"
#include "serverconnections.h"
#include "tdictn.h"
#include "trandom.h"

namespace {

int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop reads the byte and quits.
void onSignal(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

bool catchStopSignals() {
    if (::pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::signal(SIGPIPE, SIG_IGN);  // a closed standard output must not end the game
    return ::sigaction(SIGINT, &action, nullptr) == 0 &&
           ::sigaction(SIGTERM, &action, nullptr) == 0;
}

void logLine(const std::string& text) {
    const QByteArray time = QTime::currentTime().toString("HH:mm:ss").toLatin1();
    std::printf("%s %s\n", time.constData(), text.c_str());
    std::fflush(stdout);
}

void fail(const QString& text) {
    std::fprintf(stderr, "tessarin-server: %s\n", qPrintable(text));
}

// The host's Options menu settings, by name.
std::optional<int> speedMs(const QString& name,
                           const std::initializer_list<std::pair<const char*, int>>& table) {
    for (const auto& [key, ms] : table)
        if (name == QLatin1String(key)) return ms;
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
    const QCommandLineOption botOption("bot-speed", "The computer's pace: slow, normal or fast.",
                                       "speed", "normal");
    const QCommandLineOption timeOption("time-speed", "Pause between turns: short, normal or long.",
                                        "speed", "normal");
    parser.addOptions({portOption, botOption, timeOption});
    tessarin::addHostingOptions(parser);
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
        fail(!botSpeed ? "--bot-speed must be slow, normal or fast"
                       : "--time-speed must be short, normal or long");
        return 2;
    }
    const auto hostingOptions = tessarin::readHostingOptions(parser);
    if (const auto* wrong = std::get_if<QString>(&hostingOptions)) {
        fail(*wrong);
        return 2;
    }
    if (!catchStopSignals()) {
        fail("cannot catch SIGINT and SIGTERM");
        return 1;
    }

    // The working copy of the word list goes into the current directory, as the game's does.
    tessarin::TDictn spell;
    if (!spell.opened()) {
        std::fprintf(stderr, "%s\n", tessarin::kDictionaryNotFound.data());
        fail("could not write the word list to " + QString::fromStdString(spell.path().string()) +
             "; every word will be refused");
    }
    tessarin::TRandom random(
        static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));

    tessarin::ServerConnections server(random, spell);
    server.setBotSpeedMs(*botSpeed);
    server.setTimeSpeedMs(*timeSpeed);
    server.onLog = logLine;
    server.onHostError = [](const std::string& text) { fail(QString::fromStdString(text)); };
    server.setPortName(std::to_string(port));
    try {
        server.listen();
    } catch (const tessarin::ESockException& e) {
        fail(QString(e.what()) + " (port " + QString::number(port) + ")");
        return 1;
    }

    tessarin::Hosting hosting(server, std::get<tessarin::HostingOptions>(hostingOptions));
    hosting.onLog = logLine;
    hosting.onFinished = [] { QCoreApplication::exit(0); };
    hosting.start();

    QSocketNotifier stop(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, [&] {
        char number = 0;
        if (::read(signalPipe[0], &number, 1) == 1)
            logLine(std::string("stopping on ") + (number == SIGINT ? "SIGINT" : "SIGTERM"));
        QCoreApplication::quit();
    });
    const int status = QCoreApplication::exec();
    // For the density benchmark and the journal: the table's worst moment.
    const auto ms = [](std::chrono::microseconds t) {
        return QString::number(t.count() / 1000.0, 'f', 3).toStdString() + " ms";
    };
    logLine("longest dispatch: " + ms(server.longestStep()) +
            " (most processor time for one: " + ms(server.mostStepCpu()) + ")");
    return status;
}
