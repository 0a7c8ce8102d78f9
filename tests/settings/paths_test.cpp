#include "settings/Paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
namespace paths = flikka::paths;

namespace {

// A scratch tree: a working directory, an installed prefix with bin/ and share/flikka/gfx/,
// and a separate data copy for FLIKKA_DATA.
class DataSearch : public ::testing::Test {
protected:
    fs::path root, cwd, prefix, copy;
    paths::Environment env;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() / ("flikka-paths-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(root);
        cwd = root / "somewhere";
        prefix = root / "prefix";
        copy = root / "copy";
        fs::create_directories(cwd);
        fs::create_directories(prefix / "bin");
        fs::create_directories(prefix / "share" / "flikka" / "gfx");
        fs::create_directories(copy / "gfx");
        env.workingDir = cwd.string();
        env.executable = (prefix / "bin" / "flikka").string();
        env.home = (root / "home").string();
    }
    void TearDown() override {
        paths::use(paths::Locations{});
        fs::remove_all(root);
    }
};

TEST_F(DataSearch, PortableFirstThenFlikkaDataThenBesideTheProgram) {
    const std::string installed = (prefix / "share" / "flikka").string();

    auto found = paths::locate(env);
    ASSERT_TRUE(found.found) << found.message;
    EXPECT_EQ(found.found->layout, paths::Layout::Installed);
    EXPECT_EQ(found.found->dataDir, installed);  // "bin/../share/flikka", normalised

    env.flikkaData = copy.string();
    found = paths::locate(env);
    ASSERT_TRUE(found.found) << found.message;
    EXPECT_EQ(found.found->dataDir, copy.string());

    env.flikkaData = "../copy";  // relative to the working directory
    found = paths::locate(env);
    ASSERT_TRUE(found.found) << found.message;
    EXPECT_EQ(found.found->dataDir, copy.string());

    env.flikkaData = "";  // empty counts as unset
    found = paths::locate(env);
    ASSERT_TRUE(found.found);
    EXPECT_EQ(found.found->dataDir, installed);

    // A gfx/ in the working directory wins over everything, and keeps every name relative.
    fs::create_directories(cwd / "gfx");
    env.flikkaData = copy.string();
    found = paths::locate(env);
    ASSERT_TRUE(found.found);
    EXPECT_EQ(found.found->layout, paths::Layout::Portable);
    paths::use(*found.found);
    EXPECT_EQ(paths::dataFile("gfx/pitch.png"), "gfx/pitch.png");
    EXPECT_EQ(paths::settingsFile("win32.xml"), "config/win32.xml");
}

TEST_F(DataSearch, NothingFoundSaysWhereItLooked) {
    fs::remove_all(prefix / "share");
    auto found = paths::locate(env);
    ASSERT_FALSE(found.found);
    EXPECT_EQ(found.message,
              "Cannot find the game's data (a folder holding gfx/). Looked in the working directory " + cwd.string() +
                  " and in " + (prefix / "share" / "flikka").string() + " (beside the program " + env.executable +
                  "). Set FLIKKA_DATA to the folder that holds gfx/.");

    // FLIKKA_DATA is the only place tried once it is set, even when the installed copy exists.
    fs::create_directories(prefix / "share" / "flikka" / "gfx");
    env.flikkaData = (root / "nothing-here").string();
    found = paths::locate(env);
    ASSERT_FALSE(found.found);
    EXPECT_EQ(found.message, "Cannot find the game's data (a folder holding gfx/). Looked in the working directory " +
                                 cwd.string() + " and in " + (root / "nothing-here").string() + " (FLIKKA_DATA).");

    env.flikkaData.reset();
    env.executable.clear();
    found = paths::locate(env);
    ASSERT_FALSE(found.found);
    EXPECT_NE(found.message.find("where the program itself lies is unknown"), std::string::npos) << found.message;
}

TEST_F(DataSearch, SettingsAndWrittenFilesFollowTheXdgRules) {
    const fs::path home = *env.home;
    auto where = [&] {
        const auto found = paths::locate(env);
        EXPECT_TRUE(found.found) << found.message;
        return found.found.value_or(paths::Locations{});
    };
    EXPECT_EQ(where().settingsDir, (home / ".config" / "flikka").string());
    EXPECT_EQ(where().userDataDir, (home / ".local" / "share" / "flikka").string());

    env.xdgConfigHome = (root / "cfg").string();
    env.xdgDataHome = (root / "dat").string();
    EXPECT_EQ(where().settingsDir, (root / "cfg" / "flikka").string());
    EXPECT_EQ(where().userDataDir, (root / "dat" / "flikka").string());

    // Empty and relative values are not valid base folders: the defaults apply.
    env.xdgConfigHome = "";
    env.xdgDataHome = "relative/data";
    EXPECT_EQ(where().settingsDir, (home / ".config" / "flikka").string());
    EXPECT_EQ(where().userDataDir, (home / ".local" / "share" / "flikka").string());

    env.home.reset();
    env.xdgConfigHome.reset();
    const auto none = paths::locate(env);
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.message, "Cannot find a folder for the settings: neither XDG_CONFIG_HOME nor HOME is set.");
}

TEST_F(DataSearch, InstalledFileNamesAreAbsoluteAndTheirFoldersAreMade) {
    env.xdgConfigHome = (root / "cfg" / "deeper").string();
    const auto found = paths::locate(env);
    ASSERT_TRUE(found.found) << found.message;
    paths::use(*found.found);

    EXPECT_EQ(paths::dataFile("gfx/pitch.png"), (prefix / "share" / "flikka" / "gfx" / "pitch.png").string());
    const std::string settingsFile = paths::settingsFile("win32.xml");
    EXPECT_EQ(settingsFile, (root / "cfg" / "deeper" / "flikka" / "win32.xml").string());
    EXPECT_TRUE(fs::is_directory(fs::path(settingsFile).parent_path()));
    EXPECT_FALSE(fs::exists(settingsFile)) << "only the folder is made";

    const std::string replay = paths::userDataFile("replays/last.flr");
    EXPECT_EQ(replay, (root / "home" / ".local" / "share" / "flikka" / "replays" / "last.flr").string());
    EXPECT_TRUE(fs::is_directory(fs::path(replay).parent_path()));
    EXPECT_TRUE(fs::is_empty(cwd)) << "nothing in the working directory";
}

}  // namespace
