// The tables the lobby service knows, in memory only: a table registers and refreshes
// itself every few seconds, is listed once a probe has found a game server at its address,
// and is dropped when it has not been heard from for Limits::expiry. Plain bookkeeping on
// the caller's clock; the service does the probing and the HTTP.
//
// Bounded: at most Limits::maxTables entries (listed or waiting for their probe), at most
// Limits::perSource of them registered from one address unless that address is trusted, and
// a list of at most Limits::listed entries, the most recently refreshed first.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>

#include <chrono>
#include <list>
#include <vector>

#include "tablerecord.h"

namespace tessarin::lobby {

class TableRegistry {
  public:
    using Clock = std::chrono::steady_clock;
    struct Limits {
        int maxTables = 20000;
        int perSource = 20;
        int listed = 1000;
        std::chrono::milliseconds expiry{15000};
    };
    enum class Offer {
        Refreshed,   // known; its state replaced
        NeedsProbe,  // new: the caller probes it and reports with probed()
        Waiting,     // new and already being probed
        SourceFull,  // its source has perSource tables already
        Full,        // maxTables reached
    };

    explicit TableRegistry(Limits limits) : limits_(limits) {}

    // `table.host` must be set. The key is the table's host and port.
    Offer offer(const TableRecord& table, const QHostAddress& source, bool trusted,
                Clock::time_point now);
    // The probe's verdict on a table that offer() answered NeedsProbe: listed, or forgotten.
    void probed(const QString& key, bool answered);
    // Drops what has not been refreshed within the expiry; returns the keys of the listed
    // tables dropped.
    std::vector<QString> expire(Clock::time_point now);

    // The listed tables as a JSON array, most recently refreshed first, at most
    // Limits::listed. Each table is written once per change of its state, not per list.
    QByteArray list();
    int size() const { return int(entries_.size()); }
    int listedCount() const { return listedCount_; }

    static QString keyOf(const TableRecord& table);

  private:
    struct Entry {
        TableRecord table;
        QByteArray json;      // the table written out; empty until needed, and after a change
        QHostAddress source;  // counted against its perSource
        bool counted = false;
        bool listed = false;
        Clock::time_point seen;
        std::list<QString>::iterator place;
    };
    void remove(QHash<QString, Entry>::iterator it);

    Limits limits_;
    QHash<QString, Entry> entries_;
    std::list<QString> recent_;  // keys, most recently refreshed first
    QHash<QHostAddress, int> perSource_;
    int listedCount_ = 0;
};

}  // namespace tessarin::lobby
