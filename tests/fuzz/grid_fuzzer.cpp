// Any text as the tally's grid text, read as a grid and as a tally. What reads must write
// back to text that reads as the same grid, byte for byte the same when written again; a
// tally that reads must survive finished games, following, removing and a reset.
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ttally.h"
#include "zorvstrgrid.h"

namespace {

using namespace tessarin;

void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "grid text: %s\n", what);
    std::abort();
}

bool sameGrid(const TStringGrid& a, const TStringGrid& b) {
    if (a.colcount() != b.colcount() || a.rowcount() != b.rowcount()) return false;
    for (int col = 0; col < a.colcount(); ++col)
        for (int row = 0; row < a.rowcount(); ++row)
            if (a.cell(col, row) != b.cell(col, row)) return false;
    return true;
}

// Grids beyond this many cells are only read: the reader takes up to 16 x 10,001, and
// writing, rereading and playing with them would slow the fuzzer down tenfold without
// reaching any other code.
constexpr qint64 kRoundTripCells = 1 << 14;

// Returns whether the text is a grid small enough to go on with.
bool gridRoundTrip(QByteArrayView text) {
    TStringGrid grid;
    try {
        LoadStringGrid(grid, text);
    } catch (const EGridFormat&) {
        require(grid.colcount() == 1 && grid.rowcount() == 1, "a failed read changed the grid");
        return true;
    }
    if (qint64{grid.colcount()} * grid.rowcount() > kRoundTripCells) return false;
    const QByteArray saved = SaveStringGrid(grid);
    TStringGrid again(2, 2);
    LoadStringGrid(again, saved);
    require(sameGrid(grid, again), "a grid reads back differently");
    require(SaveStringGrid(again) == saved, "a grid writes differently the second time");
    return true;
}

void tallyUse(QByteArrayView text) {
    TTally tally;
    try {
        tally.load(text);
    } catch (const EGridFormat&) {
        require(tally.rowcount() == 1 && tally.tallied().isEmpty(), "a failed load changed it");
        return;
    }
    require(tally.grid().colcount() == kTallyColumns, "a tally without nine columns");
    for (const QString& name : tally.tallied())
        require(name == TTally::cleanName(name), "a name the grid cannot hold");
    for (int row = 1; row < tally.rowcount(); ++row)
        for (int col = 5; col < kTallyColumns; ++col)
            require(tally.cell(col, row) == QLatin1String("0"), "this run's figures not reset");

    TTally reread;
    reread.load(tally.save());
    require(sameGrid(tally.grid(), reread.grid()), "a tally reads back differently");

    const QStringList names = tally.tallied();
    const int games = tally.cell(1, 0).toInt();
    tally.addgame(names.value(0, QStringLiteral("Ann")), names);
    tally.addgame(kAddToMine.toString(), names.mid(1));
    if (games >= 0 && games < 1000000)
        require(tally.cell(1, 0).toInt() == games + 2, "the own games count did not grow by 2");
    // Following a tallied name adds nobody; following anybody into an empty tally adds one.
    tally.follow(names.value(0, QStringLiteral("x")));
    tally.moverow(tally.rowcount() / 2);
    require(tally.rowcount() == std::max(1, static_cast<int>(names.size())),
            "removing a row did not shrink the tally by one");
    tally.reset();
    require(tally.rowcount() == 1, "a reset kept players");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView text(data, static_cast<qsizetype>(size));
    if (gridRoundTrip(text)) tallyUse(text);
    return 0;
}
