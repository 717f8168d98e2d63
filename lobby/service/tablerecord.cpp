#include "tablerecord.h"

#include <QJsonArray>

#include <algorithm>

#include "hostport.h"
#include "protocol.h"

namespace tessarin::lobby {

namespace {

// Names travel as single-byte text in the game: anything beyond Latin-1 becomes '?'.
QString cleanName(const QString& name) {
    const QByteArray bytes = name.left(4 * int(proto::kMaxNameLength)).toLatin1();
    return QString::fromLatin1(proto::cleanName(std::string_view(bytes.data(), bytes.size())));
}

const QString kStrengths[] = {QStringLiteral("Normal"), QStringLiteral("Strong"),
                              QStringLiteral("Expert")};

// Reads one field: absent leaves `out` as it is; a value of the wrong type is an error.
struct Reader {
    const QJsonObject& json;
    QString* why;
    bool ok = true;

    bool fail(const QString& text) {
        if (ok && why) *why = text;
        ok = false;
        return false;
    }
    void number(const char* key, int low, int high, int& out) {
        const QJsonValue v = json.value(QLatin1String(key));
        if (v.isUndefined()) return;
        if (!v.isDouble()) {
            fail(QStringLiteral("\"%1\" is not a number").arg(QLatin1String(key)));
            return;
        }
        out = std::clamp(v.toInt(), low, high);
    }
    void flag(const char* key, bool& out) {
        const QJsonValue v = json.value(QLatin1String(key));
        if (v.isUndefined()) return;
        if (!v.isBool())
            fail(QStringLiteral("\"%1\" is not true or false").arg(QLatin1String(key)));
        out = v.toBool();
    }
    void text(const char* key, QString& out) {
        const QJsonValue v = json.value(QLatin1String(key));
        if (v.isUndefined()) return;
        if (!v.isString()) fail(QStringLiteral("\"%1\" is not a text").arg(QLatin1String(key)));
        out = v.toString();
    }
};

}  // namespace

QJsonObject toJson(const TableRecord& table) {
    QJsonArray seats;
    for (const auto& seat : table.seats)
        seats.append(QJsonObject{{"name", seat.name}, {"computer", seat.computer}});
    QJsonObject json{{"port", table.port},
                     {"name", table.name},
                     {"seats", seats},
                     {"players", table.players},
                     {"spectators", table.spectators},
                     {"playing", table.playing},
                     {"round", table.round},
                     {"rounds", table.rounds},
                     {"strength", table.strength},
                     {"version", table.version}};
    if (!table.host.isEmpty()) json.insert("host", table.host);
    return json;
}

std::optional<TableRecord> fromJson(const QJsonObject& json, QString* why) {
    TableRecord table;
    Reader read{json, why};
    const QJsonValue port = json.value(QLatin1String("port"));
    if (!port.isDouble() || port.toDouble() != port.toInt() || port.toInt() < 1 ||
        port.toInt() > 65535) {
        read.fail(QStringLiteral("\"port\" must be a number from 1 to 65535"));
        return std::nullopt;
    }
    table.port = port.toInt();
    read.text("host", table.host);
    if (!table.host.isEmpty()) {
        const QByteArray host = table.host.toLatin1();
        const auto parsed = proto::parseHostPort(std::string_view(host.data(), host.size()), 1);
        if (!parsed ||
            table.host.contains(':') != QString::fromStdString(parsed->host).contains(':'))
            read.fail(QStringLiteral("\"host\" is no host name or address"));
        else
            table.host = QString::fromStdString(parsed->host);
    }
    read.text("name", table.name);
    table.name = cleanName(table.name);
    const QJsonValue seats = json.value(QLatin1String("seats"));
    if (!seats.isUndefined() && !seats.isArray())
        read.fail(QStringLiteral("\"seats\" is not a list"));
    const QJsonArray list = seats.toArray();
    for (int i = 0; i < int(table.seats.size()) && i < list.size(); ++i) {
        if (!list[i].isObject()) {
            read.fail(QStringLiteral("a seat is not an object"));
            break;
        }
        const QJsonObject seat = list[i].toObject();
        Reader seatReader{seat, why};
        seatReader.text("name", table.seats[i].name);
        seatReader.flag("computer", table.seats[i].computer);
        if (!seatReader.ok) read.ok = false;
        table.seats[i].name = cleanName(table.seats[i].name);
    }
    read.number("players", 0, 3, table.players);
    read.number("spectators", 0, 6, table.spectators);
    read.flag("playing", table.playing);
    read.number("round", 0, 5, table.round);
    read.number("rounds", 0, 5, table.rounds);
    read.text("strength", table.strength);
    if (std::find(std::begin(kStrengths), std::end(kStrengths), table.strength) ==
        std::end(kStrengths))
        table.strength = kStrengths[0];
    read.text("version", table.version);
    table.version = QString::fromLatin1(
        proto::stripUnsafe(table.version.left(kMaxVersion).toLatin1().toStdString()));
    if (!read.ok) return std::nullopt;
    return table;
}

}  // namespace tessarin::lobby
