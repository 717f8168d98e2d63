// Crash safety: a helper process saves the tally file and the settings file over and over
// and is killed with SIGKILL at a random moment, again and again. After every kill both
// files must be there and hold a complete generation, byte for byte what a clean save of
// that generation writes: the one before the helper ran or one the helper finished,
// never a mixture, never nothing. The settings file's other sections must survive too.
//
// A few seconds by default; TESSARIN_CRASH_SECONDS=N kills for N seconds.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "generations.h"
#include "tempdir.h"

extern char** environ;

namespace tessarin::crash {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A clean save of generation g, made in a folder of its own, for comparison.
struct Reference {
    QByteArray tally;
    QByteArray settings;
};

Reference referenceOf(long g) {
    testing::TempDir dir;
    const QString path = QString::fromStdString(dir.path().string());
    QFile settings(settingsPath(path));
    if (settings.open(QIODevice::WriteOnly)) settings.write(foreignSettings());
    settings.close();
    saveTally(path, g);
    saveSettings(path, g);
    return {contents(tallyPath(path)), contents(settingsPath(path))};
}

// Starts the saver on `dir` from generation `first`; returns once it is running.
pid_t startSaver(const QString& dir, long first) {
    int out[2];
    if (::pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const QByteArray folder = QFile::encodeName(dir);
    const std::string generation = std::to_string(first);
    char* argv[] = {const_cast<char*>(TESSARIN_CRASH_SAVER), const_cast<char*>(folder.data()),
                    const_cast<char*>(generation.c_str()), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, TESSARIN_CRASH_SAVER, &actions, nullptr, argv, environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char ready = 0;
    if (pid > 0 && ::read(out[0], &ready, 1) != 1) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
    ::close(out[0]);
    return pid;
}

int crashSeconds() {
    const char* text = std::getenv("TESSARIN_CRASH_SECONDS");
    return text ? std::max(1, std::atoi(text)) : 4;
}

TEST(CrashSafety, AKilledSaveLeavesTheOldOrTheNewFileWhole) {
    testing::TempDir tempDir;
    const QString dir = QString::fromStdString(tempDir.path().string());
    writeFile(settingsPath(dir), foreignSettings());
    saveTally(dir, 0);
    saveSettings(dir, 0);

    std::mt19937 random(5);
    long tallyBefore = 0, settingsBefore = 0;
    int kills = 0, midSave = 0, advanced = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(crashSeconds());
    // Each saver gets generations of its own; it is killed long before it could use up
    // 10000, and the settings' window position (where the generation is kept) stays within
    // the range the settings are read in (2^30) for 100000 kills.
    for (long first = 10'000; std::chrono::steady_clock::now() < end; first += 10'000) {
        const pid_t saver = startSaver(dir, first);
        ASSERT_GT(saver, 0) << "the saver did not start";
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(random)));
        ::kill(saver, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the saver ended by itself: " << status;
        ++kills;

        // A save cut short leaves its temporary file beside the target, never in its place.
        const QStringList left = QDir(dir).entryList(QDir::Files | QDir::Hidden);
        bool cut = false;
        for (const QString& name : left) {
            if (QDir(dir).filePath(name) == tallyPath(dir) ||
                QDir(dir).filePath(name) == settingsPath(dir))
                continue;
            cut = true;
            QFile::remove(QDir(dir).filePath(name));
        }
        midSave += cut;

        const long tally = tallyGeneration(dir);
        const long settings = settingsGeneration(dir);
        SCOPED_TRACE("kill " + std::to_string(kills) + ": tally " + std::to_string(tally) +
                     ", settings " + std::to_string(settings));
        ASSERT_TRUE(tally == tallyBefore || tally >= first) << "tally missing or torn";
        ASSERT_TRUE(settings == settingsBefore || settings >= first) << "settings torn";
        // Settings are saved after the tally of the same generation.
        ASSERT_LE(settings, tally);
        const Reference tallyReference = referenceOf(tally);
        ASSERT_EQ(contents(tallyPath(dir)), tallyReference.tally);
        ASSERT_EQ(contents(settingsPath(dir)), referenceOf(settings).settings);
        advanced += tally != tallyBefore;
        tallyBefore = tally;
        settingsBefore = settings;
    }
    std::printf(
        "crash: %d kills, %d of them in the middle of a save, %d after new saves; "
        "last generations: tally %ld, settings %ld\n",
        kills, midSave, advanced, tallyBefore, settingsBefore);
    EXPECT_GT(midSave, 0) << "no kill came during a save";
    EXPECT_GT(advanced, 0) << "the saver never finished a save";
}

}  // namespace
}  // namespace tessarin::crash
