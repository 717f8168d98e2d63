// The tally figures: the grid text, and what finished games, following, deleting and
// resetting do to the rows.
#include "ttally.h"

#include <gtest/gtest.h>

namespace tessarin {
namespace {

// Columns 1..8 of a row, joined by spaces ("-" for an empty cell).
std::string figures(const TTally& tally, int row) {
    std::string out;
    for (int col = 1; col < kTallyColumns; ++col) {
        if (col > 1) out += ' ';
        const QString& cell = tally.cell(col, row);
        out += cell.isEmpty() ? "-" : cell.toStdString();
    }
    return out;
}

TEST(StringGridTest, WritesTheDocumentedExample) {
    TStringGrid grid(9, 2);
    const char* own[] = {"0", "5", "2", "0", "0", "0", "0", "0", "0"};
    const char* ann[] = {"Ann", "3", "1", "2", "0", "1", "0", "1", "0"};
    for (int col = 0; col < 9; ++col) {
        grid.setCell(col, 0, QString::fromLatin1(own[col]));
        grid.setCell(col, 1, QString::fromLatin1(ann[col]));
    }
    const QByteArray text =
        "9\r\n2\r\n0\r\nAnn\r\n5\r\n3\r\n2\r\n1\r\n0\r\n2\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n1\r"
        "\n"
        "0\r\n0\r\n";
    EXPECT_EQ(SaveStringGrid(grid), text);

    TStringGrid back;
    LoadStringGrid(back, text);
    EXPECT_EQ(SaveStringGrid(back), text);
    EXPECT_EQ(back.cell(0, 1), QStringLiteral("Ann"));
}

TEST(StringGridTest, ReadsLenientlyWhereOlderFilesDiffer) {
    const struct {
        const char* what;
        QByteArray text;
        QStringList cells;  // column by column
    } cases[] = {
        {"LF only", "2\n1\nx\ny\n", {"x", "y"}},
        {"no end after the last line", "2\r\n1\r\nx\r\ny", {"x", "y"}},
        {"cut short", "2\r\n2\r\nx\r\n", {"x", "", "", ""}},
        {"empty cells", "1\r\n3\r\n\r\nz\r\n\r\n", {"", "z", ""}},
        {"single-byte names", "1\r\n1\r\nZo\xEB\r\n", {QStringLiteral(u"Zo\u00EB")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TStringGrid grid;
        LoadStringGrid(grid, c.text);
        QStringList cells;
        for (int col = 0; col < grid.colcount(); ++col)
            for (int row = 0; row < grid.rowcount(); ++row) cells << grid.cell(col, row);
        EXPECT_EQ(cells, c.cells);
    }
}

TEST(StringGridTest, RejectsBadCountsAndKeepsTheGrid) {
    const struct {
        QByteArray text;
        std::string error;
    } cases[] = {
        {"", "'' is not a valid integer value"},
        {"nine\r\n1\r\n", "'nine' is not a valid integer value"},
        {"9\r\n1x\r\n", "'1x' is not a valid integer value"},
        {"9\r\n0\r\n", "Grid size out of range: 9 x 0"},
        {"-1\r\n1\r\n", "Grid size out of range: -1 x 1"},
        {"9\r\n2000000000\r\n", "Grid size out of range: 9 x 2000000000"},
        {"9\r\n10002\r\n", "Grid size out of range: 9 x 10002"},
        {"17\r\n1\r\n", "Grid size out of range: 17 x 1"},
        // A bad line is quoted by its first 24 characters, unprintable bytes as '?'.
        {"9\r\n" + QByteArray(1 << 20, '7') + "x\r\n",
         "'" + std::string(24, '7') + "...' is not a valid integer value"},
        {"1\r\n2\r\nAnn\r\n" + QByteArray("\x01\xFF") + QByteArray(254, 'n') + "\r\n",
         "Cell too long (256 bytes): '??" + std::string(22, 'n') + "...'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        TStringGrid grid(1, 1);
        grid.setCell(0, 0, QStringLiteral("kept"));
        try {
            LoadStringGrid(grid, c.text);
            ADD_FAILURE() << "accepted";
        } catch (const EGridFormat& e) {
            EXPECT_EQ(e.what(), c.error);
        }
        EXPECT_EQ(grid.cell(0, 0), QStringLiteral("kept"));
    }
}

TEST(TTallyTest, AdditCountsNonNumbersAsZero) {
    const struct {
        QString before;
        int after;
    } cases[] = {{"", 1}, {"7", 8}, {"abc", 1}, {"-3", -2}, {"2147483647", 2147483647}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before.toStdString());
        TTally tally;
        tally.follow(QStringLiteral("Ann"));
        TStringGrid grid = tally.grid();
        grid.setCell(3, 1, c.before);
        tally.load(SaveStringGrid(grid));
        EXPECT_EQ(tally.addit(3, 1), c.after);
        EXPECT_EQ(tally.cell(3, 1), QString::number(c.after));
    }
}

TEST(TTallyTest, CountsFinishedGames) {
    const struct {
        const char* what;
        QString text;
        QStringList opponents;
        std::string own;  // own row, columns 1 and 2
        std::string ann, bob, cid;
    } cases[] = {
        {"user wins against two tallied",
         "addtomine",
         {"Ann", "Bob"},
         "1 1",
         "1 0 1 0 1 0 1 0",
         "1 0 1 0 1 0 1 0",
         "0 0 0 0 0 0 0 0"},
        {"a tallied opponent wins",
         "Ann",
         {"Ann", "Bob"},
         "1 0",  //
         "1 1 0 0 1 1 0 0",
         "1 0 0 1 1 0 0 1",
         "0 0 0 0 0 0 0 0"},
        {"somebody untallied wins",
         "Dan",
         {"Dan", "Cid"},
         "1 0",  //
         "0 0 0 0 0 0 0 0",
         "0 0 0 0 0 0 0 0",
         "1 0 0 1 1 0 0 1"},
        {"names match in any case, the winner only exactly",
         "ANN",
         {"aNN", "BOB"},
         "1 0",
         "1 0 0 1 1 0 0 1",
         "1 0 0 1 1 0 0 1",
         "0 0 0 0 0 0 0 0"},
        {"nobody tallied seated",
         "addtomine",
         {"Dan"},
         "1 1",  //
         "0 0 0 0 0 0 0 0",
         "0 0 0 0 0 0 0 0",
         "0 0 0 0 0 0 0 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TTally tally;
        for (const char* name : {"Ann", "Bob", "Cid"}) tally.follow(QString::fromLatin1(name));
        tally.addgame(c.text, c.opponents);
        EXPECT_EQ(figures(tally, 0).substr(0, 3), c.own);
        EXPECT_EQ(figures(tally, 1), c.ann);
        EXPECT_EQ(figures(tally, 2), c.bob);
        EXPECT_EQ(figures(tally, 3), c.cid);
    }
}

TEST(TTallyTest, FillsEmptyCellsBeforeCounting) {
    TTally tally;
    tally.load("9\r\n2\r\n0\r\nAnn\r\n4\r\n\r\n1\r\n\r\n");  // Ann's row cut after column 2
    tally.addgame(QStringLiteral("Ann"), {QStringLiteral("Ann")});
    EXPECT_EQ(figures(tally, 1), "1 1 0 0 1 1 0 0");
    EXPECT_EQ(figures(tally, 0).substr(0, 3), "5 1");
}

TEST(TTallyTest, FollowsEachNameOnce) {
    TTally tally;
    EXPECT_TRUE(tally.follow(QStringLiteral("Ann")));
    EXPECT_FALSE(tally.follow(QStringLiteral("ANN")));
    EXPECT_TRUE(tally.follow(QStringLiteral("Bob")));
    EXPECT_EQ(tally.tallied(), (QStringList{"Ann", "Bob"}));
    EXPECT_EQ(figures(tally, 2), "0 0 0 0 0 0 0 0");
    EXPECT_EQ(tally.findTallied(QStringLiteral("bob")), 1);
    EXPECT_EQ(tally.findTallied(QStringLiteral("Dan")), -1);
}

TEST(TTallyTest, NamesEnterCleanedAndReadBackAsWritten) {
    const struct {
        QString name;
        QString kept;
    } cases[] = {
        {QStringLiteral("Ann\r\n5"), QStringLiteral("Ann5")},
        {QStringLiteral("\tBob\x7F\u0085"), QStringLiteral("Bob")},
        {QStringLiteral(u"Zo\u00EB \u4E16"), QStringLiteral(u"Zo\u00EB ?")},
        {QString(100, u'x'), QString(kMaxNameLength, u'x')},
    };
    TTally tally;
    for (const auto& c : cases) EXPECT_TRUE(tally.follow(c.name)) << c.kept.toStdString();
    EXPECT_FALSE(tally.follow(QStringLiteral("\r\n"))) << "nothing left to follow";
    // Seat names and the winner are matched in the same cleaned form.
    tally.addgame(cases[0].name, {cases[0].name, cases[1].name});
    QStringList kept;
    for (const auto& c : cases) kept << c.kept;
    ASSERT_EQ(tally.tallied(), kept);

    TTally back;
    back.load(tally.save());
    EXPECT_EQ(back.tallied(), kept);
    EXPECT_EQ(figures(back, 1), "1 1 0 0 0 0 0 0");
    EXPECT_EQ(figures(back, 2), "1 0 0 1 0 0 0 0");

    // A file written elsewhere is cleaned the same way on the way in.
    back.load("9\r\n2\r\n0\r\nC\x01id\r\n");
    EXPECT_EQ(back.tallied(), QStringList{"Cid"});
}

TEST(TTallyTest, FollowsNoMoreThanAFileHolds) {
    TTally tally;
    for (int i = 0; i < kMaxTallied; ++i) ASSERT_TRUE(tally.follow(QString::number(i)));
    EXPECT_FALSE(tally.follow(QStringLiteral("one more")));
    TTally back;
    back.load(tally.save());
    EXPECT_EQ(back.rowcount(), kMaxTallied + 1);
}

TEST(TTallyTest, DeletingKeepsNamesAndRowsPaired) {
    const struct {
        const char* what;
        int row;
        QStringList left;
    } cases[] = {
        {"first", 1, {"Bob2", "Cid3"}},
        {"middle", 2, {"Ann1", "Cid3"}},
        {"last", 3, {"Ann1", "Bob2"}},
        {"own row is not a player", 0, {"Ann1", "Bob2", "Cid3"}},
        {"past the end", 4, {"Ann1", "Bob2", "Cid3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TTally tally;
        // Each player won as many games as the digit in the name says.
        for (const char* name : {"Ann1", "Bob2", "Cid3"}) {
            const QString player = QString::fromLatin1(name);
            tally.follow(player);
            for (int i = 0; i < player.back().digitValue(); ++i) tally.addgame(player, {player});
        }
        tally.moverow(c.row);
        EXPECT_EQ(tally.tallied(), c.left);
        for (int row = 1; row < tally.rowcount(); ++row)
            EXPECT_EQ(tally.cell(2, row).toInt(), tally.cell(0, row).back().digitValue());
    }
}

TEST(TTallyTest, DeletingTheOnlyPlayerLeavesTheOwnRow) {
    TTally tally;
    tally.follow(QStringLiteral("Ann"));
    tally.moverow(1);
    EXPECT_EQ(tally.rowcount(), 1);
    EXPECT_TRUE(tally.tallied().isEmpty());
}

TEST(TTallyTest, ResetEmptiesTheOwnRowOnlyWhenPlayersWereTallied) {
    TTally alone;
    alone.addgame(kAddToMine.toString(), {});
    alone.reset();
    EXPECT_EQ(figures(alone, 0), "0 0 0 0 0 0 0 0");
    EXPECT_EQ(alone.cell(0, 0), QStringLiteral("0"));

    TTally followed;
    followed.follow(QStringLiteral("Ann"));
    followed.addgame(kAddToMine.toString(), {QStringLiteral("Ann")});
    followed.reset();
    EXPECT_EQ(followed.rowcount(), 1);
    EXPECT_EQ(figures(followed, 0), "- - - - - - - -");
    // After a restart the next game counts from nothing.
    TTally restarted;
    restarted.load(followed.save());
    restarted.addgame(kAddToMine.toString(), {});
    EXPECT_EQ(figures(restarted, 0).substr(0, 3), "1 1");
}

TEST(TTallyTest, RestartKeepsTotalsAndClearsTheSession) {
    TTally tally;
    tally.follow(QStringLiteral("Ann"));
    tally.addgame(QStringLiteral("Ann"), {QStringLiteral("Ann")});
    tally.addgame(kAddToMine.toString(), {QStringLiteral("Ann")});
    EXPECT_EQ(figures(tally, 1), "2 1 1 0 2 1 1 0");
    TTally restarted;
    restarted.load(tally.save());
    EXPECT_EQ(figures(restarted, 1), "2 1 1 0 0 0 0 0");
    EXPECT_EQ(figures(restarted, 0), figures(tally, 0));
}

TEST(TTallyTest, LoadRejectsOtherGridsAndKeepsTheFigures) {
    TTally tally;
    tally.follow(QStringLiteral("Ann"));
    EXPECT_THROW(tally.load("3\r\n1\r\na\r\nb\r\nc\r\n"), EGridFormat);
    EXPECT_THROW(tally.load("9\r\nx\r\n"), EGridFormat);
    EXPECT_EQ(tally.tallied(), QStringList{"Ann"});
}

}  // namespace
}  // namespace tessarin
