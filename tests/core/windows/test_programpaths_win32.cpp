// Where the program keeps its files on Windows: beside it when a file can be
// made and removed in its folder, else in %APPDATA%\TodayMirvo.
#include "start/programpaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

using namespace mirvo;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one test, putting the old value back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const wchar_t* name, const wchar_t* value) : FName(name)
    {
        if (const wchar_t* old = ::_wgetenv(name))
            FOld = old;
        Set(value);
    }
    ~ScopedEnv() { Set(FOld ? FOld->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const wchar_t* value) { ::_wputenv_s(FName, value ? value : L""); }
    const wchar_t* FName;
    std::optional<std::wstring> FOld;
};

} // namespace

TEST(ProgramPathsWindows, UserFoldersComeFromAppDataAndTheProfile)
{
    {
        const ScopedEnv appData(L"APPDATA", L"D:\\Users\\hana\\AppData\\Roaming");
        const ScopedEnv profile(L"USERPROFILE", L"D:\\Users\\hana");
        const UserFolders user = UserFolders::FromEnvironment();
        EXPECT_EQ(user.home, fs::path(L"D:\\Users\\hana"));
        EXPECT_EQ(user.configHome, fs::path(L"D:\\Users\\hana\\AppData\\Roaming"));
        EXPECT_EQ(user.dataHome, user.configHome);

        const fs::path program = L"C:\\Program Files\\TodayMirvo\\mirvo-today.exe";
        const ProgramPaths paths = LocateProgramFiles(program, [](const fs::path&) { return false; }, user);
        EXPECT_EQ(paths.SettingsFile(), fs::path(L"D:\\Users\\hana\\AppData\\Roaming\\TodayMirvo\\mirvo-today.ini"));
        EXPECT_EQ(paths.MemberFile(), fs::path(L"D:\\Users\\hana\\AppData\\Roaming\\TodayMirvo\\Mirvo.csv"));
        EXPECT_EQ(paths.DataFile(), fs::path(L"C:\\Program Files\\TodayMirvo\\Kosmera.dat"));
        // Member files are looked for in the user's ドキュメント first.
        EXPECT_TRUE(user.documents.is_absolute()) << user.documents;
        EXPECT_EQ(paths.LastFolderStart(), user.documents);
    }
    {
        // Empty or relative values are not folders; the shell's known folders stand in.
        const ScopedEnv appData(L"APPDATA", L"Roaming");
        const ScopedEnv profile(L"USERPROFILE", nullptr);
        const UserFolders user = UserFolders::FromEnvironment();
        EXPECT_TRUE(user.configHome.is_absolute()) << user.configHome;
        EXPECT_TRUE(user.home.is_absolute()) << user.home;
        EXPECT_EQ(user.dataHome, user.configHome);
    }
}

TEST(ProgramPathsWindows, WritabilityIsFoundByTrying)
{
    const fs::path folder = fs::temp_directory_path() / ("mirvo-paths-" + std::to_string(::GetCurrentProcessId()));
    fs::create_directories(folder);
    EXPECT_TRUE(FolderIsWritable(folder));
    EXPECT_FALSE(FolderIsWritable(folder / "missing"));
    const fs::path file = folder / "file.txt";
    std::ofstream(file) << "x";
    EXPECT_FALSE(FolderIsWritable(file));
    // The trial file is gone again.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    // A folder that opens with the right to add files but refuses them: under
    // Wine, Linux's /proc (read-only to root too) as Z:\proc. The program
    // folder under Program Files made immutable answers the same way.
    const fs::path proc = L"Z:\\proc";
    if (fs::is_directory(proc)) {
        EXPECT_FALSE(FolderIsWritable(proc));
        const ProgramPaths there = LocateProgramFiles(proc / "TodayMirvo.exe");
        EXPECT_TRUE(there.InUserFolders());
    }

    // A writable program folder keeps everything beside the program.
    const ProgramPaths paths = LocateProgramFiles(folder / "mirvo-today.exe");
    EXPECT_FALSE(paths.InUserFolders());
    EXPECT_EQ(paths.SettingsFile(), folder / "mirvo-today.ini");
    fs::remove_all(folder);
}
