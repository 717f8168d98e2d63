// The game start window, the board's start button, the seat display and the instructions.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "boardfeed.h"
#include "fakeboardhost.h"
#include "helppanel.h"
#include "picturebutton.h"
#include "protocol.h"
#include "tboard.h"
#include "tgamestart.h"

using namespace tessarin;
using namespace tessarin::board;
using namespace tessarin::board::testing;

class GameStartTest : public QObject {
    Q_OBJECT

  private slots:
    void startSendsTheRoundsAndSavesTheSettings_data();
    void startSendsTheRoundsAndSavesTheSettings();
    void roundsCannotBeTypedAndStopAtTheEnds();
    void startButtonNeedsAConnection_data();
    void startButtonNeedsAConnection();
    void seatDisplay();
    void namesAreNeverMarkup();
    void seatsOutOfRangeAreIgnored_data();
    void seatsOutOfRangeAreIgnored();
    void quickInstructionsCloseWithDone();
};

void GameStartTest::startSendsTheRoundsAndSavesTheSettings_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("ups");
    QTest::addColumn<QByteArray>("sent");
    const QString you = QStringLiteral("You");
    QTest::newRow("default") << you << 1 << 0 << QByteArray("CMD_startgame+You+1+\xFF");
    QTest::newRow("stepped to 3") << you << 1 << 2 << QByteArray("CMD_startgame+You+3+\xFF");
    QTest::newRow("stored 4") << you << 4 << 0 << QByteArray("CMD_startgame+You+4+\xFF");
    QTest::newRow("stored 9 is 5") << you << 9 << 0 << QByteArray("CMD_startgame+You+5+\xFF");
    QTest::newRow("stored 0 is 1") << you << 0 << 0 << QByteArray("CMD_startgame+You+1+\xFF");
    QTest::newRow("a terminator in the name")
        << QStringLiteral("Y\u00FFou") << 2 << 0 << QByteArray("CMD_startgame+You+2+\xFF");
}

void GameStartTest::startSendsTheRoundsAndSavesTheSettings() {
    QFETCH(QString, name);
    QFETCH(int, setting);
    QFETCH(int, ups);
    QFETCH(QByteArray, sent);
    FakeBoardHost host;
    host.name = name;
    Tgamestart window(host, nullptr);
    window.setrounds(setting);
    window.show();
    for (int i = 0; i < ups; ++i) window.edit_playtoscore()->stepUp();
    QTest::mouseClick(window.button_start(), Qt::LeftButton);
    QCOMPARE(host.sent, std::vector<std::string>{sent.toStdString()});
    QVERIFY(window.isHidden());
    QCOMPARE(host.saves, 1);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tessarin - Game Start"));
}

void GameStartTest::roundsCannotBeTypedAndStopAtTheEnds() {
    FakeBoardHost host;
    Tgamestart window(host, nullptr);
    window.show();
    QSpinBox* rounds = window.edit_playtoscore();
    rounds->setFocus();
    QTest::keyClicks(rounds, QStringLiteral("4"));
    QCOMPARE(rounds->value(), 1);
    QTest::keyClick(rounds, Qt::Key_Down);
    QCOMPARE(rounds->value(), 1);
    for (int i = 0; i < 7; ++i) QTest::keyClick(rounds, Qt::Key_Up);
    QCOMPARE(rounds->value(), 5);
    QCOMPARE(window.rounds(), 5);
}

void GameStartTest::startButtonNeedsAConnection_data() {
    QTest::addColumn<bool>("connected");
    QTest::newRow("connected") << true;
    QTest::newRow("not connected") << false;
}

void GameStartTest::startButtonNeedsAConnection() {
    QFETCH(bool, connected);
    FakeBoardHost host;
    host.connected = connected;
    TBoard board(host);
    Tgamestart window(host, &board);
    board.setgamestartwindow(&window);
    QTest::mouseClick(board.parts().button_start, Qt::LeftButton);
    QCOMPARE(window.isVisible(), connected);
    QCOMPARE(host.messages,
             connected ? QStringList{} : QStringList{QStringLiteral("You are not connected")});
}

void GameStartTest::seatDisplay() {
    FakeBoardHost host;
    TBoard board(host);
    QCOMPARE(board.seatname(1), QStringLiteral("<Waiting>"));
    QCOMPARE(board.seathint(1), QStringLiteral("Klack"));  // plays seat 1 after its human left
    QCOMPARE(board.seathint(2), QStringLiteral("Klot"));
    QCOMPARE(board.seathint(3), QStringLiteral("Klick"));
    QCOMPARE(board.parts().label_status->text(), QStringLiteral("Welcome to Tessarin"));
    QCOMPARE(board.parts().label_roundnum->text(), QStringLiteral("Round: 0 of 0"));
    QVERIFY(board.parts().image_eyes[3]->isHidden());

    board.setseatname(3, QStringLiteral("Cy"));
    board.showeyes(3, true);
    QCOMPARE(board.seatname(3), QStringLiteral("Cy"));
    QVERIFY(!board.parts().image_eyes[3]->isHidden());
    board.resetseat(3);
    QCOMPARE(board.seatname(3), QStringLiteral("<Waiting>"));
    QVERIFY(board.parts().image_eyes[3]->isHidden());
}

void GameStartTest::namesAreNeverMarkup() {
    FakeBoardHost host;
    host.seat = 3;
    TBoard board(host);
    const QString name = QStringLiteral("<b>Bob</b>");
    board.setseatname(1, name);
    deliver(board, proto::msg::winner(name.toStdString()));
    // Shown as typed: the tags take room on screen instead of turning the name bold.
    QLabel plain(QStringLiteral("Bob"));
    plain.setFont(board.parts().label_playername[1]->font());
    for (const QLabel* label : {board.parts().label_playername[1], board.parts().label_winner1})
        QVERIFY(label->sizeHint().width() > 2 * plain.sizeHint().width());
}

void GameStartTest::seatsOutOfRangeAreIgnored_data() {
    QTest::addColumn<int>("seat");
    QTest::newRow("0") << 0;
    QTest::newRow("4") << 4;
    QTest::newRow("-1") << -1;
}

void GameStartTest::seatsOutOfRangeAreIgnored() {
    QFETCH(int, seat);
    FakeBoardHost host;
    TBoard board(host);
    board.setseatname(seat, QStringLiteral("Eve"));
    board.showeyes(seat, true);
    board.resetseat(seat);
    QCOMPARE(board.seatname(seat), QString());
    QCOMPARE(board.seathint(seat), QString());
    for (int s = 1; s <= kSeats; ++s) {
        QCOMPARE(board.seatname(s), QStringLiteral("<Waiting>"));
        QVERIFY(board.parts().image_eyes[s]->isHidden());
    }
}

void GameStartTest::quickInstructionsCloseWithDone() {
    FakeBoardHost host;
    TBoard board(host);
    board.show();
    board.showhelp();
    HelpPanel* help = board.parts().panel_help;
    QVERIFY(help->isVisible());
    QCOMPARE(help->geometry(), board.rect());
    QTest::mouseClick(help->donebutton(), Qt::LeftButton);
    QVERIFY(!help->isVisible());
}

QTEST_MAIN(GameStartTest)
#include "gamestart_test.moc"
