#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <algorithm>

#include "helpform.h"

using tessarin::forms::Thelp;

namespace {

QPushButton* button(const Thelp& window, const QString& caption) {
    for (QPushButton* candidate : window.findChildren<QPushButton*>())
        if (candidate->text() == caption) return candidate;
    return nullptr;
}

}  // namespace

class HelpFormTest : public QObject {
    Q_OBJECT
  private slots:
    void startsWithOverview();
    void sectionButtonsInOrder();
    void choosingSection_data();
    void choosingSection();
    void pagesCoverTheGame_data();
    void pagesCoverTheGame();
    void aboutButtonShowsAbout();
};

void HelpFormTest::startsWithOverview() {
    Thelp window{QPixmap()};
    QCOMPARE(window.caption(), QStringLiteral("Overview"));
    QCOMPARE(window.currentpane()->objectName(), QStringLiteral("memo1"));
    QCOMPARE(window.size(), QSize(556, 422));
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("label_year"))->text(),
             QString::number(QDate::currentDate().year()));
}

void HelpFormTest::sectionButtonsInOrder() {
    Thelp window{QPixmap()};
    window.show();
    const QStringList order = {
        QStringLiteral("Overview"),  QStringLiteral("Connecting"), QStringLiteral("Game Play"),
        QStringLiteral("Scoring"),   QStringLiteral("Options"),    QStringLiteral("Documentation"),
        QStringLiteral("The Lobby"), QStringLiteral("About"),      QStringLiteral("Done")};
    int above = -1;
    for (const QString& caption : order) {
        QPushButton* b = button(window, caption);
        QVERIFY2(b, qPrintable(caption));
        QVERIFY2(b->y() > above, qPrintable(caption));
        above = b->y();
    }
}

void HelpFormTest::choosingSection_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("heading");
    QTest::newRow("Connecting") << "Connecting"
                                << "memo2"
                                << "Connecting";
    QTest::newRow("Game Play") << "Game Play"
                               << "memo3"
                               << "Game Play";
    QTest::newRow("Scoring") << "Scoring"
                             << "memo4"
                             << "Scoring";
    QTest::newRow("Options") << "Options"
                             << "memo7"
                             << "Options";
    QTest::newRow("Documentation") << "Documentation"
                                   << "memo5"
                                   << "History";
    QTest::newRow("The Lobby") << "The Lobby"
                               << "memo8"
                               << "The Lobby";
    QTest::newRow("back to Overview") << "Overview"
                                      << "memo1"
                                      << "Overview";
}

void HelpFormTest::choosingSection() {
    QFETCH(QString, caption);
    QFETCH(QString, pane);
    QFETCH(QString, heading);
    Thelp window{QPixmap()};
    window.show();
    if (caption == QStringLiteral("Overview"))
        QTest::mouseClick(button(window, QStringLiteral("Scoring")), Qt::LeftButton);
    QTest::mouseClick(button(window, caption), Qt::LeftButton);
    QCOMPARE(window.caption(), caption);
    QCOMPARE(window.currentpane()->objectName(), pane);
    QVERIFY(window.currentpane()->isVisible());
    const QString text = window.currentpane()->toPlainText().trimmed();
    QVERIFY2(text.startsWith(heading), qPrintable(text.left(40)));
}

void HelpFormTest::pagesCoverTheGame_data() {
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QStringList>("phrases");
    QTest::newRow("connecting") << "memo2"
                                << QStringList{"Start Game", "firewall", "Zorvik Lobby", "7772",
                                               "all game play ends"};
    QTest::newRow("game play") << "memo3" << QStringList{"P-L-A-Y",
                                                         "PAL",
                                                         "PAY",
                                                         "keyboard",
                                                         "all six rows",
                                                         "tied",
                                                         "need not start with the new letter"};
    QTest::newRow("scoring")
        << "memo4"
        << QStringList{"You receive one point for each letter in each word that you create."};
    QTest::newRow("options") << "memo7"
                             << QStringList{"Just Watch",       "Bot Speed",       "Sounds",
                                            "Chat/Action Text", "Screen Location", "Phrase Buttons",
                                            "Tally List",       "Spy List",        "Phrase List",
                                            "Word List",        "English"};
    QTest::newRow("history") << "memo5" << QStringList{"1.0.1"};
    QTest::newRow("lobby") << "memo8" << QStringList{"Zorvik Lobby", "players"};
}

void HelpFormTest::pagesCoverTheGame() {
    QFETCH(QString, pane);
    QFETCH(QStringList, phrases);
    Thelp window{QPixmap()};
    const QString text = window.findChild<QTextBrowser*>(pane)->toPlainText();
    for (const QString& phrase : phrases) QVERIFY2(text.contains(phrase), qPrintable(phrase));
}

void HelpFormTest::aboutButtonShowsAbout() {
    Thelp window{QPixmap()};
    int abouts = 0;
    window.setshowabout([&] { ++abouts; });
    window.show();
    QTest::mouseClick(button(window, QStringLiteral("About")), Qt::LeftButton);
    QCOMPARE(abouts, 1);
}

QTEST_MAIN(HelpFormTest)
#include "helpform_test.moc"
