// The player's own turn: rack and board clicks, the keys, and the server's answers.
#include <QSignalSpy>
#include <QTest>

#include "boardfeed.h"
#include "boardgrid.h"
#include "boardlayout.h"
#include "fakeboardhost.h"

using namespace tessarin;
using namespace tessarin::board;
using namespace tessarin::board::testing;

namespace {

// A game of Ann (seat 1, this client), the computer in seat 2 and Bob in seat 3, with
// column `column` open and Ann to move.
void startgame(TBoard& board, int column = 1) {
    board.setseatname(1, QStringLiteral("Ann"));
    board.setseatname(3, QStringLiteral("Bob"));
    deliver(board, proto::msg::startgame("Ann", 2));
    deliver(board, proto::msg::roundstart(1));
    deliver(board, proto::msg::mytiles(1, {{1, 3}, {2, 1}, {3, 20}, {4, 5}, {5, 18}, {6, 19}}));
    for (int opened = 2; opened <= column; ++opened)
        deliver(board, proto::msg::nextplayer(2, opened, opened));
    deliver(board, proto::msg::nextplayer(1, column, 0));
}

}  // namespace

class TurnPlayTest : public QObject {
    Q_OBJECT

  private slots:
    void statusThroughAWholeTurn();
    void turnSound_data();
    void turnSound();
    void rackClicks_data();
    void rackClicks();
    void invalidPlacementLetsThePlayerChooseAgain_data();
    void invalidPlacementLetsThePlayerChooseAgain();
    void anyShownCellOfARowSendsItsOwnId_data();
    void anyShownCellOfARowSendsItsOwnId();
    void clicksThatDoNothing_data();
    void clicksThatDoNothing();
    void notConnectedStillLowersTheTile();
    void keyboardSendsWhatTheMouseSends_data();
    void keyboardSendsWhatTheMouseSends();
    void keyboardPicksAndPutsBack();
    void whatAScreenReaderIsTold();
};

void TurnPlayTest::statusThroughAWholeTurn() {
    FakeBoardHost host;
    TBoard board(host);
    board.setseatname(1, QStringLiteral("Ann"));
    QStringList seen;
    auto step = [&](auto action) {
        action();
        seen << status(board);
    };
    deliver(board, proto::msg::startgame("Ann", 1));
    deliver(board, proto::msg::roundstart(1));
    deliver(board, proto::msg::mytiles(1, {{1, 3}, {2, 1}, {3, 20}, {4, 5}, {5, 18}, {6, 19}}));
    step([&] { deliver(board, proto::msg::nextplayer(1, 1, 0)); });
    step([&] { board.tile_1MouseUp(2); });
    step([&] { board.tile_1MouseUp(2); });
    step([&] { board.tile_1MouseUp(3); });
    step([&] { board.word_11Click(5, 1); });
    step([&] { deliver(board, proto::msg::errornum(1)); });
    step([&] { board.tile_1MouseUp(3); });
    step([&] { board.word_11Click(5, 1); });
    step([&] { deliver(board, proto::msg::mytiles(1, {{3, 9}})); });
    step([&] { deliver(board, proto::msg::placeletter(1, 5, 1, 20)); });
    step([&] { deliver(board, proto::msg::nextplayer(2, 1, 0)); });
    step([&] { deliver(board, proto::msg::placeletter(2, 1, 1, 1)); });

    const QStringList expected = {
        "Your Turn...Choose a Letter to place.",
        "Choose spot to place the letter.",
        "Choose a Letter",
        "Choose spot to place the letter.",
        "Checking...",
        "Invalid Placement",
        "Choose spot to place the letter.",
        "Checking...",
        "Checking...",
        "You placed a letter in the FIFTH word.",
        "Klot's turn.",
        "Klot placed a letter in the FIRST word.",
    };
    QCOMPARE(seen, expected);
    QCOMPARE(host.sounds, QStringList({"turn", "clickletter", "clear", "clickletter", "invalid",
                                       "clickletter", "badword", "badword"}));
    QCOMPARE(host.turns, 1);
    QCOMPARE(host.sent.size(), 2u);
    QCOMPARE(host.sent[1], proto::request::placeit(1, 3, "51"));
    QCOMPARE(board.parts().tile[3]->code(), 9);
}

void TurnPlayTest::turnSound_data() {
    QTest::addColumn<bool>("newsound");
    QTest::addColumn<QString>("sound");
    QTest::newRow("Classic") << false << "turn";
    QTest::newRow("New") << true << "turnnew";
}

void TurnPlayTest::turnSound() {
    QFETCH(bool, newsound);
    QFETCH(QString, sound);
    FakeBoardHost host;
    host.newturnsound = newsound;
    TBoard board(host);
    startgame(board);
    QCOMPARE(host.sounds.last(), sound);
}

void TurnPlayTest::rackClicks_data() {
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("selected");
    QTest::newRow("pick up") << QList<int>{4} << 4;
    QTest::newRow("put back") << QList<int>{4, 4} << 0;
    QTest::newRow("change of mind") << QList<int>{4, 2} << 2;
    QTest::newRow("pick up again") << QList<int>{4, 4, 6} << 6;
    QTest::newRow("slot 0") << QList<int>{0} << 0;
    QTest::newRow("slot 7") << QList<int>{7} << 0;
}

void TurnPlayTest::rackClicks() {
    QFETCH(QList<int>, clicks);
    QFETCH(int, selected);
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    for (int slot : clicks) board.tile_1MouseUp(slot);
    QCOMPARE(board.selectedtile(), selected);
    // Exactly the selected tile stands raised.
    for (int slot = 1; slot <= kSlots; ++slot)
        QCOMPARE(board.parts().tile[slot]->y(),
                 slot == selected ? layout::kRaisedTop : layout::kRestTop);
}

void TurnPlayTest::invalidPlacementLetsThePlayerChooseAgain_data() {
    QTest::addColumn<int>("column");  // the column open for the placement
    QTest::addColumn<bool>("taken");  // another player's letter already stands there
    QTest::addColumn<QString>("text");
    QTest::newRow("taken") << 1 << true << "Invalid Placement: that cell is taken.";
    QTest::newRow("nothing to its right")
        << 2 << false << "Invalid Placement: the cell to its right is empty.";
    QTest::newRow("no reason the board shows") << 1 << false << "Invalid Placement";
}

void TurnPlayTest::invalidPlacementLetsThePlayerChooseAgain() {
    QFETCH(int, column);
    QFETCH(bool, taken);
    QFETCH(QString, text);
    FakeBoardHost host;
    TBoard board(host);
    startgame(board, column);
    if (taken) deliver(board, proto::msg::placeletter(3, 2, column, 7));
    board.tile_1MouseUp(5);
    board.word_11Click(2, column);
    QCOMPARE(board.whoseturn(), 0);
    board.tile_1MouseUp(1);  // while checking, the rack is dead
    QCOMPARE(board.selectedtile(), 0);

    deliver(board, proto::msg::errornum(1));
    QCOMPARE(status(board), text);
    // Read in full, not cut short with "...".
    const QLabel* line = board.parts().label_status;
    QVERIFY(line->fontMetrics().horizontalAdvance(text) <= line->contentsRect().width());
    QCOMPARE(board.whoseturn(), 1);
    QCOMPARE(board.selectedtile(), 0);
    QCOMPARE(board.parts().tile[5]->code(), 18);
    QCOMPARE(board.parts().tile[5]->y(), layout::kRestTop);

    board.tile_1MouseUp(1);
    board.word_11Click(3, column);
    QCOMPARE(host.sent.back(), proto::request::placeit(1, 1, "3" + std::to_string(column)));
}

void TurnPlayTest::anyShownCellOfARowSendsItsOwnId_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("sent");
    QTest::newRow("column 1") << 1 << "41";
    QTest::newRow("column 2") << 2 << "42";
    QTest::newRow("column 4, the current one") << 4 << "44";
    QTest::newRow("column 5, not open yet") << 5 << "";
}

void TurnPlayTest::anyShownCellOfARowSendsItsOwnId() {
    QFETCH(int, column);
    QFETCH(QString, sent);
    FakeBoardHost host;
    TBoard board(host);
    startgame(board, 4);
    host.sent.clear();
    board.tile_1MouseUp(2);
    // A real click, through the cell's own mouse handling.
    QTest::mouseClick(board.parts().word[4][column], Qt::LeftButton);
    if (sent.isEmpty()) {
        QVERIFY(host.sent.empty());
        QCOMPARE(board.selectedtile(), 2);
        return;
    }
    QCOMPARE(host.sent.size(), 1u);
    QCOMPARE(host.sent[0], proto::request::placeit(1, 2, sent.toStdString()));

    deliver(board, proto::msg::placeletter(1, 4, 4, 1));
    QCOMPARE(status(board), QStringLiteral("You placed a letter in the FOURTH word."));
    QCOMPARE(board.parts().word[4][4]->code(), 1);
}

void TurnPlayTest::clicksThatDoNothing_data() {
    QTest::addColumn<int>("turn");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("another seat's turn") << 2 << 3 << 1 << 1;
    QTest::newRow("no tile picked up") << 1 << 0 << 1 << 1;
    QTest::newRow("hidden cell") << 1 << 3 << 1 << 2;
    QTest::newRow("row 0") << 1 << 3 << 0 << 1;
    QTest::newRow("row 7") << 1 << 3 << 7 << 1;
    QTest::newRow("column 0") << 1 << 3 << 1 << 0;
    QTest::newRow("column 7") << 1 << 3 << 1 << 7;
}

void TurnPlayTest::clicksThatDoNothing() {
    QFETCH(int, turn);
    QFETCH(int, slot);
    QFETCH(int, row);
    QFETCH(int, column);
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    deliver(board, proto::msg::nextplayer(turn, 1, 0));
    host.sent.clear();
    if (slot != 0) board.tile_1MouseUp(slot);
    const QString before = snapshot(board);
    board.word_11Click(row, column);
    QVERIFY(host.sent.empty());
    QCOMPARE(snapshot(board), before);
}

void TurnPlayTest::notConnectedStillLowersTheTile() {
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    host.connected = false;
    host.sent.clear();
    board.tile_1MouseUp(6);
    board.word_11Click(1, 1);
    QVERIFY(host.sent.empty());
    QCOMPARE(status(board), QStringLiteral("Checking..."));
    QCOMPARE(board.parts().tile[6]->y(), layout::kRestTop);
    QCOMPARE(board.whoseturn(), 0);
}

void TurnPlayTest::keyboardSendsWhatTheMouseSends_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("tile 1, word 1, column 1") << 1 << 1 << 1;
    QTest::newRow("tile 6, word 6, column 1") << 6 << 6 << 1;
    QTest::newRow("tile 3, word 4, column 3") << 3 << 4 << 3;
}

void TurnPlayTest::keyboardSendsWhatTheMouseSends() {
    QFETCH(int, slot);
    QFETCH(int, row);
    QFETCH(int, column);
    FakeBoardHost mousehost;
    TBoard mouse(mousehost);
    startgame(mouse, column);
    mousehost.sent.clear();
    mouse.tile_1MouseUp(slot);
    mouse.word_11Click(row, column);

    FakeBoardHost keyhost;
    TBoard keys(keyhost);
    startgame(keys, column);
    keyhost.sent.clear();
    QTest::keyClick(&keys, static_cast<Qt::Key>(Qt::Key_0 + slot));
    for (int down = 1; down < row; ++down) QTest::keyClick(&keys, Qt::Key_Down);
    QTest::keyClick(&keys, Qt::Key_Return);

    QCOMPARE(keyhost.sent.size(), 1u);
    QCOMPARE(keyhost.sent, mousehost.sent);
    QCOMPARE(status(keys), QStringLiteral("Checking..."));
}

void TurnPlayTest::keyboardPicksAndPutsBack() {
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    QTest::keyClick(&board, Qt::Key_2);
    QCOMPARE(board.selectedtile(), 2);
    QTest::keyClick(&board, Qt::Key_5);
    QCOMPARE(board.selectedtile(), 5);
    QTest::keyClick(&board, Qt::Key_5);
    QCOMPARE(board.selectedtile(), 0);
    QCOMPARE(status(board), QStringLiteral("Choose a Letter"));
    // Enter with nothing picked up sends nothing.
    host.sent.clear();
    QTest::keyClick(&board, Qt::Key_Return);
    QVERIFY(host.sent.empty());
}

void TurnPlayTest::whatAScreenReaderIsTold() {
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    const BoardParts& p = board.parts();
    // What the cursor's cell describes is what was announced last.
    const auto told = [&] { return p.grid->cursorcell()->accessibleDescription(); };
    QTest::keyClick(&board, Qt::Key_3);
    QTest::keyClick(&board, Qt::Key_Left);
    QTest::keyClick(&board, Qt::Key_Down);
    QCOMPARE(p.grid->cursorcell(), p.word[2][2]);
    QCOMPARE(told(), QString());  // an announcement stays with the moment it was made
    QTest::keyClick(&board, Qt::Key_Return);
    deliver(board, proto::msg::ascore(1, 12, 5, "+tab+bat"));
    deliver(board, proto::msg::placeletter(1, 2, 1, 20));
    QCOMPARE(told(), QStringLiteral("You placed a letter in the SECOND word. Letter T. TAB, BAT: "
                                    "2 words / 5 points. Score of Ann: 12."));
    QCOMPARE(p.label_score[1]->accessibleName(), QStringLiteral("Score of Ann: 12, last move 5"));
    QCOMPARE(p.label_bonus[1]->accessibleName(), QStringLiteral("Last move of Ann: 5 points"));
}

QTEST_MAIN(TurnPlayTest)
#include "turnplay_test.moc"
