// tessarin-lobby-server: lists public Tessarin tables for players on other networks. Tables
// register themselves with POST /tables every few seconds; windows read GET /tables. Logs
// one line per event with the time, as tessarin-server does; SIGINT, SIGTERM or SIGHUP
// ends it with status 0. Keeps nothing on disk.
#include <signal.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTime>

#include <cstdio>

#include "hostport.h"
#include "lobbyservice.h"
#include "protocol.h"
#include "stopsignals.h"

namespace {

void logLine(const std::string& text) {
    const QByteArray time = QTime::currentTime().toString("HH:mm:ss").toLatin1();
    std::printf("%s %s\n", time.constData(), text.c_str());
    std::fflush(stdout);
}

int fail(const QString& text) {
    std::fprintf(stderr, "tessarin-lobby-server: %s\n", qPrintable(text));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using tessarin::lobby::LobbyService;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tessarin-lobby-server");
    QCoreApplication::setApplicationVersion(
        QString::fromLatin1(tessarin::proto::kVersion.data(), tessarin::proto::kVersion.size()));

    LobbyService::Options options;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Lists public Tessarin tables: tables register with POST /tables every few seconds, "
        "players' windows read GET /tables, probes ask GET /healthz.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listenOption(
        "listen",
        QStringLiteral("Address and port to listen on (IPv6 in brackets; [::] is every IPv4 "
                       "and IPv6 address); all addresses, port %1 when not given. Port 0 "
                       "takes any free port.")
            .arg(LobbyService::kDefaultPort),
        "address:port");
    const QCommandLineOption trustOption(
        "trust",
        QStringLiteral("A subnet (such as 10.0.0.0/8) whose tables may register any address and "
                       "are not held to %1 tables per address; may be given more than once.")
            .arg(options.tables.perSource),
        "cidr");
    parser.addOptions({listenOption, trustOption});
    parser.process(app);

    if (!parser.positionalArguments().isEmpty())
        return fail("unexpected argument \"" + parser.positionalArguments().front() +
                    "\" (see --help)");
    QHostAddress address = QHostAddress::Any;
    int port = LobbyService::kDefaultPort;
    if (parser.isSet(listenOption)) {
        const QByteArray text = parser.value(listenOption).toLatin1();
        const auto parsed = tessarin::proto::parseHostPort(
            std::string_view(text.data(), text.size()), LobbyService::kDefaultPort,
            tessarin::proto::PortZero::Allowed);
        if (!parsed || !address.setAddress(QString::fromStdString(parsed->host)))
            return fail("--listen needs an address and a port, such as 0.0.0.0:7771 or [::1]:7771");
        port = parsed->port;
        // [::] takes IPv4 callers too, as it does for most servers (Qt's AnyIPv6 would not).
        if (address == QHostAddress::AnyIPv6) address = QHostAddress::Any;
    }
    for (const QString& cidr : parser.values(trustOption)) {
        const auto subnet = QHostAddress::parseSubnet(cidr);
        if (subnet.first.isNull())
            return fail("--trust needs a subnet such as 10.0.0.0/8 or fd00::/8, not \"" + cidr +
                        "\"");
        options.trusted.append(subnet);
    }

    ::signal(SIGPIPE, SIG_IGN);
    tessarin::StopSignals stop([](const char* name) {
        logLine(std::string("stopping on ") + name);
        QCoreApplication::quit();
    });
    if (!stop.installed()) {
        fail("cannot catch SIGINT, SIGTERM and SIGHUP");
        return 1;
    }
    // Every address, IPv4 and IPv6, reads as [::].
    const std::string shownAddress =
        address == QHostAddress::Any ? "::" : address.toString().toStdString();
    LobbyService service(options, logLine);
    const quint16 listening = service.listen(address, quint16(port));
    if (listening == 0) {
        fail(QStringLiteral("cannot listen on %1: another program may use that port")
                 .arg(QString::fromStdString(
                     tessarin::proto::formatHostPort({shownAddress, port}))));
        return 1;
    }
    logLine("listening on " + tessarin::proto::formatHostPort({shownAddress, int(listening)}));
    return QCoreApplication::exec();
}
