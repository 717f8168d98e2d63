// The lobby's list of tables, as a table model for its view: one row per table, from the
// local network or any other source (a public lobby service), each row naming its source.
// Bounded: at most kMaxTables rows, every text in a row cut to a known length, and a
// source's rows leave the list when they have not been heard of for a while (expire()).
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace tessarin::lobby {

inline const QString kLocalNetwork = QStringLiteral("Local network");

struct Table {
    QString source;   // where it was heard of: kLocalNetwork, "Public", ...
    QString address;  // HOST:PORT as the game takes it; with source, the row's key
    QString name;     // may be empty
    QString version;
    std::array<QString, 3> seats;  // seats 1..3: a person, the computer, or empty (free)
    QString computerSeats;         // "2", "23", ...: the seats the computer plays
    int spectators = 0;
    int round = 0;   // 0: no game running
    int rounds = 0;  // 0: none chosen yet
    QString strength;
    int roundTripMs = -1;  // -1: not measured
};

class TableList : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Name, Address, Players, Spectators, State, Rounds, Strength, RoundTrip, Source };
    static constexpr int kColumns = Source + 1;
    static constexpr int kMaxTables = 500;

    explicit TableList(QObject* parent = nullptr);

    // Adds the table, or refreshes the row of the same source and address; `heardMs` is
    // when it was heard of, on the caller's clock. False when the list is full.
    bool setTable(const Table& table, qint64 heardMs);
    // Removes the rows of `source` last heard of before `heardBeforeMs`.
    void expire(const QString& source, qint64 heardBeforeMs);
    const Table& table(int row) const { return rows_[static_cast<std::size_t>(row)].table; }
    // The players column's text: the seats' names, the computer's marked, free seats left out.
    static QString players(const Table& table);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    struct Row {
        Table table;
        qint64 heardMs = 0;
    };
    std::vector<Row> rows_;
};

}  // namespace tessarin::lobby
