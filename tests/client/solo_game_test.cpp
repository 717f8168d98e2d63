// A whole one-round solo game against the computer, played through the real window with
// mouse clicks, from the start button to the winner panel, against the Computer Strength
// the settings file holds.
#include <QFile>
#include <QLabel>
#include <QTest>

#include "clientrig.h"
#include "picturebutton.h"
#include "tboard.h"
#include "tgamestart.h"
#include "tilecell.h"

namespace tessarin {

using testing::Rig;

class SoloGameTest : public QObject {
    Q_OBJECT
  private slots:
    void wholeGameWithTheMouse() {
        Rig rig;
        QFile ini(rig.settingsPath());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Tessarin]\nBotstrength=Expert\n");
        ini.close();
        board::Tgamestart gamestart(*rig.chat, rig.chat.get());
        rig.chat->attach(&gamestart, nullptr);
        rig.chat->processparams({});
        QVERIFY(rig.waitForChat("You are Connected."));
        auto& board = rig.chat->board();
        const auto& parts = board.parts();

        QTest::mouseClick(parts.button_start, Qt::LeftButton);
        QTRY_VERIFY(gamestart.isVisible());
        QCOMPARE(gamestart.label_strength()->text(), QStringLiteral("Klot plays Expert."));
        gamestart.button_startClick();
        QVERIFY(rig.waitForChat("You have started a game."));
        QVERIFY(rig.waitForChat("Klot plays Expert."));

        int placed = 0;
        const bool finished = QTest::qWaitFor(
            [&] {
                if (!parts.panel_winner->isHidden()) return true;
                if (board.whoseturn() != rig.chat->myseat()) return false;
                // Pick up the first tile, then point at a row whose cell in this column is free.
                QTest::mouseClick(parts.tile[1], Qt::LeftButton);
                if (board.selectedtile() != 1) return false;
                const int column = board.currentcolumn();
                for (int row = 1; row <= 6; ++row) {
                    if (parts.word[row][column]->code() == 0) {
                        QTest::mouseClick(parts.word[row][column], Qt::LeftButton);
                        ++placed;
                        break;
                    }
                }
                return false;
            },
            60000);
        QVERIFY2(finished, qPrintable(parts.label_status->text()));
        QVERIFY(placed >= 17);  // about half of the 36 placements of the round
        QVERIFY(rig.server.server().state().round >= 2);
        for (int row = 1; row <= 6; ++row)
            for (int column = 1; column <= 6; ++column)
                QVERIFY(parts.word[row][column]->code() > 0);

        const auto& st = rig.server.server().state();
        const bool iWon = st.players[1].score > st.players[2].score;
        QCOMPARE(parts.label_winner1->text(),
                 iWon ? QStringLiteral("YOU!") : QStringLiteral("Klot"));
        QCOMPARE(parts.label_status->text(), QStringLiteral("Game Over!"));
        QCOMPARE(parts.label_score[1]->text(), QString::number(st.players[1].score));
        QCOMPARE(parts.label_score[2]->text(), QString::number(st.players[2].score));
        QVERIFY(rig.waitForChat(iWon ? "You have Won the Game!" : "Klot has Won the Game!"));
        QVERIFY(parts.button_start->isVisibleTo(&board));
    }
};

}  // namespace tessarin

QTEST_MAIN(tessarin::SoloGameTest)
#include "solo_game_test.moc"
