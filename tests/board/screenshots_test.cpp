// Renders the board as a player sees it into this test's build folder (board-empty.png,
// board-col4.png, board-winner.png, board-help.png, board-latejoiner.png,
// board-gamestart.png, board-keys.png) for
// people to look at, and checks the pixels that matter where the picture must hold them.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "boardfeed.h"
#include "boardlayout.h"
#include "fakeboardhost.h"
#include "helppanel.h"
#include "pictures.h"
#include "tgamestart.h"

using namespace tessarin;
using namespace tessarin::board;
using namespace tessarin::board::testing;

namespace {

// Letters as codes: 'A' is 1.
int code(char letter) {
    return letter - 'A' + 1;
}

// Four columns played: each row's word reads left to right from column 4 down to column 1;
// rows 5 and 6 still wait for their fourth letter. Row 4 was filled last and scored.
void playfourcolumns(TBoard& board) {
    board.setseatname(1, QStringLiteral("Ann"));
    board.setseatname(3, QStringLiteral("Bob"));
    deliver(board, proto::msg::startgame("Ann", 3));
    deliver(board, proto::msg::roundstart(2));
    deliver(board, proto::msg::mytiles(1, {{1, code('E')},
                                           {2, code('R')},
                                           {3, code('N')},
                                           {4, code('O')},
                                           {5, code('S')},
                                           {6, code('L')}}));
    const char* const words[] = {"SEAT", "RAIN", "COLD", "TOPS", "ARE", "DIG"};
    for (int column = 1; column <= 4; ++column) {
        deliver(board, proto::msg::nextplayer(2, column, column == 1 ? 0 : column));
        for (int row = 1; row <= kRows; ++row) {
            const std::string word = words[row - 1];
            if (column > static_cast<int>(word.size())) continue;
            deliver(board,
                    proto::msg::placeletter(2, row, column, code(word[word.size() - column])));
        }
    }
    deliver(board, proto::msg::nextplayer(1, 4, 0));
    board.tile_1MouseUp(1);
    board.word_11Click(4, 4);
    deliver(board, proto::msg::ascore(1, 27, 16, "+tops+stop+spot+post"));
    deliver(board, proto::msg::mytiles(1, {{1, code('K')}}));
    deliver(board, proto::msg::placeletter(1, 4, 4, code('T')));
}

// WCAG's relative luminance of the mean colour inside a cell, its edge left out.
double luminance(const QImage& image, int row, int column) {
    const QRect inside = QRect(layout::kColumnLeft[column], layout::kRowTop[row], layout::kCellSize,
                               layout::kCellSize)
                             .adjusted(4, 4, -4, -4);
    double sum[3] = {0, 0, 0};
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            sum[0] += colour.redF();
            sum[1] += colour.greenF();
            sum[2] += colour.blueF();
        }
    const auto linear = [&](double total) {
        const double c = total / (inside.width() * inside.height());
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(sum[0]) + 0.7152 * linear(sum[1]) + 0.0722 * linear(sum[2]);
}

// Parallel runs in other build trees write pictures of their own.
QImage render(QWidget& widget, const QString& name) {
    const QImage image = widget.grab().toImage();
    image.save(QStringLiteral(QT_TESTCASE_BUILDDIR "/") + name);
    return image;
}

}  // namespace

class ScreenshotsTest : public QObject {
    Q_OBJECT

  private slots:
    void emptyBoard();
    void gameInColumnFour();
    void winnerPanel();
    void keyboardRowCursor_data();
    void keyboardRowCursor();
    void quickInstructions();
    void lateJoinerReadingTheInstructions();
    void gameStartWindow();
};

void ScreenshotsTest::emptyBoard() {
    FakeBoardHost host;
    TBoard board(host);
    board.show();
    const QImage image = render(board, QStringLiteral("board-empty.png"));
    QCOMPARE(image.size(), QSize(749, 411));
    // The rack shows blank tiles at rest, not an empty shelf.
    const QPoint tile(layout::kTileLeft[1] + 22, layout::kRestTop + 22);
    QCOMPARE(image.pixel(tile), pictures::tile(0).toImage().pixel(22, 22));
}

void ScreenshotsTest::gameInColumnFour() {
    FakeBoardHost host;
    TBoard board(host);
    board.show();
    playfourcolumns(board);
    const QImage image = render(board, QStringLiteral("board-col4.png"));
    // The highlight shows in the 3-pixel frame left of and above the last placed cell.
    const QPoint frame(layout::kColumnLeft[4] - 2, layout::kRowTop[4] - 2);
    QCOMPARE(QColor(image.pixel(frame)), QColor(pictures::kHighlightColour));
    // Column 5 is not open: no tile there yet, but its neighbour in column 4 is a letter.
    QCOMPARE(board.parts().word[1][4]->code(), code('S'));
    QVERIFY(board.parts().word[1][5]->isHidden());
    QCOMPARE(wordlist(board).size(), 4);
    // Word 5 waits for its fourth letter: its open cell must stand out from the slot of
    // column 5, not yet open, by at least WCAG's 3:1 for things that are not text.
    QVERIFY(!board.parts().word[5][4]->isHidden());
    const double open = luminance(image, 5, 4);
    const double closed = luminance(image, 5, 5);
    const double contrast = (std::max(open, closed) + 0.05) / (std::min(open, closed) + 0.05);
    qInfo("open cell against a cell not yet open: %.2f : 1", contrast);
    QVERIFY2(contrast >= 3.0, qPrintable(QString::number(contrast)));
}

void ScreenshotsTest::winnerPanel() {
    FakeBoardHost host;
    TBoard board(host);
    board.show();
    playfourcolumns(board);
    const QImage before = board.grab().toImage();
    deliver(board, proto::msg::roundover(1));
    deliver(board, proto::msg::winner("Ann"));
    const QImage image = render(board, QStringLiteral("board-winner.png"));
    // The panel stands in front of the cells it covers.
    const QRect panel = board.parts().panel_winner->geometry();
    const QPoint inside = panel.topLeft() + QPoint(panel.width() / 2, 6);
    QVERIFY(image.pixel(inside) != before.pixel(inside));
    QCOMPARE(image.pixel(inside),
             board.parts().panel_winner->grab().toImage().pixel(inside - panel.topLeft()));
}

void ScreenshotsTest::keyboardRowCursor_data() {
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("mouse");  // the tile was picked up with the mouse
    QTest::addColumn<int>("downs");
    QTest::addColumn<int>("framed");  // the row with the frame, 0: none
    QTest::newRow("word 1") << true << false << 0 << 1;
    QTest::newRow("word 3") << true << false << 2 << 3;
    QTest::newRow("stops at word 6") << true << false << 9 << 6;
    QTest::newRow("without focus") << false << false << 2 << 0;
    QTest::newRow("mouse play") << true << true << 0 << 0;
}

void ScreenshotsTest::keyboardRowCursor() {
    QFETCH(bool, focused);
    QFETCH(bool, mouse);
    QFETCH(int, downs);
    QFETCH(int, framed);
    FakeBoardHost host;
    TBoard board(host);
    board.show();
    playfourcolumns(board);
    deliver(board, proto::msg::nextplayer(1, 4, 0));
    if (mouse)
        QTest::mouseClick(board.parts().tile[2], Qt::LeftButton);
    else
        QTest::keyClick(&board, Qt::Key_2);
    for (int i = 0; i < downs; ++i) QTest::keyClick(&board, Qt::Key_Down);
    if (focused) {
        QApplication::setActiveWindow(&board);
        board.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&board));
    }
    const QImage image = render(board, QStringLiteral("board-keys.png"));
    // The frame's left edge runs beside the row's leftmost cell.
    const QColor frame(0xCB, 0x5F, 0x3B);
    for (int row = 1; row <= kRows; ++row) {
        const QPoint edge(layout::kColumnLeft[kColumns] - 5, layout::kRowTop[row] + 22);
        QCOMPARE(QColor(image.pixel(edge)) == frame, row == framed);
    }
}

void ScreenshotsTest::quickInstructions() {
    FakeBoardHost host;
    TBoard board(host);
    board.show();
    board.showhelp();
    const QImage image = render(board, QStringLiteral("board-help.png"));
    // Nothing of the board shows through: the rack's tile position is covered.
    const QPoint tile(layout::kTileLeft[1] + 22, layout::kRestTop + 22);
    QVERIFY(image.pixel(tile) != pictures::tile(0).toImage().pixel(22, 22));
}

void ScreenshotsTest::lateJoinerReadingTheInstructions() {
    FakeBoardHost host;
    host.seat = 3;
    host.host = false;
    TBoard board(host);
    board.show();
    board.showhelp();  // as on a first start
    board.setseatname(1, QStringLiteral("Ann"));
    // Joined in seat 3 during round 2, column 3: wait for the next round.
    deliver(board, "CMD_gamestats+3+2+f+4+2+3+10+7+0+1+1+3+2+1+9");
    QVERIFY(board.parts().panel_pleasewait->isVisible());
    auto* done = board.parts().panel_help->findChild<QPushButton*>();
    render(board, QStringLiteral("board-latejoiner.png"));
    // Nothing covers the instructions' Done button.
    QCOMPARE(board.childAt(done->mapTo(&board, done->rect().center())), done);
}

void ScreenshotsTest::gameStartWindow() {
    FakeBoardHost host;
    Tgamestart window(host, nullptr);
    window.show();
    const QImage image = render(window, QStringLiteral("board-gamestart.png"));
    QVERIFY(!image.isNull());
    QCOMPARE(window.minimumSize(), window.maximumSize());
}

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
