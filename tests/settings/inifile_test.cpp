// The INI file on disk: size limit, and writes that never leave a damaged or half-written
// file behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <csignal>
#include <filesystem>

#include "atomicwrite.h"
#include "inifile.h"
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
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    const fs::path path = dir.path() / "zorvlobby.ini";
    put(path, kOld);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const FileStatus status = IniFile(qpath(path)).write("Tessarin", "Help", "2");
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(contents(path), kOld);
    EXPECT_EQ(entries(dir.path()), QStringList{"zorvlobby.ini"});
}

TEST(IniFile, UnreadableFileIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    TempDir dir;
    const fs::path path = dir.path() / "zorvlobby.ini";
    put(path, kOld);
    fs::permissions(path, fs::perms::owner_write);
    const FileStatus status = IniFile(qpath(path)).write("Tessarin", "Help", "2");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(contents(path), kOld);
}

TEST(IniFile, KeepsPermissionsAndFollowsLinks) {
    TempDir dir;
    const fs::path real = dir.path() / "real.ini";
    const fs::path link = dir.path() / "zorvlobby.ini";
    put(real, kOld);
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, link);

    ASSERT_TRUE(IniFile(qpath(link)).write("Tessarin", "Help", "2").ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(contents(real).endsWith("[Tessarin]\nHelp=2\n"));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
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
