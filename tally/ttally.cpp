#include "ttally.h"

#include <limits>

namespace tessarin {

namespace {

constexpr int kTotalGames = 1;
constexpr int kTotalHeWon = 2;
constexpr int kTotalUserWon = 3;
constexpr int kTotalNeither = 4;
// This run's columns are the total columns shifted by 4.
constexpr int kSession = 4;

}  // namespace

QString TTally::cleanName(const QString& name) {
    QString clean;
    for (const QChar c : name) {
        if (clean.size() == kMaxNameLength) break;
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0)) continue;
        clean += u > 0xFF ? QChar(u'?') : c;
    }
    return clean;
}

TTally::TTally() : grid_(kTallyColumns, 1) {
    for (int col = 0; col < kTallyColumns; ++col) grid_.setCell(col, 0, QStringLiteral("0"));
}

QStringList TTally::tallied() const {
    QStringList names;
    for (int row = 1; row < grid_.rowcount(); ++row) names << grid_.cell(0, row);
    return names;
}

int TTally::findTallied(const QString& name) const {
    const QString clean = cleanName(name);
    for (int row = 1; row < grid_.rowcount(); ++row)
        if (grid_.cell(0, row).compare(clean, Qt::CaseInsensitive) == 0) return row - 1;
    return -1;
}

int TTally::addit(int col, int row) {
    bool ok = false;
    int n = grid_.cell(col, row).toInt(&ok);
    if (!ok) n = 0;
    // A figure at the top of the range stays there rather than wrapping to a negative one.
    if (n < std::numeric_limits<int>::max()) ++n;
    grid_.setCell(col, row, QString::number(n));
    return n;
}

void TTally::addgame(const QString& text, const QStringList& opponents) {
    const bool userWon = text == kAddToMine;
    const QString winner = cleanName(text);
    addtomineincrease(kTotalGames);
    if (userWon) addtomineincrease(kTotalHeWon);
    for (const QString& name : opponents) {
        const int index = findTallied(name);
        if (index < 0) continue;
        const int row = index + 1;
        for (int col = 1; col < kTallyColumns; ++col)
            if (grid_.cell(col, row).isEmpty()) grid_.setCell(col, row, QStringLiteral("0"));
        int outcome = kTotalNeither;
        if (grid_.cell(0, row) == winner)
            outcome = kTotalHeWon;
        else if (userWon)
            outcome = kTotalUserWon;
        for (int col : {kTotalGames, outcome}) {
            addit(col, row);
            addit(col + kSession, row);
        }
    }
}

bool TTally::follow(const QString& name) {
    const QString clean = cleanName(name);
    if (clean.isEmpty() || rowcount() > kMaxTallied || findTallied(clean) >= 0) return false;
    const int row = grid_.rowcount();
    grid_.setRowCount(row + 1);
    grid_.setCell(0, row, clean);
    for (int col = 1; col < kTallyColumns; ++col) grid_.setCell(col, row, QStringLiteral("0"));
    return true;
}

void TTally::moverow(int row) {
    const int last = grid_.rowcount() - 1;
    if (row < 1 || row > last) return;
    for (int r = row; r < last; ++r)
        for (int col = 0; col < kTallyColumns; ++col) grid_.setCell(col, r, grid_.cell(col, r + 1));
    grid_.setRowCount(last);
}

void TTally::reset() {
    for (int col = kTotalGames; col <= kTotalNeither; ++col)
        grid_.setCell(col, 0, QStringLiteral("0"));
    if (grid_.rowcount() > 1)
        for (int col = 0; col < kTallyColumns; ++col) grid_.setCell(col, 0, QString());
    grid_.setRowCount(1);
}

QByteArray TTally::save() const {
    return SaveStringGrid(grid_);
}

void TTally::load(QByteArrayView text) {
    TStringGrid loaded;
    LoadStringGrid(loaded, text);
    if (loaded.colcount() != kTallyColumns)
        throw EGridFormat("Not a tally: " + std::to_string(loaded.colcount()) + " columns");
    for (int row = 1; row < loaded.rowcount(); ++row) {
        loaded.setCell(0, row, cleanName(loaded.cell(0, row)));
        for (int col = kTotalGames + kSession; col < kTallyColumns; ++col)
            loaded.setCell(col, row, QStringLiteral("0"));
    }
    grid_ = std::move(loaded);
}

}  // namespace tessarin
