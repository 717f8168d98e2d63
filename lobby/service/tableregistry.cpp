#include "tableregistry.h"

#include <QJsonDocument>

#include "hostport.h"

namespace tessarin::lobby {

QString TableRegistry::keyOf(const TableRecord& table) {
    return QString::fromStdString(proto::formatHostPort({table.host.toStdString(), table.port}));
}

TableRegistry::Offer TableRegistry::offer(const TableRecord& table, const QHostAddress& source,
                                          bool trusted, Clock::time_point now) {
    const QString key = keyOf(table);
    auto it = entries_.find(key);
    if (it != entries_.end()) {
        if (!(it->table == table)) {
            it->table = table;
            it->json.clear();
        }
        it->seen = now;
        recent_.splice(recent_.begin(), recent_, it->place);
        return it->listed ? Offer::Refreshed : Offer::Waiting;
    }
    if (size() >= limits_.maxTables) return Offer::Full;
    if (!trusted && perSource_.value(source) >= limits_.perSource) return Offer::SourceFull;
    recent_.push_front(key);
    Entry entry{table, {}, source, !trusted, false, now, recent_.begin()};
    if (entry.counted) ++perSource_[source];
    entries_.insert(key, std::move(entry));
    return Offer::NeedsProbe;
}

void TableRegistry::probed(const QString& key, bool answered) {
    const auto it = entries_.find(key);
    if (it == entries_.end() || it->listed) return;
    if (!answered) {
        remove(it);
        return;
    }
    it->listed = true;
    ++listedCount_;
}

std::vector<QString> TableRegistry::expire(Clock::time_point now) {
    std::vector<QString> dropped;
    while (!recent_.empty()) {
        const auto it = entries_.find(recent_.back());
        if (now - it->seen < limits_.expiry) break;
        if (it->listed) dropped.push_back(it.key());
        remove(it);
    }
    return dropped;
}

QByteArray TableRegistry::list() {
    QByteArray out = "[";
    int count = 0;
    for (const QString& key : recent_) {
        if (count == limits_.listed) break;
        Entry& entry = *entries_.find(key);
        if (!entry.listed) continue;
        if (entry.json.isEmpty())
            entry.json = QJsonDocument(toJson(entry.table)).toJson(QJsonDocument::Compact);
        if (count++ > 0) out += ',';
        out += entry.json;
    }
    return out + ']';
}

void TableRegistry::remove(QHash<QString, Entry>::iterator it) {
    if (it->counted && --perSource_[it->source] == 0) perSource_.remove(it->source);
    if (it->listed) --listedCount_;
    recent_.erase(it->place);
    entries_.erase(it);
}

}  // namespace tessarin::lobby
