// The tally window with a scripted user: what it shows after loading, following and
// unfollowing, finished games, reset, and what survives a restart.
#include "ttallylist.h"

#include <sys/stat.h>

#include <QDir>

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "privatemounts.h"

using tessarin::TallyPrompts;
using tessarin::Ttallylist;

namespace {

// Answers the window's questions from a script and keeps what it was told.
struct ScriptedUser {
    TallyPrompts prompts() {
        return {[this](QWidget*, const QString& question) {
                    questions << question;
                    return !answers.isEmpty() && answers.takeFirst();
                },
                [this](QWidget*, const QString& message) { messages << message; },
                [this](const QString& message) { atEnd << message; }};
    }
    QList<bool> answers;
    QStringList questions;
    QStringList messages;
    QStringList atEnd;  // told at program end
};

}  // namespace

class TtallylistTest : public QObject {
    Q_OBJECT

  private:
    QString path() const { return dir_->filePath(QStringLiteral("Tessarintally.tld")); }
    std::unique_ptr<Ttallylist> open() {
        return std::make_unique<Ttallylist>(nullptr, tessarin::TallyPaths{path(), path()},
                                            user_.prompts());
    }
    static QString text(const Ttallylist& w, const QString& label) {
        return w.findChild<QLabel*>(label)->text();
    }
    static QListWidget* list(const Ttallylist& w, const char* name) {
        return w.findChild<QListWidget*>(QString::fromLatin1(name));
    }
    // Columns 1..8 of the detail panel, joined by spaces.
    static QString panel(const Ttallylist& w) {
        QStringList figures;
        for (int col = 1; col <= 8; ++col) figures << text(w, QStringLiteral("label_%1").arg(col));
        return figures.join(u' ');
    }
    static QStringList items(QListWidget* l) {
        QStringList out;
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text() + (l->item(i)->checkState() == Qt::Checked ? "+" : "-");
        return out;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedUser user_;

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        user_ = ScriptedUser();
        QVERIFY(QFile::copy(QStringLiteral(TESSARIN_TALLY_DATA "/reference.tld"), path()));
    }

    void showsTheLoadedFigures() {
        const auto w = open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Tessarin - Tally List"));
        QCOMPARE(w->size(), QSize(475, 347));
        QCOMPARE(text(*w, "mylabel_1"), QStringLiteral("12"));
        QCOMPARE(text(*w, "mylabel_2"), QStringLiteral("5"));
        QVERIFY(w->findChild<QLabel*>("mylabel_3")->isHidden());
        QVERIFY(w->findChild<QLabel*>("mylabel_4")->isHidden());
        QCOMPARE(items(list(*w, "listbox_tally")),
                 (QStringList{"Ann+", "Klot+", QStringLiteral(u"Zo\u00EB+"), "Mirela+"}));
        QCOMPARE(panel(*w), QStringLiteral("0 0 0 0 0 0 0 0"));
        QVERIFY(user_.messages.isEmpty());
    }

    void showsTheSelectedPlayer_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("figures");
        QTest::newRow("first") << 0 << "Ann"
                               << "7 2 4 1 0 0 0 0";
        QTest::newRow("third") << 2 << QStringLiteral(u"Zo\u00EB") << "3 1 1 1 0 0 0 0";
    }
    void showsTheSelectedPlayer() {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, figures);
        const auto w = open();
        list(*w, "listbox_tally")->setCurrentRow(index);
        QCOMPARE(panel(*w), figures);
        QCOMPARE(text(*w, "label_hisname"), name + " Wins:");
        QCOMPARE(text(*w, "label_hisnametop"), name + "'s Tally");
    }

    void listsTheOtherSeatedPlayers_data() {
        QTest::addColumn<QStringList>("seats");
        QTest::addColumn<int>("myseat");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("host") << QStringList{"Me", "ann", "<Waiting>"} << 1 << QStringList{"ann+"};
        QTest::newRow("seat 2") << QStringList{"Bob", "Me", "Klot"} << 2
                                << QStringList{"Bob-", "Klot+"};
        QTest::newRow("spectator")
            << QStringList{"Bob", "Ann", "Cid"} << 5 << QStringList{"Bob-", "Ann+", "Cid-"};
    }
    void listsTheOtherSeatedPlayers() {
        QFETCH(QStringList, seats);
        QFETCH(int, myseat);
        QFETCH(QStringList, listed);
        const auto w = open();
        w->loadchecklist(seats, myseat);
        QCOMPARE(items(list(*w, "checklist")), listed);
    }

    void followsACheckedPlayer() {
        const auto w = open();
        // A seat name with a control character in it is followed as the grid holds it.
        w->loadchecklist({"Me", "Bob\a", "Ann"}, 1);
        QListWidget* checklist = list(*w, "checklist");
        checklist->item(0)->setCheckState(Qt::Checked);
        checklist->item(1)->setCheckState(Qt::Unchecked);  // does not unfollow
        QCOMPARE(items(checklist), (QStringList{"Bob\a+", "Ann+"}));
        QCOMPARE(items(list(*w, "listbox_tally")).last(), QStringLiteral("Bob+"));
        QCOMPARE(w->tally().tallied().size(), 5);
        QCOMPARE(w->tally().cell(0, 5), QStringLiteral("Bob"));
        QCOMPARE(w->tally().cell(8, 5), QStringLiteral("0"));
    }

    void asksBeforeDeleting_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("yes") << true
                             << QStringList{"Ann+", QStringLiteral(u"Zo\u00EB+"), "Mirela+"};
        QTest::newRow("no") << false
                            << QStringList{"Ann+", "Klot+", QStringLiteral(u"Zo\u00EB+"),
                                           "Mirela+"};
    }
    void asksBeforeDeleting() {
        QFETCH(bool, yes);
        QFETCH(QStringList, left);
        const auto w = open();
        QListWidget* tallied = list(*w, "listbox_tally");
        tallied->setCurrentRow(1);
        user_.answers = {yes};
        tallied->item(1)->setCheckState(Qt::Unchecked);
        QCOMPARE(user_.questions,
                 QStringList{"This will delete Klot's Tally, Are you want to delete it?"});
        QCOMPARE(items(tallied), left);
        QStringList names;
        for (const QString& item : left) names << item.chopped(1);
        QCOMPARE(w->tally().tallied(), names);
        // The panel keeps what it showed until another player is chosen.
        QCOMPARE(text(*w, "label_hisnametop"), QStringLiteral("Klot's Tally"));
        QCOMPARE(panel(*w), QStringLiteral("10 3 5 2 0 0 0 0"));
        if (yes) QCOMPARE(w->tally().cell(1, 2), QStringLiteral("3"));  // Zoë moved up
    }

    void deletesOnAClickOfTheCheckBox() {
        const auto w = open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QListWidget* tallied = list(*w, "listbox_tally");
        const QRect row = tallied->visualItemRect(tallied->item(1));
        user_.answers = {true};
        // The check box sits at the left end of the row.
        QTest::mouseClick(tallied->viewport(), Qt::LeftButton, {},
                          QPoint(row.left() + 10, row.center().y()));
        QCOMPARE(user_.questions.size(), 1);
        QCOMPARE(items(tallied), (QStringList{"Ann+", QStringLiteral(u"Zo\u00EB+"), "Mirela+"}));
    }

    void countsAFinishedGame() {
        const auto w = open();
        list(*w, "listbox_tally")->setCurrentRow(0);
        w->loadchecklist({"Me", "Ann", "Klot"}, 1);
        w->addgame(QStringLiteral("Ann"));
        QCOMPARE(text(*w, "mylabel_1"), QStringLiteral("13"));
        QCOMPARE(text(*w, "mylabel_2"), QStringLiteral("5"));
        QCOMPARE(panel(*w), QStringLiteral("8 3 4 1 1 1 0 0"));
        QCOMPARE(w->tally().cell(4, 2), QStringLiteral("3"));  // Klot: neither won
    }

    void spectatorCountsNothing() {
        const auto w = open();
        const QByteArray before = w->tally().save();
        w->loadchecklist({"Ann", "Klot", "<Waiting>"}, 4);
        w->addgame(QStringLiteral("addtomine"));
        QCOMPARE(w->tally().save(), before);
        QCOMPARE(text(*w, "mylabel_1"), QStringLiteral("12"));
    }

    void resetsAfterConfirmation() {
        const auto w = open();
        list(*w, "listbox_tally")->setCurrentRow(0);
        auto* reset = w->findChild<QPushButton*>("button_reset");
        user_.answers = {false, true};
        reset->click();
        QCOMPARE(list(*w, "listbox_tally")->count(), 4);
        reset->click();
        QCOMPARE(user_.questions.last(),
                 QStringLiteral("Are you sure you want to reset the Tally?"));
        QCOMPARE(list(*w, "listbox_tally")->count(), 0);
        QCOMPARE(w->tally().rowcount(), 1);
        // The own row itself is empty now; the panel shows "0" all the same.
        QCOMPARE(text(*w, "mylabel_1"), QStringLiteral("0"));
        QCOMPARE(panel(*w), QStringLiteral("0 0 0 0 0 0 0 0"));
    }

    void keepsAnUnreadableFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("told");
        QTest::newRow("other method")
            << QByteArray("!HZL\x03\0\0\0", 8)
            << QStringLiteral(" : Lzrw1 decompression : this file has no valid header !");
        // The header claims 2,000,000,000 bytes; refused before a chunk is read.
        QTest::newRow("over the limit") << QByteArray("WRZL\x00\x94\x35\x77\x05\x00\x40", 11)
                                        << QStringLiteral(
                                               " : Lzrw1 decompression : the data "
                                               "(2000000000 bytes) is larger than");
    }
    void keepsAnUnreadableFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, told);
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        {
            const auto w = open();
            QCOMPARE(user_.messages.size(), 1);
            QVERIFY2(
                user_.messages[0].startsWith("The tally file could not be read:\n" + path() + told),
                qPrintable(user_.messages[0]));
            QVERIFY(user_.messages[0].endsWith(path() + ".bad when the game ends."));
            QCOMPARE(list(*w, "listbox_tally")->count(), 0);
            QCOMPARE(text(*w, "mylabel_1"), QStringLiteral("0"));
        }
        QVERIFY(user_.atEnd.isEmpty());
        QFile kept(path() + ".bad");
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), bytes);
        // A fresh tally took its place and reads without a word.
        const auto w = open();
        QCOMPARE(user_.messages.size(), 1);
    }

    void neverReadsOrReplacesAFifo() {
        QVERIFY(QFile::remove(path()));
        QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
        open().reset();  // would block in open() before the window existed
        QCOMPARE(user_.messages.size(), 1);
        QCOMPARE(user_.atEnd.size(), 1);
        QVERIFY2(user_.atEnd[0].contains(path()), qPrintable(user_.atEnd[0]));
        QVERIFY(!QFile::exists(path() + ".bad"));
        QCOMPARE(QFileInfo(path()).isFile(), false);
    }

    void fullDiskKeepsTheEarlierFileAndTells() {
        QFile reference(path());
        QVERIFY(reference.open(QIODevice::ReadOnly));
        const QByteArray before = reference.readAll();
        reference.close();
        tessarin::testing::FullDisk disk(dir_->path().toStdString(), 64 * 1024);
        if (!disk.ok()) QSKIP(disk.why().c_str());
        QVERIFY(QFile::copy(QStringLiteral(TESSARIN_TALLY_DATA "/reference.tld"), path()));
        {
            const auto w = open();
            w->loadchecklist({"Me", "Newcomer", "<Waiting>"}, 1);
            list(*w, "checklist")->item(0)->setCheckState(Qt::Checked);
            disk.fill();
        }
        QCOMPARE(user_.atEnd.size(), 1);
        QVERIFY2(user_.atEnd[0].contains(path()), qPrintable(user_.atEnd[0]));
        QVERIFY(reference.open(QIODevice::ReadOnly));
        QCOMPARE(reference.readAll(), before);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"filler", "Tessarintally.tld"}));
    }

    void toldWithoutABoxThatWaits() {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("junk");
        file.close();
        QWidget main;
        // With message boxes that waited, this would not return until someone clicked.
        Ttallylist w(&main, {path(), path()}, tessarin::messageBoxPrompts());
        const QList<QMessageBox*> boxes = main.findChildren<QMessageBox*>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0]->isVisible());
        QVERIFY(!boxes[0]->isModal());
    }

    void startsEmptyWithoutAFile() {
        QVERIFY(QFile::remove(path()));
        {
            const auto w = open();
            QCOMPARE(text(*w, "mylabel_1"), QStringLiteral("0"));
            QCOMPARE(list(*w, "listbox_tally")->count(), 0);
        }
        QVERIFY(QFile::exists(path()));
        QVERIFY(user_.messages.isEmpty());
    }

    void doneHides() {
        const auto w = open();
        w->show();
        QVERIFY(w->isVisible());
        w->findChild<QPushButton*>("button_done")->click();
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TtallylistTest)
#include "ttallylist_test.moc"
