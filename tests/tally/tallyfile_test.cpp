// The tally file: a file written by the game read back to known figures, where the file
// lives, and saving that never passes through the current directory.
#include "tallyfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <filesystem>

#include "tempdir.h"
#include "tlzrw1.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

// A tally of the user (12 games, 5 won) following Ann, Klot, "Zoë" (one Latin-1 byte) and
// Mirela, written with last run's figures still in its session columns.
const QString kReference = QStringLiteral(TESSARIN_TALLY_DATA "/reference.tld");

QString inDir(const testing::TempDir& dir, const char* name) {
    return QString::fromStdString((dir.path() / name).string());
}

TEST(TallyFileTest, ReadsTheReferenceFile) {
    TTally tally;
    ASSERT_TRUE(loadTallyFile(kReference, tally));
    EXPECT_EQ(tally.cell(1, 0), QStringLiteral("12"));
    EXPECT_EQ(tally.cell(2, 0), QStringLiteral("5"));
    EXPECT_EQ(tally.tallied(), (QStringList{"Ann", "Klot", QStringLiteral(u"Zo\u00EB"), "Mirela"}));
    const struct {
        int row;
        QStringList figures;  // columns 1..8
    } rows[] = {
        {1, {"7", "2", "4", "1", "0", "0", "0", "0"}},
        {2, {"10", "3", "5", "2", "0", "0", "0", "0"}},
        {3, {"3", "1", "1", "1", "0", "0", "0", "0"}},
        {4, {"0", "0", "0", "0", "0", "0", "0", "0"}},
    };
    for (const auto& r : rows) {
        QStringList figures;
        for (int col = 1; col < kTallyColumns; ++col) figures << tally.cell(col, r.row);
        EXPECT_EQ(figures, r.figures) << r.row;
    }
}

TEST(TallyFileTest, WritesTheReferenceFileByteForByte) {
    QFile file(kReference);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const std::vector<std::uint8_t> stored(bytes.begin(), bytes.end());
    EXPECT_EQ(compressBytes(decompressBytes(stored)), stored);
}

TEST(TallyFileTest, NoFileLeavesTheTallyAsItIs) {
    testing::TempDir dir;
    TTally tally;
    tally.follow(QStringLiteral("Ann"));
    EXPECT_FALSE(loadTallyFile(inDir(dir, "none.tld"), tally));
    EXPECT_EQ(tally.tallied(), QStringList{"Ann"});
}

TEST(TallyFileTest, SavesWithoutTouchingTheCurrentDirectory) {
    testing::TempDir dir;
    testing::TempDir cwd;
    const fs::path previous = fs::current_path();
    fs::current_path(cwd.path());
    fs::create_directory(dir.path() / "game");
    const QString path = inDir(dir, "game/Tessarintally.tld");
    TTally tally;
    tally.follow(QStringLiteral("Ann"));
    saveTallyFile(path, tally);
    TTally back;
    loadTallyFile(path, back);
    fs::current_path(previous);

    EXPECT_EQ(back.tallied(), QStringList{"Ann"});
    EXPECT_TRUE(fs::is_empty(cwd.path()));
    EXPECT_EQ(QDir(inDir(dir, "game")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Tessarintally.tld"});
}

TEST(TallyFileTest, KeepsTheProgramFolderWhenWritable) {
    testing::TempDir dir;
    const TallyPaths paths = tallyPaths(inDir(dir, ""), inDir(dir, "config"));
    EXPECT_EQ(paths.load, inDir(dir, "Tessarintally.tld"));
    EXPECT_EQ(paths.save, paths.load);
    EXPECT_FALSE(QFile::exists(inDir(dir, "config")));
}

TEST(TallyFileTest, FallsBackWhenTheProgramFolderIsUnusable) {
    testing::TempDir dir;
    const TallyPaths paths = tallyPaths(inDir(dir, "gone"), inDir(dir, "config/tessarin"));
    EXPECT_EQ(paths.load, inDir(dir, "config/tessarin/Tessarintally.tld"));
    EXPECT_EQ(paths.save, paths.load);
    EXPECT_TRUE(QDir(inDir(dir, "config/tessarin")).exists());
}

TEST(TallyFileTest, KeepsAnUnreadableFileAside) {
    testing::TempDir dir;
    const QString path = inDir(dir, "Tessarintally.tld");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("!HZL not ours");
    file.close();
    ASSERT_TRUE(keepUnreadable(path));
    saveTallyFile(path, TTally());
    QFile copy(path + ".bad");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("!HZL not ours"));
    TTally back;
    EXPECT_TRUE(loadTallyFile(path, back));
}

}  // namespace
}  // namespace tessarin
