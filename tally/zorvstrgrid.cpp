#include "zorvstrgrid.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tessarin {

namespace {

class LineReader {
  public:
    explicit LineReader(QByteArrayView text) : rest_(text) {}
    // The next line without its end; empty once the text is used up.
    QByteArrayView next() {
        const qsizetype end = rest_.indexOf('\n');
        QByteArrayView line = end < 0 ? rest_ : rest_.first(end);
        rest_ = end < 0 ? QByteArrayView() : rest_.sliced(end + 1);
        if (line.endsWith('\r')) line.chop(1);
        return line;
    }

  private:
    QByteArrayView rest_;
};

// Enough of a bad line to recognise it, never enough to flood an error text: the first
// characters, each unprintable byte shown as '?'.
std::string excerpt(QByteArrayView line) {
    constexpr qsizetype kShown = 24;
    std::string text;
    for (const char c : line.first(std::min(line.size(), kShown)))
        text += c >= 0x20 && c < 0x7F ? c : '?';
    if (line.size() > kShown) text += "...";
    return text;
}

int readCount(LineReader& lines) {
    const QByteArrayView line = lines.next();
    bool ok = false;
    const int value = line.trimmed().toInt(&ok);
    if (!ok) throw EGridFormat("'" + excerpt(line) + "' is not a valid integer value");
    return value;
}

}  // namespace

TStringGrid::TStringGrid(int colcount, int rowcount) : colcount_(colcount), rowcount_(rowcount) {
    if (colcount < 1 || rowcount < 1) throw std::invalid_argument("TStringGrid: empty grid");
    cells_.resize(qsizetype{colcount} * rowcount);
}

void TStringGrid::setRowCount(int rowcount) {
    if (rowcount < 1) throw std::invalid_argument("TStringGrid: no rows");
    rowcount_ = rowcount;
    cells_.resize(qsizetype{colcount_} * rowcount);
}

qsizetype TStringGrid::index(int col, int row) const {
    if (col < 0 || col >= colcount_ || row < 0 || row >= rowcount_)
        throw std::out_of_range("TStringGrid: no cell " + std::to_string(col) + "," +
                                std::to_string(row));
    return qsizetype{row} * colcount_ + col;
}

QByteArray SaveStringGrid(const TStringGrid& grid) {
    QByteArray text;
    const auto line = [&text](const QByteArray& bytes) {
        text += bytes;
        text += "\r\n";
    };
    line(QByteArray::number(grid.colcount()));
    line(QByteArray::number(grid.rowcount()));
    for (int col = 0; col < grid.colcount(); ++col)
        for (int row = 0; row < grid.rowcount(); ++row) line(grid.cell(col, row).toLatin1());
    return text;
}

void LoadStringGrid(TStringGrid& grid, QByteArrayView text) {
    LineReader lines(text);
    const int colcount = readCount(lines);
    const int rowcount = readCount(lines);
    if (colcount < 1 || colcount > kMaxGridColumns || rowcount < 1 || rowcount > kMaxGridRows)
        throw EGridFormat("Grid size out of range: " + std::to_string(colcount) + " x " +
                          std::to_string(rowcount));
    TStringGrid loaded(colcount, rowcount);
    for (int col = 0; col < colcount; ++col)
        for (int row = 0; row < rowcount; ++row) {
            const QByteArrayView line = lines.next();
            if (line.size() > kMaxCellLength)
                throw EGridFormat("Cell too long (" + std::to_string(line.size()) + " bytes): '" +
                                  excerpt(line) + "'");
            loaded.setCell(col, row, QString::fromLatin1(line));
        }
    grid = std::move(loaded);
}

}  // namespace tessarin
