#include "boardgrid.h"

#include <QAccessible>
#include <QTimer>
#include <algorithm>

#include "boardaccessible.h"
#include "tilecell.h"

namespace tessarin::board {

BoardGrid::BoardGrid(const Cells& cells, QWidget* parent) : QWidget(parent), cells_(cells) {
    installaccessibility();
    setObjectName(QStringLiteral("board_grid"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::StrongFocus);
}

TileCell* BoardGrid::cellat(int row, int place) const {
    if (row < 1 || row > kRows || place < 1 || place > kColumns) return nullptr;
    return cells_[row][columnofplace(place)];
}

bool BoardGrid::holds(const QObject* object) const {
    return !where(object).isNull();
}

QPoint BoardGrid::where(const QObject* cell) const {
    for (int row = 1; row <= kRows; ++row)
        for (int place = 1; place <= kColumns; ++place)
            if (cell != nullptr && cellat(row, place) == cell) return {place, row};
    return {};
}

void BoardGrid::setcursor(int row, int place) {
    row = std::clamp(row, 1, kRows);
    place = std::clamp(place, 1, kColumns);
    if (row == row_ && place == place_) return;
    if (TileCell* old = cursorcell(); old && !old->accessibleDescription().isEmpty())
        old->setAccessibleDescription(QString());
    row_ = row;
    place_ = place;
    tellfocus();
}

void BoardGrid::announce(const QString& text) {
    if (TileCell* cell = cursorcell()) cell->setAccessibleDescription(text);
}

void BoardGrid::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // Qt tells the grid's own focus after this handler; the cell's follows it.
    QTimer::singleShot(0, this, &BoardGrid::tellfocus);
    emit focuschanged();
}

void BoardGrid::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    emit focuschanged();
}

void BoardGrid::tellfocus() const {
    if (!hasFocus() || cursorcell() == nullptr) return;
    QAccessibleEvent focus(cursorcell(), QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

}  // namespace tessarin::board
