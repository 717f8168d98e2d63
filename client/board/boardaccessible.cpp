#include "boardaccessible.h"

#include <QAccessibleWidget>
#include <QMenu>

#include "boardgrid.h"
#include "tboard.h"
#include "tilecell.h"

namespace tessarin::board {

namespace {

BoardGrid* gridof(const QWidget* board) {
    return board->findChild<BoardGrid*>(QString(), Qt::FindDirectChildrenOnly);
}

// The board panel without its cells, which the grid lists instead.
class BoardPanelAccessible : public QAccessibleWidget {
  public:
    explicit BoardPanelAccessible(QWidget* board) : QAccessibleWidget(board) {}

    int childCount() const override { return static_cast<int>(children().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> list = children();
        return index >= 0 && index < list.size()
                   ? QAccessible::queryAccessibleInterface(list[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? static_cast<int>(children().indexOf(child->object())) : -1;
    }

  private:
    QList<QWidget*> children() const {
        const BoardGrid* grid = gridof(widget());
        QList<QWidget*> list;
        for (QWidget* part : widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!part->isWindow() && !qobject_cast<QMenu*>(part) && !(grid && grid->holds(part)))
                list << part;
        return list;
    }
};

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit GridAccessible(BoardGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Table), grid_(grid) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return kRows * kColumns; }
    QAccessibleInterface* child(int index) const override {
        return cellAt(index / kColumns, index % kColumns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const QPoint at = child ? grid_->where(child->object()) : QPoint();
        return at.isNull() ? -1 : (at.y() - 1) * kColumns + at.x() - 1;
    }
    QAccessibleInterface* focusChild() const override {
        return grid_->hasFocus() ? QAccessible::queryAccessibleInterface(grid_->cursorcell())
                                 : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int index = 0; index < childCount(); ++index)
            if (QAccessibleInterface* cell = child(index); cell && cell->rect().contains(x, y))
                return cell;
        return nullptr;
    }

    // QAccessibleTableInterface: rows and columns count from 0 here.
    QAccessibleInterface* cellAt(int row, int column) const override {
        TileCell* cell = grid_->cellat(row + 1, column + 1);
        return cell ? QAccessible::queryAccessibleInterface(cell) : nullptr;
    }
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int column) const override {
        return QStringLiteral("Place %1 from the left").arg(column + 1);
    }
    QString rowDescription(int row) const override {
        return QStringLiteral("Word %1").arg(row + 1);
    }
    int columnCount() const override { return kColumns; }
    int rowCount() const override { return kRows; }
    int selectedCellCount() const override { return 0; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

  private:
    BoardGrid* grid_;
};

// A board cell; its grid is looked up when asked, as a cell may be asked about while the
// board is still being built.
class CellAccessible : public QAccessibleWidget, public QAccessibleTableCellInterface {
  public:
    explicit CellAccessible(TileCell* cell) : QAccessibleWidget(cell, QAccessible::Cell) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* parent() const override {
        BoardGrid* grid = this->grid();
        return grid ? QAccessible::queryAccessibleInterface(grid) : QAccessibleWidget::parent();
    }
    // Where the cell stands even before its column opens (a hidden widget has no place).
    QRect rect() const override {
        return QRect(widget()->mapToGlobal(QPoint(0, 0)), widget()->size());
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        const BoardGrid* grid = this->grid();
        state.focusable = true;
        state.focused = grid && grid->hasFocus() && grid->cursorcell() == widget();
        return state;
    }

    // QAccessibleTableCellInterface: from 0.
    int columnIndex() const override { return place().x() - 1; }
    int rowIndex() const override { return place().y() - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    bool isSelected() const override { return false; }
    QAccessibleInterface* table() const override { return parent(); }

  private:
    BoardGrid* grid() const {
        return widget()->parentWidget() ? gridof(widget()->parentWidget()) : nullptr;
    }
    QPoint place() const {
        const BoardGrid* grid = this->grid();
        return grid ? grid->where(widget()) : QPoint();
    }
};

QAccessibleInterface* boardfactory(const QString& key, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) return nullptr;
    if (key == QLatin1String(TBoard::staticMetaObject.className()))
        return new BoardPanelAccessible(widget);
    if (key == QLatin1String(BoardGrid::staticMetaObject.className()))
        return new GridAccessible(static_cast<BoardGrid*>(widget));
    if (key == QLatin1String(TileCell::staticMetaObject.className()) &&
        widget->objectName().startsWith(QLatin1String("word_")))
        return new CellAccessible(static_cast<TileCell*>(widget));
    if (key == QLatin1String("QWidget") && widget->objectName() == QLatin1String("panel_winner"))
        return new QAccessibleWidget(widget, QAccessible::AlertMessage);
    return nullptr;
}

}  // namespace

void installaccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&boardfactory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace tessarin::board
