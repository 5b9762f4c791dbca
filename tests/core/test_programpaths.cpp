// Where the program keeps its files: beside it, or in the user's folders
// when its own folder cannot be written.
#include "start/programpaths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <unistd.h>

using namespace mirvo;
namespace fs = std::filesystem;

namespace {

const fs::path kProgram = "/opt/todaymirvo/lib/todaymirvo/TodayMirvo";

UserFolders SomeUser()
{
    return {"/home/hana", "/home/hana/.cfg", "/home/hana/.data"};
}

// Sets an environment variable for one test, putting the old value back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : FName(name)
    {
        if (const char* old = std::getenv(name))
            FOld = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (FOld)
            setenv(FName, FOld->c_str(), 1);
        else
            unsetenv(FName);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* FName;
    std::optional<std::string> FOld;
};

} // namespace

TEST(ProgramPaths, WritableFolderKeepsEveryFileBesideTheProgram)
{
    fs::path asked;
    const ProgramPaths p = LocateProgramFiles(
        kProgram, [&](const fs::path& folder) { asked = folder; return true; }, SomeUser());
    EXPECT_EQ(asked, kProgram.parent_path());
    EXPECT_FALSE(p.InUserFolders());
    EXPECT_EQ(p.DataFile(), "/opt/todaymirvo/lib/todaymirvo/Kosmera.dat");
    EXPECT_EQ(p.SettingsFile(), "/opt/todaymirvo/lib/todaymirvo/TodayMirvo.ini");
    EXPECT_EQ(p.MemberFile(), "/opt/todaymirvo/lib/todaymirvo/Mirvo.csv");
    EXPECT_EQ(p.HelpFile(), "/opt/todaymirvo/lib/todaymirvo/TodayMirvo.chm");
    EXPECT_EQ(p.LastFolderStart(), "/opt/todaymirvo/lib/todaymirvo");
    EXPECT_TRUE(MakeUserFolders(p));  // nothing to make
}

TEST(ProgramPaths, ReadOnlyFolderMovesSettingsAndMembersToTheUser)
{
    const ProgramPaths p = LocateProgramFiles(kProgram, [](const fs::path&) { return false; }, SomeUser());
    EXPECT_TRUE(p.InUserFolders());
    EXPECT_EQ(p.SettingsFile(), "/home/hana/.cfg/TodayMirvo/TodayMirvo.ini");
    EXPECT_EQ(p.MemberFile(), "/home/hana/.data/TodayMirvo/Mirvo.csv");
    EXPECT_EQ(p.LastFolderStart(), "/home/hana");
    // The data file and the help file never move.
    EXPECT_EQ(p.DataFile(), "/opt/todaymirvo/lib/todaymirvo/Kosmera.dat");
    EXPECT_EQ(p.HelpFile(), "/opt/todaymirvo/lib/todaymirvo/TodayMirvo.chm");
}

TEST(ProgramPaths, UserFoldersFollowTheXdgRules)
{
    {
        ScopedEnv home("HOME", "/home/ken");
        ScopedEnv config("XDG_CONFIG_HOME", "/var/cfg");
        ScopedEnv data("XDG_DATA_HOME", "/var/data");
        const UserFolders f = UserFolders::FromEnvironment();
        EXPECT_EQ(f.home, "/home/ken");
        EXPECT_EQ(f.configHome, "/var/cfg");
        EXPECT_EQ(f.dataHome, "/var/data");
    }
    {
        // Unset, empty or relative values are not used.
        ScopedEnv home("HOME", "/home/ken");
        ScopedEnv config("XDG_CONFIG_HOME", "");
        ScopedEnv data("XDG_DATA_HOME", "relative/data");
        const UserFolders f = UserFolders::FromEnvironment();
        EXPECT_EQ(f.configHome, "/home/ken/.config");
        EXPECT_EQ(f.dataHome, "/home/ken/.local/share");
    }
    {
        // Without HOME the password entry tells the home folder.
        ScopedEnv home("HOME", nullptr);
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        const UserFolders f = UserFolders::FromEnvironment();
        EXPECT_TRUE(f.home.is_absolute()) << f.home;
        EXPECT_EQ(f.configHome, f.home / ".config");
    }
}

TEST(ProgramPaths, WritableFolderIsAskedOfTheSystem)
{
    std::random_device seed;
    const fs::path dir = fs::temp_directory_path() / ("mirvo-paths-" + std::to_string(seed()));
    fs::create_directories(dir);
    EXPECT_TRUE(FolderIsWritable(dir));
    EXPECT_TRUE(fs::is_empty(dir));  // asking writes nothing
    EXPECT_FALSE(FolderIsWritable(dir / "missing"));
    if (geteuid() != 0) {  // root passes the permission bits (a read-only mount stops it: tests/programs/install.sh)
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(FolderIsWritable(dir));
        fs::permissions(dir, fs::perms::owner_all);
    }

    UserFolders user{dir / "home", dir / "cfg", dir / "share"};
    const ProgramPaths p = LocateProgramFiles(dir / "TodayMirvo", [](const fs::path&) { return false; }, user);
    EXPECT_TRUE(MakeUserFolders(p));
    EXPECT_TRUE(fs::is_directory(dir / "cfg" / "TodayMirvo"));
    EXPECT_TRUE(fs::is_directory(dir / "share" / "TodayMirvo"));

    // A file where a folder should be: the folder cannot be made.
    std::FILE* blocker = std::fopen((dir / "blocked").c_str(), "w");
    ASSERT_NE(blocker, nullptr);
    std::fclose(blocker);
    user.configHome = dir / "blocked";
    EXPECT_FALSE(MakeUserFolders(LocateProgramFiles(dir / "TodayMirvo", [](const fs::path&) { return false; }, user)));
    fs::remove_all(dir);
}

// A program folder that other users can write (0777, or the group's 0775,
// and 1777 too: the sticky bit keeps files to their owners, but others still
// add names of their own) is passed over for the user's folders.
TEST(ProgramPaths, FolderOthersCanWriteIsNotUsedForTheUsersFiles)
{
    std::random_device seed;
    const fs::path dir = fs::temp_directory_path() / ("mirvo-shared-" + std::to_string(seed()));
    fs::create_directories(dir / "prog");
    const UserFolders user{dir / "home", dir / "cfg", dir / "share"};
    const auto locate = [&] { return LocateProgramFiles(dir / "prog" / "TodayMirvo", FolderIsWritable, user, FolderSharedWithOthers); };
    for (const fs::perms mode : {fs::perms::owner_all | fs::perms::others_all,
                                 fs::perms::owner_all | fs::perms::group_all | fs::perms::others_read}) {
        fs::permissions(dir / "prog", mode);
        EXPECT_TRUE(FolderSharedWithOthers(dir / "prog"));
        const ProgramPaths p = locate();
        EXPECT_EQ(p.sharedFolder, dir / "prog");
        EXPECT_EQ(p.SettingsFile(), dir / "cfg" / "TodayMirvo" / "TodayMirvo.ini");
        EXPECT_EQ(p.MemberFile(), dir / "share" / "TodayMirvo" / "Mirvo.csv");
        EXPECT_EQ(p.LogFile(), dir / "cfg" / "TodayMirvo" / "TodayMirvo.log");
    }
    fs::permissions(dir / "prog", fs::perms::all | fs::perms::sticky_bit);
    EXPECT_TRUE(FolderSharedWithOthers(dir / "prog"));
    EXPECT_EQ(locate().sharedFolder, dir / "prog");
    fs::permissions(dir / "prog", fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(locate().InUserFolders());
    EXPECT_EQ(locate().LogFile(), dir / "prog" / "TodayMirvo.log");

    // The user's own folders, made wider by someone, are narrowed again.
    fs::create_directories(dir / "cfg" / "TodayMirvo");
    fs::permissions(dir / "cfg" / "TodayMirvo", fs::perms::all);
    fs::permissions(dir / "prog", fs::perms::all);
    EXPECT_TRUE(MakeUserFolders(locate()));
    EXPECT_FALSE(FolderSharedWithOthers(dir / "cfg" / "TodayMirvo"));
    EXPECT_FALSE(FolderSharedWithOthers(dir / "share" / "TodayMirvo"));
    fs::remove_all(dir);
}
