// The INI file on disk: size limit, and writes that never leave a damaged or half-written
// file behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <csignal>
#include <filesystem>

#include "atomicwrite.h"
#include "inifile.h"
#include "privatemounts.h"
#include "tempdir.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

const QByteArray kOld = "; shared with the lobby\n[Lobby]\nName = Bob\n[Tessarin]\nHelp=1\n";

QString qpath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

QByteArray contents(const fs::path& path) {
    QFile file(qpath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const fs::path& path, const QByteArray& bytes) {
    QFile file(qpath(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Everything in the folder: a failed write must not leave its temporary file behind.
QStringList entries(const fs::path& dir) {
    return QDir(qpath(dir)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

ino_t inode(const fs::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

// Writes beyond `bytes` fail with EFBIG, as on a full disk; works for root too.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

TEST(IniFile, MissingFileReadsEmptyAndWriteCreatesIt) {
    TempDir dir;
    const IniFile file(qpath(dir.path() / "zorvlobby.ini"));
    EXPECT_TRUE(file.readSection("Tessarin").entries.isEmpty());
    ASSERT_TRUE(file.write("Tessarin", "Help", "2").ok());
    EXPECT_EQ(contents(dir.path() / "zorvlobby.ini"), "[Tessarin]\nHelp=2\n");
    EXPECT_EQ(entries(dir.path()), QStringList{"zorvlobby.ini"});
}

TEST(IniFile, SizeLimit) {
    struct Case {
        qint64 size;
        bool readable;
    };
    for (const Case c : {Case{IniFile::kMaxBytes, true}, Case{IniFile::kMaxBytes + 1, false}}) {
        SCOPED_TRACE(c.size);
        TempDir dir;
        const fs::path path = dir.path() / "zorvlobby.ini";
        QByteArray bytes = "[Tessarin]\nHelp=1\n;";
        bytes += QByteArray(c.size - bytes.size(), 'x');
        put(path, bytes);
        const IniFile file(qpath(path));

        EXPECT_EQ(file.readSection("Tessarin").value(u"Help").has_value(), c.readable);
        const FileStatus status = file.write("Tessarin", "Top", "5");
        EXPECT_EQ(status.ok(), c.readable) << status.error.toStdString();
        if (!c.readable) {
            EXPECT_EQ(contents(path), bytes);
        }
    }
}

TEST(IniFile, FailedWriteLeavesOldFile) {
    TempDir dir;
    const fs::path path = dir.path() / "zorvlobby.ini";
    put(path, kOld);
    const IniFile file(qpath(path));
    FileStatus status;
    {
        FileSizeLimit full(1024);
        status = file.write("Tessarin", "Phrase1", QString(5000, 'x'));
    }
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(contents(path), kOld);
    EXPECT_EQ(entries(dir.path()), QStringList{"zorvlobby.ini"});
}

TEST(IniFile, FailedRenameRemovesTemporaryFile) {
    TempDir dir;
    const fs::path target = dir.path() / "zorvlobby.ini";
    fs::create_directory(target);
    put(target / "inside", "kept");

    const FileStatus status = writeFileAtomically(qpath(target), "[Tessarin]\nHelp=2\n");
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.error.contains("zorvlobby.ini")) << status.error.toStdString();
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(contents(target / "inside"), "kept");
    EXPECT_EQ(entries(dir.path()), QStringList{"zorvlobby.ini"});
}

TEST(IniFile, ReadOnlyFolderLeavesOldFile) {
    TempDir dir;
    const fs::path path = dir.path() / "zorvlobby.ini";
    put(path, kOld);
    FileStatus status;
    {
        testing::ReadOnlyFolder readOnly(dir.path());
        if (!readOnly.ok()) GTEST_SKIP() << readOnly.why();
        status = IniFile(qpath(path)).write("Tessarin", "Help", "2");
    }
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(contents(path), kOld);
    EXPECT_EQ(entries(dir.path()), QStringList{"zorvlobby.ini"});
}

TEST(IniFile, UnreadableFileIsNotReplaced) {
    TempDir dir;
    const fs::path path = dir.path() / "zorvlobby.ini";
    put(path, kOld);
    fs::permissions(path, fs::perms::owner_write);
    FileStatus status;
    {
        testing::WithoutOverride likeAnyUser;
        status = IniFile(qpath(path)).write("Tessarin", "Help", "2");
    }
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(contents(path), kOld);
}

TEST(IniFile, NoRegularFileIsReadOrReplaced) {
    TempDir dir;
    const fs::path path = dir.path() / "zorvlobby.ini";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const IniFile file(qpath(path));
    EXPECT_TRUE(file.readSection("Tessarin").entries.isEmpty());  // no writer: would block
    const FileStatus status = file.write("Tessarin", "Help", "2");
    EXPECT_EQ(status.error, "Cannot read " + qpath(path) + ": not a regular file");
    EXPECT_EQ(fs::status(path).type(), fs::file_type::fifo);
}

TEST(IniFile, FullDiskLeavesOldFileAndSaysWhy) {
    TempDir dir;
    testing::FullDisk disk(dir.path(), 64 * 1024);
    if (!disk.ok()) GTEST_SKIP() << disk.why();
    const fs::path path = dir.path() / "zorvlobby.ini";
    put(path, kOld);
    disk.fill();
    const FileStatus status = IniFile(qpath(path)).write("Tessarin", "Phrase1", "Hello");
    EXPECT_EQ(status.error, "Cannot save " + qpath(path) + ": No space left on device");
    EXPECT_EQ(contents(path), kOld);
    EXPECT_EQ(entries(dir.path()), (QStringList{"filler", "zorvlobby.ini"}));
}

TEST(IniFile, KeepsPermissionsFollowsLinksAndClearsCrashLeftovers) {
    TempDir dir;
    const fs::path real = dir.path() / "real.ini";
    const fs::path hop = dir.path() / "hop.ini";
    const fs::path link = dir.path() / "zorvlobby.ini";
    put(real, kOld);
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real.ini", hop);
    fs::create_symlink(hop, link);
    // Left by a crash of a copy that no longer runs; the other name is not ours.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    put(dir.path() / (".real.ini.tmp" + std::to_string(gone) + "-3"), "half");
    put(dir.path() / ".real.ini.tmp-notours", "kept");

    ASSERT_TRUE(IniFile(qpath(link)).write("Tessarin", "Help", "2").ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(hop));
    EXPECT_TRUE(contents(real).endsWith("[Tessarin]\nHelp=2\n"));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(dir.path()),
              (QStringList{".real.ini.tmp-notours", "hop.ini", "real.ini", "zorvlobby.ini"}));
}

TEST(IniFile, UnchangedContentIsNotRewritten) {
    TempDir dir;
    const fs::path path = dir.path() / "zorvlobby.ini";
    put(path, kOld);
    const IniFile file(qpath(path));
    const ino_t before = inode(path);

    ASSERT_TRUE(file.write("tessarin", "HELP", "1").ok());
    EXPECT_EQ(inode(path), before);
    ASSERT_TRUE(file.write("Tessarin", "Help", "2").ok());
    EXPECT_NE(inode(path), before);
}

}  // namespace
}  // namespace tessarin
