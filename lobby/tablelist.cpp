#include "tablelist.h"

namespace tessarin::lobby {

namespace {

constexpr int kMaxText = 64;  // longer than any name, version or address the lobby shows

QString cut(const QString& text) {
    return text.left(kMaxText);
}

Table bounded(Table table) {
    for (QString* text :
         {&table.source, &table.address, &table.name, &table.version, &table.computerSeats,
          &table.strength, &table.seats[0], &table.seats[1], &table.seats[2]})
        *text = cut(*text);
    return table;
}

}  // namespace

TableList::TableList(QObject* parent) : QAbstractTableModel(parent) {}

bool TableList::setTable(const Table& table, qint64 heardMs) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        if (row.table.source != table.source || row.table.address != table.address) continue;
        row.table = bounded(table);
        row.heardMs = heardMs;
        const int r = static_cast<int>(i);
        emit dataChanged(index(r, 0), index(r, kColumns - 1));
        return true;
    }
    if (rows_.size() >= kMaxTables) return false;
    const int r = static_cast<int>(rows_.size());
    beginInsertRows({}, r, r);
    rows_.push_back({bounded(table), heardMs});
    endInsertRows();
    return true;
}

void TableList::expire(const QString& source, qint64 heardBeforeMs) {
    for (int r = static_cast<int>(rows_.size()) - 1; r >= 0; --r) {
        const Row& row = rows_[static_cast<std::size_t>(r)];
        if (row.table.source != source || row.heardMs >= heardBeforeMs) continue;
        beginRemoveRows({}, r, r);
        rows_.erase(rows_.begin() + r);
        endRemoveRows();
    }
}

QString TableList::players(const Table& table) {
    QStringList names;
    for (int seat = 1; seat <= 3; ++seat) {
        const QString& name = table.seats[static_cast<std::size_t>(seat - 1)];
        if (name.isEmpty()) continue;
        names << (table.computerSeats.contains(QChar('0' + seat)) ? name + " (computer)" : name);
    }
    return names.join(QStringLiteral(", "));
}

int TableList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TableList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant TableList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Table& t = table(index.row());
    if (role == Qt::TextAlignmentRole && index.column() >= Spectators &&
        index.column() <= RoundTrip && index.column() != State && index.column() != Strength)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    switch (index.column()) {
        case Name:
            return t.name.isEmpty() ? QStringLiteral("Table at %1").arg(t.address) : t.name;
        case Address:
            return t.address;
        case Players:
            return players(t);
        case Spectators:
            return t.spectators;
        case State:
            return t.round == 0 ? QStringLiteral("Waiting to start")
                                : QStringLiteral("Round %1 of %2").arg(t.round).arg(t.rounds);
        case Rounds:
            return t.rounds == 0 ? QVariant() : QVariant(t.rounds);
        case Strength:
            return t.strength.left(1).toUpper() + t.strength.mid(1);
        case RoundTrip:
            return t.roundTripMs < 0 ? QVariant()
                                     : QVariant(QStringLiteral("%1 ms").arg(t.roundTripMs));
        case Source:
            return t.source;
        default:
            return {};
    }
}

QVariant TableList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[kColumns] = {"Table",      "Address",    "Players",
                                                   "Spectators", "State",      "Rounds",
                                                   "Computer",   "Round Trip", "Found On"};
    return section >= 0 && section < kColumns ? QString::fromLatin1(kHeaders[section]) : QVariant();
}

}  // namespace tessarin::lobby
