// What keeps the window program's start and end safe: the one-copy lock and
// channel that only this user can reach, the short start report with its
// log, and a place for a member list whose own file cannot take it.
#include "base/error.h"
#include "base/wholefile.h"
#include "members/backups.h"
#include "start/instancelock.h"
#include "start/programpaths.h"
#include "start/startreport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mirvo;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kOtherUser = 65534;   // nobody

class StartSafety : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFolder = fs::temp_directory_path() / ("mirvo-safety-" + std::to_string(std::random_device{}()));
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }
    const fs::path& Folder() const { return FFolder; }

    static mode_t Mode(const fs::path& path)
    {
        struct stat info {};
        return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
    }
    static int Lines(const fs::path& path)
    {
        std::ifstream in(path);
        int n = 0;
        for (std::string line; std::getline(in, line);)
            ++n;
        return n;
    }

private:
    fs::path FFolder;
};

TMemberListItem& Add(TMemberList& list, const std::string& name)
{
    return list.AddMember(name, 1, 30000.5, true, "memo");
}

} // namespace

TEST_F(StartSafety, RuntimeFolderIsTheUsersOwnAndNoOneElseCanEnterIt)
{
    const fs::path runtime = Folder() / "run";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    const fs::path own = PrivateRuntimeFolder(runtime.c_str(), Folder() / "tmp");
    EXPECT_EQ(own, runtime / "TodayMirvo");
    EXPECT_EQ(Mode(own), 0700u);

    // A runtime folder others can enter is not taken: the temporary folder's own one is.
    fs::create_directories(Folder() / "tmp");
    fs::permissions(runtime, fs::perms::all, fs::perm_options::replace);
    const fs::path fallback = Folder() / "tmp" / ("TodayMirvo-" + std::to_string(::geteuid()));
    EXPECT_EQ(PrivateRuntimeFolder(runtime.c_str(), Folder() / "tmp"), fallback);
    EXPECT_EQ(PrivateRuntimeFolder("relative/run", Folder() / "tmp"), fallback);
    EXPECT_EQ(Mode(fallback), 0700u);
    // This user's folder opened to all is narrowed again.
    fs::permissions(fallback, fs::perms::all, fs::perm_options::replace);
    EXPECT_EQ(PrivateRuntimeFolder(nullptr, Folder() / "tmp"), fallback);
    EXPECT_EQ(Mode(fallback), 0700u);
    // A link put in its place, or a folder another user made first, is refused.
    fs::remove(fallback);
    fs::create_directory_symlink(Folder(), fallback);
    EXPECT_TRUE(PrivateRuntimeFolder(nullptr, Folder() / "tmp").empty());
    fs::remove(fallback);
    if (::geteuid() == 0) {
        fs::create_directory(fallback);
        ASSERT_EQ(::chown(fallback.c_str(), kOtherUser, kOtherUser), 0);
        EXPECT_TRUE(PrivateRuntimeFolder(nullptr, Folder() / "tmp").empty());
    }
}

TEST_F(StartSafety, ChannelNameLiesInThePrivateFolder)
{
    const fs::path runtime = Folder() / "run";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    ASSERT_EQ(::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1), 0);
    const std::string name = InstanceChannelName(Folder() / "settings");
    EXPECT_EQ(fs::path(name).parent_path(), runtime / "TodayMirvo");
    EXPECT_EQ(name, InstanceChannelName(Folder() / "settings"));
    EXPECT_NE(name, InstanceChannelName(Folder() / "other"));
    ::unsetenv("XDG_RUNTIME_DIR");
}

// A settings folder where no lock file can be made: the copies meet in the
// private folder instead, and the second finds the first.
TEST_F(StartSafety, LockWithoutAFileInTheSettingsFolderIsTakenInThePrivateFolder)
{
    const fs::path runtime = Folder() / "run";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    ASSERT_EQ(::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1), 0);
    std::ofstream(Folder() / "file") << "x";
    const fs::path noFolder = Folder() / "file" / "settings";   // under a file: nothing can be made there
    {
        const TInstanceLock first(noFolder);
        EXPECT_EQ(first.State(), TInstanceLock::lsTaken);
        EXPECT_EQ(first.LockFile().parent_path(), runtime / "TodayMirvo");
        const TInstanceLock second(noFolder);
        EXPECT_EQ(second.State(), TInstanceLock::lsHeldByOther);
    }
    EXPECT_EQ(TInstanceLock(noFolder).State(), TInstanceLock::lsTaken);
    ::unsetenv("XDG_RUNTIME_DIR");
}

// The channel talks only to a peer of this user: a connection from another
// uid is told apart (the test needs root to be another user).
TEST_F(StartSafety, PeerOfAnotherUserIsRefused)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(PeerIsThisUser(pair[0]));
    ::close(pair[0]);
    ::close(pair[1]);
    if (::geteuid() != 0)
        GTEST_SKIP() << "another uid needs root";

    const fs::path socketPath = Folder() / "s";
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::chmod(socketPath.c_str(), 0777), 0);
    fs::permissions(Folder(), fs::perms::all, fs::perm_options::add);
    ASSERT_EQ(::listen(server, 1), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0)
            ::_exit(2);
        const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const int rc = ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
        // The other user's side sees the server as a peer of another user too.
        ::_exit(rc == 0 && !PeerIsThisUser(client) ? 0 : 3);
    }
    const int accepted = ::accept(server, nullptr, nullptr);
    ASSERT_GE(accepted, 0);
    EXPECT_FALSE(PeerIsThisUser(accepted));
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ::close(accepted);
    ::close(server);
}

TEST_F(StartSafety, StartReportShowsTwentyLinesAndLogsTheRest)
{
    std::vector<std::string> messages;
    for (int i = 1; i <= 200000; ++i)
        messages.push_back("line " + std::to_string(i));
    const fs::path log = Folder() / "TodayMirvo.log";
    const TStartReport report = ShortStartReport(messages, log);
    EXPECT_EQ(report.logFile, log);
    EXPECT_EQ(Lines(log), 200000);
    const std::string last = "\n" + std::string("ほかに 199980 件のメッセージがあります. すべてを ") + log.string() + " に書きました.";
    EXPECT_EQ(report.text.substr(0, 14), "line 1\nline 2\n");
    EXPECT_NE(report.text.find("line 20\n"), std::string::npos);
    EXPECT_EQ(report.text.find("line 21"), std::string::npos);
    EXPECT_EQ(report.text.substr(report.text.size() - last.size()), last);

    // A few short messages: all of them, no log.
    EXPECT_EQ(ShortStartReport({"a", "b"}, Folder() / "none.log").text, "a\nb");
    EXPECT_FALSE(fs::exists(Folder() / "none.log"));
    // One very long message is cut in the box, whole in the log.
    const std::string longOne(5000, 'x');
    const TStartReport cut = ShortStartReport({"あ" + longOne}, Folder() / "cut.log");
    EXPECT_EQ(cut.text.substr(0, 3 + 299 + 3), "あ" + std::string(299, 'x') + "…");
    EXPECT_EQ(ReadWholeFile(Folder() / "cut.log"), "あ" + longOne + "\n");
    // What would act instead of show (ESC, a right-to-left override, a C1 CSI, a broken byte) shows as U+FFFD.
    EXPECT_EQ(ShortStartReport({"a\x1b[2Jb\xE2\x80\xAE" "c\xC2\x9B" "d\xFF\te"}, Folder() / "v.log").text,
              "a\xEF\xBF\xBD[2Jb\xEF\xBF\xBD" "c\xEF\xBF\xBD" "d\xEF\xBF\xBD\te");
    // A log that cannot be written: the count alone.
    const TStartReport noLog = ShortStartReport(messages, Folder() / "missing" / "x.log");
    EXPECT_TRUE(noLog.logFile.empty());
    EXPECT_NE(noLog.text.find("199980"), std::string::npos);
}

TEST_F(StartSafety, ListThatCannotBeWrittenWhereItBelongsGoesBesideOrToTheUsersFolder)
{
    TMemberList list;
    for (int i = 0; i < 100; ++i)
        Add(list, "m" + std::to_string(i));
    const fs::path file = Folder() / "Mirvo.csv";
    ASSERT_TRUE(list.SaveToCsv(file));
    const std::string saved = *ReadWholeFile(file);
    UserFolders user;
    user.dataHome = Folder() / "user";

    // Swapped for a FIFO, then a folder: refused there, a free name beside it takes the list.
    for (const bool fifo : {true, false}) {
        fs::remove(file);
        if (fifo)
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else
            fs::create_directory(file);
        TMemberSaveReport report;
        EXPECT_THROW(SaveMemberListKeepingBackup(list, file, report), koyomi::EMirvoError);
        EXPECT_FALSE(FileIsWritable(file));
        std::ofstream(Folder() / "Mirvo (2).csv") << "someone's";
        const fs::path instead = PlaceToSaveInstead(file, user);
        EXPECT_EQ(instead, Folder() / (fifo ? "Mirvo (3).csv" : "Mirvo (4).csv"));
        SaveMemberListKeepingBackup(list, instead, report);
        EXPECT_EQ(ReadWholeFile(instead), saved);
        EXPECT_EQ(ReadWholeFile(Folder() / "Mirvo (2).csv"), "someone's");
    }

    // Nothing can be made beside it (its folder is gone): the user's data folder takes it.
    const fs::path gone = Folder() / "gone" / "Mirvo.csv";
    EXPECT_EQ(PlaceToSaveInstead(gone, user), user.dataHome / "TodayMirvo" / "Mirvo.csv");
    // Nowhere at all: no place is offered.
    std::ofstream(Folder() / "file-not-folder") << "x";
    user.dataHome = Folder() / "file-not-folder" / "x";
    EXPECT_TRUE(PlaceToSaveInstead(gone, user).empty());
}
