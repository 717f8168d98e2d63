#include <QAction>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <vector>

#include "spylistform.h"

using tessarin::forms::Tspylist;

namespace {

// A spy list with the given lines and the seats it asked to remove.
struct Harness {
    explicit Harness(const QStringList& lines) : window(QPixmap()) {
        for (const QString& line : lines) window.listbox_spys->addItem(line);
        window.setkicking([this](int seat) { kicked.push_back(seat); });
        window.show();
    }

    // Where line `row` is drawn, or the empty part below the lines for -1.
    QPoint at(int row) const {
        QListWidget* list = window.listbox_spys;
        if (row >= 0) return list->visualItemRect(list->item(row)).center();
        return QPoint(10, list->viewport()->height() - 3);
    }
    void moveto(int row) {
        QWidget* viewport = window.listbox_spys->viewport();
        const QPointF local = at(row);
        QMouseEvent move(QEvent::MouseMove, local, viewport->mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
    }
    // Right-click at line `row`, which opens the menu.
    void menuat(int row) {
        QWidget* viewport = window.listbox_spys->viewport();
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at(row), viewport->mapToGlobal(at(row)));
        QCoreApplication::sendEvent(viewport, &menu);
    }

    Tspylist window;
    std::vector<int> kicked;
};

}  // namespace

class SpyListFormTest : public QObject {
    Q_OBJECT
  private slots:
    void removeFromGame_data();
    void removeFromGame();
    void tagStaysOnItsLineWhenOthersLeave_data();
    void tagStaysOnItsLineWhenOthersLeave();
    void addFindRemove();
};

void SpyListFormTest::removeFromGame_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("host");
    QTest::addColumn<int>("row");
    QTest::addColumn<std::vector<int>>("kicked");
    const QStringList spies = {QStringLiteral("4: Ann"), QStringLiteral("7: Bob")};
    QTest::newRow("host, second line") << spies << true << 1 << std::vector<int>{7};
    QTest::newRow("host, first line") << spies << true << 0 << std::vector<int>{4};
    QTest::newRow("joined copy") << spies << false << 1 << std::vector<int>{};
    QTest::newRow("empty area") << spies << true << -1 << std::vector<int>{};
    QTest::newRow("no number before the colon")
        << QStringList{QStringLiteral("Ann: watching")} << true << 0 << std::vector<int>{};
    QTest::newRow("no colon") << QStringList{QStringLiteral("5 Ann")} << true << 0
                              << std::vector<int>{};
    QTest::newRow("colon inside the name")
        << QStringList{QStringLiteral("6: Dr: Who")} << true << 0 << std::vector<int>{6};
}

void SpyListFormTest::removeFromGame() {
    QFETCH(QStringList, lines);
    QFETCH(bool, host);
    QFETCH(int, row);
    QFETCH(std::vector<int>, kicked);
    Harness h(lines);
    h.window.enablekick(host);
    QVERIFY(!h.window.popup_kickhim->isEnabled());  // no spectator chosen yet
    // The pointer rests on another line first: the right-click's own place counts.
    h.moveto(row == 0 ? 1 % lines.size() : 0);
    h.menuat(row);
    // Offered only to the host, on a spectator's line, which shows as selected.
    QCOMPARE(h.window.popup_kickhim->isEnabled(), host && row >= 0);
    QCOMPARE(h.window.listbox_spys->currentRow(), row);
    h.window.popup_kickhim->trigger();
    QCOMPARE(h.kicked, kicked);
}

void SpyListFormTest::tagStaysOnItsLineWhenOthersLeave_data() {
    QTest::addColumn<int>("leaving");
    QTest::addColumn<int>("tag");
    QTest::addColumn<std::vector<int>>("kicked");
    QTest::newRow("a line above leaves") << 4 << 0 << std::vector<int>{6};
    QTest::newRow("a line below leaves") << 5 << 1 << std::vector<int>{6};
    QTest::newRow("the line itself leaves") << 6 << -1 << std::vector<int>{};
}

void SpyListFormTest::tagStaysOnItsLineWhenOthersLeave() {
    QFETCH(int, leaving);
    QFETCH(int, tag);
    QFETCH(std::vector<int>, kicked);
    Harness h({});
    h.window.addspy(4, QStringLiteral("Ann"));
    h.window.addspy(6, QStringLiteral("Cy"));
    h.window.addspy(5, QStringLiteral("Bob"));
    h.window.enablekick(true);
    h.moveto(1);  // "6: Cy", as the menu opens
    const QStringList names = {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")};
    QVERIFY(h.window.removespy(leaving, names[leaving - 4]));
    QCOMPARE(h.window.listtag(), tag);
    QCOMPARE(h.window.popup_kickhim->isEnabled(), tag >= 0);
    h.window.popup_kickhim->trigger();
    QCOMPARE(h.kicked, kicked);
}

void SpyListFormTest::addFindRemove() {
    Harness h({});
    h.window.addspy(4, QStringLiteral("Ann"));
    h.window.addspy(9, QStringLiteral("Ann"));
    QCOMPARE(h.window.listbox_spys->item(1)->text(), QStringLiteral("9: Ann"));
    // A seat is listed once, under the name it arrived with last.
    h.window.addspy(9, QStringLiteral("Bo"));
    h.window.addspy(9, QStringLiteral("Ann"));
    QCOMPARE(h.window.listbox_spys->count(), 2);
    QCOMPARE(h.window.findspy(9, QStringLiteral("Ann")), 1);
    QCOMPARE(h.window.findspy(5, QStringLiteral("Ann")), -1);
    QVERIFY(!h.window.removespy(4, QStringLiteral("Bob")));
    QVERIFY(h.window.removespy(4, QStringLiteral("Ann")));
    QCOMPARE(h.window.listbox_spys->count(), 1);
    QCOMPARE(h.window.findspy(9, QStringLiteral("Ann")), 0);
}

QTEST_MAIN(SpyListFormTest)
#include "spylistform_test.moc"
