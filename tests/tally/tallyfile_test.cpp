// The tally file: a file written by the game read back to known figures, where the file
// lives, and saving that never passes through the current directory.
#include "tallyfile.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <filesystem>
#include <fstream>

#include "lzrw1format.h"
#include "tempdir.h"
#include "testbytes.h"
#include "tlzrw1.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;

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

// The player's own arrangement survives a save: a link to a tally kept elsewhere stays a
// link, the file keeps its permissions, and what a crashed copy left behind is cleared.
TEST(TallyFileTest, SavesThroughLinksKeepingPermissions) {
    testing::TempDir dir;
    fs::create_directory(dir.path() / "kept");
    const fs::path real = dir.path() / "kept" / "mine.tld";
    const fs::path link = dir.path() / "Tessarintally.tld";
    TTally before;
    before.follow(QStringLiteral("Ann"));
    saveTallyFile(QString::fromStdString(real.string()), before);
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, link);
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    std::ofstream(dir.path() / "kept" / (".mine.tld.tmp" + std::to_string(gone) + "-0")) << "x";
    std::ofstream(dir.path() / "kept" / ".mine.tld.tmpnot-ours") << "x";

    TTally after;
    after.follow(QStringLiteral("Bob"));
    saveTallyFile(QString::fromStdString(link.string()), after);
    EXPECT_TRUE(fs::is_symlink(link));
    TTally back;
    ASSERT_TRUE(loadTallyFile(QString::fromStdString(real.string()), back));
    EXPECT_EQ(back.tallied(), QStringList{"Bob"});
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(QDir(QString::fromStdString((dir.path() / "kept").string()))
                  .entryList(QDir::Files | QDir::Hidden),
              (QStringList{".mine.tld.tmpnot-ours", "mine.tld"}));
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

Bytes container(const QByteArray& text) {
    return compressBytes(Bytes(text.begin(), text.end()));
}

// A container whose header claims `size` bytes, made of `pieces` copies of one chunk that
// decodes to 32768 bytes 'a' (nine run items, 41 bytes on disk).
Bytes claimed(std::int32_t size, int pieces) {
    const Bytes whole = compressBytes(Bytes(2 * lzrw::kPieceSize, 'a'));
    const std::size_t length = whole[8] | (std::size_t{whole[9]} << 8);
    const Bytes chunk(whole.begin() + 8, whole.begin() + 10 + static_cast<long>(length));
    Bytes out(whole.begin(), whole.begin() + 4);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    for (int i = 0; i < pieces; ++i) out.insert(out.end(), chunk.begin(), chunk.end());
    return out;
}

Bytes cut(Bytes bytes, std::size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

// A grid of `rows` rows whose names are `name` and figures 7.
QByteArray grid(int rows, const QByteArray& name) {
    QByteArray text = "9\r\n" + QByteArray::number(rows) + "\r\n0\r\n";
    for (int row = 1; row < rows; ++row) text += name + "\r\n";
    for (int cell = rows; cell < 9 * rows; ++cell) text += "7\r\n";
    return text;
}

// Files that once froze start-up or took gigabytes, and others of their kind. Each is
// refused with a short, printable text, or (the largest tally the reader takes) read. They
// stay in the build tree, where tessarin-tally and the game can be timed on them.
TEST(TallyFileTest, HostileFilesAreRefusedCleanly) {
    const fs::path dir = TESSARIN_HOSTILE_DIR;
    fs::remove_all(dir);
    fs::create_directories(dir);
    const struct {
        const char* name;
        Bytes bytes;        // empty: made below
        const char* error;  // a part of the text; nullptr: the file reads
    } cases[] = {
        {"first-line-1MB", container(QByteArray(1 << 20, '9') + "x\r\n"),
         "'999999999999999999999999...' is not a valid integer value"},
        {"first-line-64MB", claimed(64 << 20, 2048), "is larger than the 4194304"},
        {"claims-2GB-runs", claimed(2000000000, 61036), "(2000000000 bytes) is larger than"},
        {"claims-4MiB-has-more", claimed(kMaxTallyTextBytes, 200), "sizes do not match"},
        {"rows-116508", container(grid(116508, "n")), "Grid size out of range: 9 x 116508"},
        {"names-4600", container(grid(280, QByteArray(4600, 'n'))), "Cell too long (4600 bytes)"},
        {"name-with-controls", container(grid(2, "\x1B[2J\x07")), nullptr},
        {"largest-readable", container(grid(kMaxTallied + 1, QByteArray(kMaxCellLength, 'n'))),
         nullptr},
        {"cut-short", cut(container(grid(2, "Ann")), 3), "Error reading from input file"},
        {"fifo", {}, "Failed to open input file"},
        {"folder", {}, "Failed to open input file"},
        {"device", {}, "Failed to open input file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / c.name;
        if (std::string_view(c.name) == "fifo")
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        else if (std::string_view(c.name) == "folder")
            fs::create_directory(path);
        else if (std::string_view(c.name) == "device")
            fs::create_symlink("/dev/zero", path);
        else
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(c.bytes.data()),
                       static_cast<std::streamsize>(c.bytes.size()));
        TTally tally;
        try {
            EXPECT_TRUE(loadTallyFile(QString::fromStdString(path.string()), tally));
            EXPECT_EQ(c.error, nullptr) << "read";
            EXPECT_GT(tally.rowcount(), 1);
            for (const QString& name : tally.tallied())
                EXPECT_FALSE(name.contains(QRegularExpression("[\\x00-\\x1F]")));
        } catch (const std::exception& e) {
            const std::string what = e.what();
            ASSERT_NE(c.error, nullptr) << what;
            EXPECT_NE(what.find(c.error), std::string::npos) << what;
            EXPECT_LT(what.size(), 200u + path.string().size()) << what;
            EXPECT_EQ(tally.rowcount(), 1);
        }
    }
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
