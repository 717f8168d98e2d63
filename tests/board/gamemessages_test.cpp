// The board's handling of the server's game messages, friendly and hostile.
#include <QAccessible>
#include <QApplication>
#include <QTest>

#include "boardfeed.h"
#include "boardgrid.h"
#include "boardlayout.h"
#include "fakeboardhost.h"

using namespace tessarin;
using namespace tessarin::board;
using namespace tessarin::board::testing;

namespace {

void seatplayers(TBoard& board) {
    board.setseatname(1, QStringLiteral("Ann"));
    board.setseatname(3, QStringLiteral("Bob"));
}

// Ann (seat 1) and Bob (seat 3) with the computer in seat 2, round 1, Ann to move.
void startgame(TBoard& board) {
    seatplayers(board);
    deliver(board, proto::msg::startgame("Ann", 3));
    deliver(board, proto::msg::roundstart(1));
    deliver(board, proto::msg::mytiles(1, {{1, 3}, {2, 1}, {3, 20}, {4, 5}, {5, 18}, {6, 19}}));
    deliver(board, proto::msg::nextplayer(1, 1, 0));
}

}  // namespace

class GameMessagesTest : public QObject {
    Q_OBJECT

  private slots:
    void wordList_data();
    void wordList();
    void ordinals_data();
    void ordinals();
    void gameStartChatLine_data();
    void gameStartChatLine();
    void roundStartOpensColumnOne();
    void nextPlayerOpensAColumnAndMovesTheMarker();
    void restoreOfAJoiner_data();
    void restoreOfAJoiner();
    void roundLabelAfterRestoreAndNextRound();
    void winner_data();
    void winner();
    void messagesForAnotherSeatAreIgnored_data();
    void messagesForAnotherSeatAreIgnored();
    void hostileValuesAreIgnored_data();
    void hostileValuesAreIgnored();
    void unreadableNumbersChangeNothing_data();
    void unreadableNumbersChangeNothing();
};

void GameMessagesTest::wordList_data() {
    QTest::addColumn<QString>("found");  // the words of CMD_ascore, empty: none came
    QTest::addColumn<int>("points");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("summary");  // always in sight under the list
    QTest::addColumn<QString>("sound");
    QTest::newRow("one word") << "+at" << 2 << QStringList{"AT"} << "1 word / 2 points"
                              << "goodword";
    QTest::newRow("two words") << "+act+cat" << 6 << QStringList{"ACT", "CAT"}
                               << "2 words / 6 points"
                               << "goodword";
    QTest::newRow("twelve words") << "+ab+ac+ad+ae+af+ag+ah+ai+aj+ak+al+am" << 48
                                  << QStringList{"AB", "AC", "AD", "AE", "AF", "AG",
                                                 "AH", "AI", "AJ", "AK", "AL", "AM"}
                                  << "12 words / 48 points"
                                  << "goodword";
    QTest::newRow("no words") << "" << 0 << QStringList{"No Words"} << ""
                              << "badword";
}

void GameMessagesTest::wordList() {
    QFETCH(QString, found);
    QFETCH(int, points);
    QFETCH(QStringList, lines);
    QFETCH(QString, summary);
    QFETCH(QString, sound);
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    board.tile_1MouseUp(3);
    board.word_11Click(2, 1);
    if (!found.isEmpty())
        deliver(board, proto::msg::ascore(1, 40 + points, points, found.toStdString()));
    deliver(board, proto::msg::mytiles(1, {{3, 7}}));
    deliver(board, proto::msg::placeletter(1, 2, 1, 20));
    QCOMPARE(wordlist(board), lines);
    const QLabel* summaryline = board.parts().label_wordsummary;
    QCOMPARE(summaryline->text(), summary);
    QVERIFY(summaryline->fontMetrics().horizontalAdvance(summary) <=
            summaryline->contentsRect().width());
    QCOMPARE(host.sounds.last(), sound);
    if (found.isEmpty()) return;

    const QLabel* score = board.parts().label_score[1];
    const QLabel* bonus = board.parts().label_bonus[1];
    QCOMPARE(score->text(), QString::number(40 + points));
    QCOMPARE(bonus->text(), QStringLiteral("+%1").arg(points));
    QCOMPARE(bonus->x(), score->x() + score->width() + 3);
    // The next turn clears the list and the bonus.
    deliver(board, proto::msg::nextplayer(2, 1, 0));
    QVERIFY(wordlist(board).isEmpty());
    QVERIFY(board.parts().label_wordsummary->text().isEmpty());
    QVERIFY(bonus->text().isEmpty());
}

void GameMessagesTest::ordinals_data() {
    QTest::addColumn<int>("placer");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::newRow("mine, row 1") << 1 << 1 << "You placed a letter in the FIRST word.";
    QTest::newRow("mine, row 2") << 1 << 2 << "You placed a letter in the SECOND word.";
    QTest::newRow("mine, row 3") << 1 << 3 << "You placed a letter in the THIRD word.";
    QTest::newRow("Bob, row 4") << 3 << 4 << "Bob placed a letter in the FOURTH word.";
    QTest::newRow("Bob, row 5") << 3 << 5 << "Bob placed a letter in the FIFTH word.";
    QTest::newRow("Klot, row 6") << 2 << 6 << "Klot placed a letter in the SIXTH word.";
}

void GameMessagesTest::ordinals() {
    QFETCH(int, placer);
    QFETCH(int, row);
    QFETCH(QString, text);
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    deliver(board, proto::msg::placeletter(placer, row, 1, 2));
    QCOMPARE(status(board), text);
    const QWidget* highlite = board.parts().shape_highlite;
    QVERIFY(!highlite->isHidden());
    QCOMPARE(highlite->pos(), QPoint(layout::kColumnLeft[1] - 3, layout::kRowTop[row] - 3));
    QCOMPARE(highlite->size(), QSize(51, 50));
}

void GameMessagesTest::gameStartChatLine_data() {
    QTest::addColumn<int>("myseat");
    QTest::addColumn<QString>("starter");
    QTest::addColumn<QString>("line");
    QTest::newRow("this player") << 1 << "Ann"
                                 << "0+You have started a game.";
    QTest::newRow("another player") << 3 << "Ann"
                                    << "0+Ann has started a game.";
    QTest::newRow("a spectator") << 5 << "Ann"
                                 << "0+Ann has started a game.";
}

void GameMessagesTest::gameStartChatLine() {
    QFETCH(int, myseat);
    QFETCH(QString, starter);
    QFETCH(QString, line);
    FakeBoardHost host;
    host.seat = myseat;
    TBoard board(host);
    seatplayers(board);
    deliver(board, proto::msg::startgame(starter.toStdString(), 2));
    QCOMPARE(host.chat, QStringList{line});
    QCOMPARE(host.colours.at(0), kSystemColour);
    QCOMPARE(host.justwatchunchecked, 1);
    QCOMPARE(board.totalrounds(), 2);
    QCOMPARE(board.seatname(2), QStringLiteral("Klot"));
    QVERIFY(board.parts().button_start->isHidden());
}

void GameMessagesTest::roundStartOpensColumnOne() {
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    for (int row = 1; row <= kRows; ++row) {
        QCOMPARE(board.parts().word[row][1]->code(), 0);
        QVERIFY(!board.parts().word[row][1]->isHidden());
        for (int column = 2; column <= kColumns; ++column)
            QVERIFY(board.parts().word[row][column]->isHidden());
    }
    QCOMPARE(board.parts().label_roundnum->text(), QStringLiteral("Round: 1 of 3"));
}

void GameMessagesTest::nextPlayerOpensAColumnAndMovesTheMarker() {
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    deliver(board, proto::msg::nextplayer(3, 2, 2));
    for (int row = 1; row <= kRows; ++row) {
        QCOMPARE(board.parts().word[row][2]->code(), 0);
        QVERIFY(!board.parts().word[row][2]->isHidden());
    }
    QCOMPARE(board.currentcolumn(), 2);
    const QLabel* bob = board.parts().label_playername[3];
    QCOMPARE(board.parts().image_Turn->pos(), bob->pos() - QPoint(55, 4));
    QCOMPARE(status(board), QStringLiteral("Bob's turn."));
}

void GameMessagesTest::restoreOfAJoiner_data() {
    QTest::addColumn<int>("myseat");
    QTest::addColumn<QString>("inround");
    QTest::addColumn<bool>("pleasewait");
    QTest::newRow("seat 3, sitting out the round") << 3 << "f" << true;
    QTest::newRow("spectator") << 5 << "f" << false;
    QTest::newRow("seat 3, in the round") << 3 << "t" << false;
}

void GameMessagesTest::restoreOfAJoiner() {
    QFETCH(int, myseat);
    QFETCH(QString, inround);
    QFETCH(bool, pleasewait);
    FakeBoardHost host;
    host.seat = myseat;
    host.host = false;
    TBoard board(host);
    board.setseatname(1, QStringLiteral("Ann"));
    board.setseatname(3, QStringLiteral("Cy"));
    // Seat 2's turn in round 2 of 4, column 3; two letters on the board.
    const std::string stats = "CMD_gamestats+" + std::to_string(myseat) + "+2+" +
                              inround.toStdString() + "+4+2+3+10+7+0+1+1+3+2+1+9";
    deliver(board, stats);

    QCOMPARE(board.parts().word[1][1]->code(), 3);
    QCOMPARE(board.parts().word[2][1]->code(), 9);
    QCOMPARE(board.parts().word[1][2]->code(), TileCell::kNone);
    for (int row = 1; row <= kRows; ++row) QCOMPARE(board.parts().word[row][3]->code(), 0);
    QCOMPARE(board.parts().label_score[1]->text(), QStringLiteral("10"));
    QCOMPARE(board.parts().label_score[2]->text(), QStringLiteral("7"));
    QCOMPARE(board.parts().label_roundnum->text(), QStringLiteral("Round: 2 of 4"));
    QCOMPARE(status(board), QStringLiteral("Klot's turn."));
    QCOMPARE(board.whoseturn(), 2);
    QVERIFY(!board.parts().image_Turn->isHidden());
    const bool emptyrack = inround == "f";
    for (int slot = 1; slot <= kSlots; ++slot)
        QCOMPARE(board.parts().tile[slot]->code() == TileCell::kNone, emptyrack);
    QCOMPARE(!board.parts().panel_pleasewait->isHidden(), pleasewait);

    deliver(board, proto::msg::roundstart(3));
    QVERIFY(board.parts().panel_pleasewait->isHidden());
}

void GameMessagesTest::roundLabelAfterRestoreAndNextRound() {
    FakeBoardHost host;
    host.seat = 3;
    TBoard board(host);
    deliver(board, "CMD_gamestats+3+1+f+5+2+4+0+0+0+0+0+0");
    QCOMPARE(board.parts().label_roundnum->text(), QStringLiteral("Round: 2 of 5"));
    deliver(board, proto::msg::roundstart(3));
    QCOMPARE(board.parts().label_roundnum->text(), QStringLiteral("Round: 3 of 5"));
}

void GameMessagesTest::winner_data() {
    QTest::addColumn<int>("myseat");
    QTest::addColumn<bool>("ishost");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("games");
    QTest::newRow("this player, hosting") << 1 << true << "Ann"
                                          << "YOU!"
                                          << "0+You have Won the Game!" << QStringList{"addtomine"};
    QTest::newRow("another player") << 3 << false << "Ann"
                                    << "Ann"
                                    << "0+Ann has Won the Game!" << QStringList{"Ann"};
    QTest::newRow("the computer") << 1 << true << "Klot"
                                  << "Klot"
                                  << "0+Klot has Won the Game!" << QStringList{"Klot"};
    QTest::newRow("a spectator") << 6 << false << "Ann"
                                 << "Ann"
                                 << "0+Ann has Won the Game!" << QStringList{};
    QTest::newRow("a spectator and an empty name") << 6 << false << ""
                                                   << ""
                                                   << "0+ has Won the Game!" << QStringList{};
}

void GameMessagesTest::winner() {
    QFETCH(int, myseat);
    QFETCH(bool, ishost);
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(QString, line);
    QFETCH(QStringList, games);
    FakeBoardHost host;
    host.seat = myseat;
    host.host = ishost;
    TBoard board(host);
    board.show();
    QApplication::setActiveWindow(&board);
    QVERIFY(QTest::qWaitForWindowActive(&board));
    startgame(board);
    deliver(board, proto::msg::ascore(3, 7, 7, "+word"));
    host.chat.clear();
    deliver(board, proto::msg::roundover(myseat));
    QCOMPARE(status(board), QStringLiteral("The Round is Over.."));
    QVERIFY(board.parts().image_Turn->isHidden());
    deliver(board, proto::msg::winner(name.toStdString()));
    QCOMPARE(board.parts().label_winner1->text(), shown);
    QCOMPARE(host.chat, QStringList{line});
    QCOMPARE(host.games, games);
    QCOMPARE(host.sounds.mid(host.sounds.size() - 2), QStringList({"roundover", "winner"}));
    QCOMPARE(status(board), QStringLiteral("Game Over!"));
    QVERIFY(!board.parts().panel_winner->isHidden());
    QCOMPARE(board.parts().button_start->isHidden(), !ishost);
    // An alert that takes the keyboard, so a screen reader reads it at once; Escape gives
    // the keys back to the board.
    QWidget* panel = board.parts().panel_winner;
    QVERIFY(panel->hasFocus());
    QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(panel);
    QCOMPARE(alert->role(), QAccessible::AlertMessage);
    QCOMPARE(alert->text(QAccessible::Name), QStringLiteral("THE WINNER! ") + shown);
    QCOMPARE(alert->text(QAccessible::Description), QStringLiteral("Scores: Ann 0, Klot 0, Bob 7"));
    QCOMPARE(board.parts().label_winnerscores->text(), QStringLiteral("Ann 0, Klot 0, Bob 7"));
    QTest::keyClick(panel, Qt::Key_Escape);
    QVERIFY(board.parts().grid->hasFocus());
}

void GameMessagesTest::messagesForAnotherSeatAreIgnored_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("tiles") << QByteArray("CMD_mytiles+3+1+26+2+25");
    QTest::newRow("rejection") << QByteArray("CMD_errornum+3+1+");
    QTest::newRow("restore") << QByteArray("CMD_gamestats+3+3+t+5+4+6+9+9+9+1+1+1");
}

void GameMessagesTest::messagesForAnotherSeatAreIgnored() {
    QFETCH(QByteArray, message);
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    board.tile_1MouseUp(2);
    board.word_11Click(1, 1);
    host.sounds.clear();
    const QString before = snapshot(board);
    deliver(board, message.toStdString());
    QCOMPARE(snapshot(board), before);
    QVERIFY(host.sounds.isEmpty());
}

void GameMessagesTest::hostileValuesAreIgnored_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("next player seat 0") << QByteArray("CMD_nextplayer+0+1+0+");
    QTest::newRow("next player seat 99") << QByteArray("CMD_nextplayer+99+1+0+");
    QTest::newRow("next player seat -1") << QByteArray("CMD_nextplayer+-1+1+0+");
    QTest::newRow("next player column 0") << QByteArray("CMD_nextplayer+2+0+0+");
    QTest::newRow("next player new column 7") << QByteArray("CMD_nextplayer+2+1+7+");
    QTest::newRow("place row 7") << QByteArray("CMD_placeletter+1+7+1+5+");
    QTest::newRow("place row 0") << QByteArray("CMD_placeletter+1+0+1+5+");
    QTest::newRow("place column 0") << QByteArray("CMD_placeletter+1+2+0+5+");
    QTest::newRow("place letter 27") << QByteArray("CMD_placeletter+1+2+1+27+");
    QTest::newRow("place letter -5") << QByteArray("CMD_placeletter+1+2+1+-5+");
    QTest::newRow("place seat 99") << QByteArray("CMD_placeletter+99+2+1+5+");
    QTest::newRow("score seat 0") << QByteArray("CMD_ascore+0+10+4+tot");
    QTest::newRow("score seat 4") << QByteArray("CMD_ascore+4+10+4+tot");
    QTest::newRow("tiles slot 0") << QByteArray("CMD_mytiles+1+0+5");
    QTest::newRow("tiles slot 7") << QByteArray("CMD_mytiles+1+7+5");
    QTest::newRow("tiles letter 27") << QByteArray("CMD_mytiles+1+2+27");
    QTest::newRow("tiles letter -5") << QByteArray("CMD_mytiles+1+2+-5");
    QTest::newRow("restore turn 4") << QByteArray("CMD_gamestats+1+4+t+2+1+1+0+0+0+0+0+0");
    QTest::newRow("restore column 7") << QByteArray("CMD_gamestats+1+1+t+2+1+7+0+0+0+0+0+0");
    QTest::newRow("restore column -1") << QByteArray("CMD_gamestats+1+1+t+2+1+-1+0+0+0+0+0+0");
    QTest::newRow("errornum seat 99") << QByteArray("CMD_errornum+99+1+");
}

void GameMessagesTest::hostileValuesAreIgnored() {
    QFETCH(QByteArray, message);
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    host.sounds.clear();
    const QString before = snapshot(board);
    deliver(board, message.toStdString());
    QCOMPARE(snapshot(board), before);
    QVERIFY(host.sounds.isEmpty());
}

void GameMessagesTest::unreadableNumbersChangeNothing_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("start, rounds missing") << QByteArray("CMD_startgame+Bob");
    QTest::newRow("round start, empty") << QByteArray("CMD_roundstart+");
    QTest::newRow("next player, a word") << QByteArray("CMD_nextplayer+two+1+0+");
    QTest::newRow("next player, fields missing") << QByteArray("CMD_nextplayer+2");
    QTest::newRow("place, letter missing") << QByteArray("CMD_placeletter+1+2+1");
    QTest::newRow("score, total a word") << QByteArray("CMD_ascore+1+many+4+tot");
    QTest::newRow("tiles, pair cut short") << QByteArray("CMD_mytiles+1+2+5+3");
    QTest::newRow("tiles, second pair unreadable") << QByteArray("CMD_mytiles+1+2+5+x+6");
    QTest::newRow("errornum, empty") << QByteArray("CMD_errornum+");
    QTest::newRow("restore, triple cut short")
        << QByteArray("CMD_gamestats+1+1+t+2+1+1+0+0+0+1+1+5+2+1");
    QTest::newRow("restore, scores missing") << QByteArray("CMD_gamestats+1+1+t+2+1+1");
}

void GameMessagesTest::unreadableNumbersChangeNothing() {
    QFETCH(QByteArray, message);
    FakeBoardHost host;
    TBoard board(host);
    startgame(board);
    host.sounds.clear();
    host.chat.clear();
    const QString before = snapshot(board);
    QVERIFY_THROWS_EXCEPTION(proto::ConversionError, deliver(board, message.toStdString()));
    QCOMPARE(snapshot(board), before);
    QVERIFY(host.sounds.isEmpty());
    QVERIFY(host.chat.isEmpty());
}

QTEST_MAIN(GameMessagesTest)
#include "gamemessages_test.moc"
