// Where the settings file goes: beside the program when it may write there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "privatemounts.h"
#include "settingspath.h"
#include "tempdir.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

QString qpath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

TEST(SettingsPath, ProgramFolderWhenWritableElseConfigFolder) {
    testing::TempDir dir;
    const fs::path program = dir.path() / "program";
    const fs::path config = dir.path() / "config" / "Tessarin";
    fs::create_directory(program);
    std::ofstream(dir.path() / "plainfile") << "not a folder";

    EXPECT_EQ(chooseSettingsPath(qpath(program), qpath(config)), qpath(program / "zorvlobby.ini"));
    EXPECT_FALSE(fs::exists(config)) << "the fallback folder is made only when used";

    for (const fs::path& unusable : {dir.path() / "missing", dir.path() / "plainfile"}) {
        SCOPED_TRACE(unusable.string());
        EXPECT_EQ(chooseSettingsPath(qpath(unusable), qpath(config)),
                  qpath(config / "zorvlobby.ini"));
        EXPECT_TRUE(fs::is_directory(config));
    }
}

TEST(SettingsPath, ReadOnlyProgramFolderFallsBack) {
    testing::TempDir dir;
    const fs::path program = dir.path() / "program";
    fs::create_directory(program);
    testing::ReadOnlyFolder readOnly(program);
    if (!readOnly.ok()) GTEST_SKIP() << readOnly.why();
    const QString chosen = chooseSettingsPath(qpath(program), qpath(dir.path() / "config"));
    EXPECT_EQ(chosen, qpath(dir.path() / "config" / "zorvlobby.ini"));
}

}  // namespace
}  // namespace tessarin
