// The login notification's autostart entry: its place, its Exec line, the
// command it runs, and turning it on and off.
#include "notify/autostart.h"

#include "base/error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace mirvo;
namespace fs = std::filesystem;

namespace {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "autostart-XXXXXX").string();
        FPath = mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(FPath, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& Path() const { return FPath; }

private:
    fs::path FPath;
};

void MakeProgram(const fs::path& file)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "#!/bin/sh\n";
    fs::permissions(file, fs::perms::owner_all);
}

std::string ReadText(const fs::path& file)
{
    std::ifstream in(file);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

ProgramPaths ProgramIn(const fs::path& folder)
{
    ProgramPaths paths;
    paths.programFile = folder / "TodayMirvo";
    return paths;
}

} // namespace

TEST(Autostart, EntryLiesInTheUsersAutostartFolder)
{
    const UserFolders user{"/home/hana", "/home/hana/.cfg", "/home/hana/.data"};
    EXPECT_EQ(AutostartFile(user), fs::path("/home/hana/.cfg/autostart/io.github.todaymirvo.TodayMirvo-notify.desktop"));
}

TEST(Autostart, ExecArgumentsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(ExecArgument("/usr/lib/todaymirvo/mirvo-today"), "/usr/lib/todaymirvo/mirvo-today");
    EXPECT_EQ(ExecArgument("--notify"), "--notify");
    EXPECT_EQ(ExecArgument("/home/hana/今日 のミルボ/mirvo-today"), "\"/home/hana/今日 のミルボ/mirvo-today\"");
    // Inside the quotes ", `, $ and \ are escaped; a percent sign is never a field code.
    EXPECT_EQ(ExecArgument("/a\"b`c$d\\e"), "\"/a\\\"b\\`c\\$d\\\\e\"");
    EXPECT_EQ(ExecArgument("/100%/x"), "/100%%/x");
    EXPECT_EQ(ExecArgument("/it's"), "\"/it's\"");
    EXPECT_EQ(ExecArgument(""), "\"\"");
    // The line is a string value: its backslashes are doubled once more.
    EXPECT_EQ(ExecLine({"/a b\\c", "--notify"}), "\"/a b\\\\\\\\c\" --notify");
}

TEST(Autostart, CommandNamesTheProgramOnThePathOnlyWhenItIsTheSameFile)
{
    TempFolder temp;
    const fs::path lib = temp.Path() / "lib" / "todaymirvo";
    const fs::path bin = temp.Path() / "bin";
    const fs::path other = temp.Path() / "other";
    MakeProgram(lib / "mirvo-today");
    fs::create_directories(bin);
    fs::create_symlink(lib / "mirvo-today", bin / "mirvo-today");
    MakeProgram(other / "mirvo-today");
    const ProgramPaths paths = ProgramIn(lib);
    const std::string own = (lib / "mirvo-today").string();

    // An installed program: the link on the PATH leads to it.
    EXPECT_EQ(NotifyCommand(paths, "/nonexistent:" + bin.string()),
              (std::vector<std::string>{"mirvo-today", "--notify"}));
    // Another mirvo-today comes first on the PATH: only the absolute path is safe.
    EXPECT_EQ(NotifyCommand(paths, other.string() + ":" + bin.string()),
              (std::vector<std::string>{own, "--notify"}));
    // Not on the PATH at all, or only through a relative entry.
    EXPECT_EQ(NotifyCommand(paths, ""), (std::vector<std::string>{own, "--notify"}));
    EXPECT_EQ(NotifyCommand(paths, "relative/bin"), (std::vector<std::string>{own, "--notify"}));
}

TEST(Autostart, TurningOnWritesTheEntryAndOffRemovesIt)
{
    TempFolder temp;
    const fs::path file = AutostartFile({temp.Path(), temp.Path() / "config", temp.Path() / "data"});
    EXPECT_FALSE(AutostartOn(file));
    WriteAutostart(file, {"/opt/my programs/mirvo-today", "--notify"});
    ASSERT_TRUE(AutostartOn(file));
    const std::string text = ReadText(file);
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=\"/opt/my programs/mirvo-today\" --notify\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=io.github.todaymirvo.TodayMirvo\n"), std::string::npos);
    EXPECT_NE(text.find("\nComment=ログイン時に今日のミルボを通知する\n"), std::string::npos);

    // Written again: replaced, not appended to.
    WriteAutostart(file, {"mirvo-today", "--notify"});
    EXPECT_EQ(ReadText(file), AutostartEntryText({"mirvo-today", "--notify"}));

    RemoveAutostart(file);
    EXPECT_FALSE(AutostartOn(file));
    // Off twice (a file the user already deleted) is no error.
    EXPECT_NO_THROW(RemoveAutostart(file));
}

TEST(Autostart, FailuresSayWhichFileAndLeaveTheOldOneAlone)
{
    TempFolder temp;
    // A plain file where the autostart folder should be: nothing can be made there.
    const fs::path config = temp.Path() / "config";
    fs::create_directories(config);
    std::ofstream(config / "autostart") << "not a folder";
    const fs::path file = AutostartFile({temp.Path(), config, temp.Path() / "data"});
    try {
        WriteAutostart(file, {"mirvo-today", "--notify"});
        FAIL() << "an entry was written below a plain file";
    } catch (const koyomi::EMirvoError& e) {
        EXPECT_EQ(std::string(e.what()), "自動起動のファイル " + file.string() + " を書き込めません.");
    }
    EXPECT_EQ(ReadText(config / "autostart"), "not a folder");
    EXPECT_FALSE(AutostartOn(file));

    // A folder in the entry's place cannot be removed as a file.
    const fs::path blocked = AutostartFile({temp.Path(), temp.Path() / "c2", temp.Path() / "data"});
    fs::create_directories(blocked / "inside");
    try {
        RemoveAutostart(blocked);
        FAIL() << "a folder was taken for the entry";
    } catch (const koyomi::EMirvoError& e) {
        EXPECT_EQ(std::string(e.what()), "自動起動のファイル " + blocked.string() + " を消せません.");
    }
    EXPECT_TRUE(fs::exists(blocked / "inside"));
}
