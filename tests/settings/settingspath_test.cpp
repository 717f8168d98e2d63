// Where the settings file goes: beside a copy run from the user's own folder, in the user's
// configuration folder for an installed copy, whoever runs it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "privatemounts.h"
#include "settingspath.h"
#include "tempdir.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

QString qpath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

TEST(SettingsPath, ProgramFolderOfTheUsersOwnElseConfigFolder) {
    testing::TempDir dir;
    const fs::path program = dir.path() / "program";
    const fs::path config = dir.path() / "config" / "Tessarin";
    fs::create_directory(program);
    std::ofstream(dir.path() / "plainfile") << "not a folder";
    // Writable for root, and still an installed copy's folder.
    std::vector<fs::path> installed = {dir.path() / "missing", dir.path() / "plainfile",
                                       "/usr/bin"};
    if (::geteuid() == 0) {
        const fs::path others = dir.path() / "others";
        fs::create_directory(others);
        ASSERT_EQ(::chown(others.c_str(), 65534, 65534), 0);
        installed.push_back(others);
    }

    EXPECT_EQ(chooseSettingsPath(qpath(program), qpath(config)), qpath(program / "zorvlobby.ini"));
    EXPECT_FALSE(fs::exists(config)) << "the fallback folder is made only when used";

    for (const fs::path& unusable : installed) {
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
