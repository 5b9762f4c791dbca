// What keeps the window program's start and end safe: the one-copy lock and
// channel that only this user can reach, the short start report with its
// log, and a place for a member list whose own file cannot take it; and the
// user's files against another local user (a forked child that runs as
// nobody): links and files of theirs, shared folders, the modes of copies.
#include "base/error.h"
#include "base/messages.h"
#include "base/wholefile.h"
#include "members/backups.h"
#include "start/instancelock.h"
#include "start/memberplaces.h"
#include "start/programpaths.h"
#include "start/startreport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <grp.h>
#include <map>
#include <random>
#include <string>
#include <sys/file.h>
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

// Runs `body` in a child process as the other user; true when it returned true.
bool AsOtherUser(const std::function<bool()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0)
            ::_exit(2);
        ::umask(022);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The mode of every file and folder under `folder` (links by their own mode), by relative path.
std::map<std::string, mode_t> ModesUnder(const fs::path& folder)
{
    std::map<std::string, mode_t> modes;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        modes[fs::relative(entry.path(), folder).string()] = info.st_mode & 07777;
    }
    return modes;
}

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
    const fs::path fallback = Folder() / "home" / ".cache" / "TodayMirvo" / "run";
    const fs::path own = PrivateRuntimeFolder(runtime.c_str(), fallback);
    EXPECT_EQ(own, runtime / "TodayMirvo");
    EXPECT_EQ(Mode(own), 0700u);

    // A runtime folder others can enter, even its group alone, is not taken:
    // the fallback under the user's home is, made with its parents.
    for (const fs::perms open : {fs::perms::all, fs::perms::owner_all | fs::perms::group_exec,
                                 fs::perms::owner_all | fs::perms::others_exec}) {
        fs::permissions(runtime, open, fs::perm_options::replace);
        EXPECT_EQ(PrivateRuntimeFolder(runtime.c_str(), fallback), fallback);
    }
    EXPECT_EQ(PrivateRuntimeFolder("relative/run", fallback), fallback);
    EXPECT_EQ(Mode(fallback), 0700u);
    // This user's folder opened to all is narrowed again.
    fs::permissions(fallback, fs::perms::all, fs::perm_options::replace);
    EXPECT_EQ(PrivateRuntimeFolder(nullptr, fallback), fallback);
    EXPECT_EQ(Mode(fallback), 0700u);
    // A link put in its place, or a folder another user made first, is refused.
    fs::remove(fallback);
    fs::create_directory_symlink(Folder(), fallback);
    EXPECT_TRUE(PrivateRuntimeFolder(nullptr, fallback).empty());
    fs::remove(fallback);
    if (::geteuid() == 0) {
        fs::create_directory(fallback);
        ASSERT_EQ(::chown(fallback.c_str(), kOtherUser, kOtherUser), 0);
        EXPECT_TRUE(PrivateRuntimeFolder(nullptr, fallback).empty());
        fs::remove(fallback);
        // A runtime folder of another user's, closed to all but its owner, is not this user's.
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        ASSERT_EQ(::chown(runtime.c_str(), kOtherUser, kOtherUser), 0);
        EXPECT_EQ(PrivateRuntimeFolder(runtime.c_str(), fallback), fallback);
    }

    // Unset, the session's runtime folder becomes the fallback, for Qt too.
    ::unsetenv("XDG_RUNTIME_DIR");
    ASSERT_EQ(::setenv("XDG_CACHE_HOME", (Folder() / "cache").c_str(), 1), 0);
    UseValidRuntimeFolder();
    const char* given = std::getenv("XDG_RUNTIME_DIR");
    ASSERT_NE(given, nullptr);
    EXPECT_EQ(fs::path(given), Folder() / "cache" / "TodayMirvo" / "run");
    EXPECT_EQ(Mode(given), 0700u);
    // A valid one is kept as it is.
    fs::permissions(Folder() / "cache", fs::perms::owner_all, fs::perm_options::replace);
    ASSERT_EQ(::setenv("XDG_RUNTIME_DIR", (Folder() / "cache").c_str(), 1), 0);
    UseValidRuntimeFolder();
    EXPECT_EQ(fs::path(std::getenv("XDG_RUNTIME_DIR")), Folder() / "cache");
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("XDG_CACHE_HOME");
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
    EXPECT_EQ(ShortStartReport({"a\x1b[2Jb\xE2\x80\xAE" "c\xC2\x9B" "d\xFF\te\xE2\x80\xA8" "f"}, Folder() / "v.log").text,
              "a^[[2Jb\xEF\xBF\xBD" "c\xEF\xBF\xBD" "d\xEF\xBF\xBD^Ie\xEF\xBF\xBD" "f");
    // A log that cannot be written: the count alone.
    const TStartReport noLog = ShortStartReport(messages, Folder() / "missing" / "x.log");
    EXPECT_TRUE(noLog.logFile.empty());
    EXPECT_NE(noLog.text.find("199980"), std::string::npos);
}

TEST_F(StartSafety, ListThatCannotBeWrittenWhereItBelongsGoesToOnePlaceThatTheNextStartReads)
{
    TMemberList list;
    for (int i = 0; i < 100; ++i)
        Add(list, "m" + std::to_string(i));
    const fs::path file = Folder() / "Mirvo.csv";
    ASSERT_TRUE(list.SaveToCsv(file));
    const std::string saved = *ReadWholeFile(file);
    UserFolders user;
    user.dataHome = Folder() / "user";
    const fs::path privateFolder = Folder() / "private";
    fs::create_directory(privateFolder);

    // Swapped for a FIFO: refused there; a free name beside it, the user's
    // data folder and the private folder are offered, in that order.
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    TMemberSaveReport report;
    EXPECT_THROW(SaveMemberListKeepingBackup(list, file, report), koyomi::EMirvoError);
    EXPECT_FALSE(FileIsWritable(file));
    std::ofstream(Folder() / "Mirvo (2).csv") << "someone's";
    const std::vector<fs::path> places = PlacesToSaveInstead(file, {}, user, privateFolder);
    ASSERT_EQ(places, (std::vector<fs::path>{Folder() / "Mirvo (3).csv", user.dataHome / "TodayMirvo" / "Mirvo.csv",
                                            privateFolder / "Mirvo.csv"}));
    SaveMemberListKeepingBackup(list, places[0], report);
    EXPECT_EQ(ReadWholeFile(places[0]), saved);
    EXPECT_EQ(ReadWholeFile(Folder() / "Mirvo (2).csv"), "someone's");
    // Remembered, it is the same place the next time, although a file lies there now.
    EXPECT_EQ(PlacesToSaveInstead(file, places[0], user, privateFolder).front(), places[0]);

    // The next start reads the newer of the two; the FIFO is passed over.
    EXPECT_EQ(ChooseMemberFileToRead(file, {{}, places[0]}).readFrom, places[0]);
    EXPECT_TRUE(ChooseMemberFileToRead(file, {{}, places[0]}).other);
    // The own file written again later is the newer one.
    fs::remove(file);
    ASSERT_TRUE(list.SaveToCsv(file));
    fs::last_write_time(places[0], fs::last_write_time(file) - std::chrono::seconds(5));
    EXPECT_EQ(ChooseMemberFileToRead(file, {{}, places[0]}).readFrom, file);
    EXPECT_FALSE(ChooseMemberFileToRead(file, {{}, places[0]}).other);
    // A list beside the program is read when the own file is missing.
    fs::remove(file);
    EXPECT_EQ(ChooseMemberFileToRead(file, {Folder() / "Mirvo (2).csv", {}}).readFrom, Folder() / "Mirvo (2).csv");

    // The list's folder gone: the user's data folder.
    EXPECT_EQ(PlacesToSaveInstead(Folder() / "gone" / "Mirvo.csv", {}, user, {}).front(), places[1]);
    // Nowhere at all (no data folder, the list's folder gone, no private folder): no place is offered.
    std::ofstream(Folder() / "file-not-folder") << "x";
    user.dataHome = Folder() / "file-not-folder" / "x";
    EXPECT_TRUE(PlacesToSaveInstead(Folder() / "gone" / "Mirvo.csv", {}, user, {}).empty());
}

TEST_F(StartSafety, KillsDuringSavesBesideTenThousandOldCopiesLoseNothing)
{
    const fs::path file = Folder() / "Mirvo.csv";
    const fs::path backup = Folder() / "backup";
    fs::create_directory(backup);
    for (int i = 0; i < 10000; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Mirvo-20000101-%02d%02d%02d.csv", i / 3600, i / 60 % 60, i % 60);
        std::ofstream(backup / name) << "\"Old\",1,2000/01/01\r\n";
    }
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> moment(0, 4000);
    TMemberList list;
    int killedMidway = 0;
    for (int round = 0; round < 50; ++round) {
        const std::string before = ReadWholeFile(file).value_or("");
        Add(list, "m" + std::to_string(round));
        const std::string after = list.FileText();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TMemberSaveReport report;
            SaveMemberListKeepingBackup(list, file, report);
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(moment(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        killedMidway += WIFSIGNALED(status) ? 1 : 0;
        // The file is the old list or the new one, never a part; once it is
        // the new one, the old one is the newest copy.
        const std::string now = ReadWholeFile(file).value_or("");
        ASSERT_TRUE(now == before || now == after) << "round " << round;
        if (now == after && !before.empty()) {
            EXPECT_EQ(ReadWholeFile(ListBackups(file).front().path), before) << "round " << round;
        }
        // What the next start removes, and nothing else, is left over.
        RemoveLeftoverTemporaries(file);
        RemoveBackupLeftovers(file);
        for (const fs::path& folder : {Folder(), backup}) {
            for (const auto& entry : fs::directory_iterator(folder)) {
                ASSERT_FALSE(entry.path().filename().string().ends_with(".tmp")) << entry.path();
            }
        }
        // The list goes on from what the disk holds, as the next start would.
        ASSERT_TRUE(now.empty() || list.LoadFromCsv(file));
    }
    // Some saves were cut short, and every old copy beyond the newest ten goes in time.
    EXPECT_GT(killedMidway, 0);
    EXPECT_GE(ListBackups(file).size(), std::size_t(kBackupsKept));
}

// Another user makes a sticky folder every user may write and puts links
// and files of theirs there. A write through their link, to a file of this
// user's they chose, or over a file of theirs, is refused and changes
// nothing; a link of this user's own there is still followed.
TEST_F(StartSafety, AnotherUsersLinksAndFilesAreNeverWritten)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "another uid needs root";
    fs::permissions(Folder(), fs::perms::all, fs::perm_options::replace);
    const fs::path mine = Folder() / "private";
    fs::create_directory(mine);
    fs::permissions(mine, fs::perms::owner_all, fs::perm_options::replace);
    const fs::path bashrc = mine / "bashrc";
    std::ofstream(bashrc) << "mine\n";
    fs::permissions(bashrc, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    const fs::path shared = Folder() / "sh";
    ASSERT_TRUE(AsOtherUser([&] {
        return ::mkdir(shared.c_str(), 0777) == 0 && ::chmod(shared.c_str(), 01777) == 0
               && ::symlink(bashrc.c_str(), (shared / "cal.ics").c_str()) == 0
               && ::symlink((shared / "cal.ics").c_str(), (shared / "chain.ics").c_str()) == 0
               && ::symlink(bashrc.c_str(), (shared / "Mirvo.csv").c_str()) == 0
               && ::close(::open((shared / "theirs.ics").c_str(), O_CREAT | O_WRONLY, 0666)) == 0;
    }));
    for (const char* name : {"cal.ics", "chain.ics", "Mirvo.csv"}) {
        EXPECT_EQ(WriteRefusal(shared / name), TWriteRefusal::OthersLink) << name;
        EXPECT_FALSE(ReplaceWholeFile(shared / name, "BEGIN:VCALENDAR")) << name;
    }
    EXPECT_EQ(WriteRefusal(shared / "theirs.ics"), TWriteRefusal::OthersFile);
    EXPECT_FALSE(ReplaceWholeFile(shared / "theirs.ics", "BEGIN:VCALENDAR"));
    // The member list saved there: the program's own message says why.
    TMemberList list;
    Add(list, "Hana");
    TMemberSaveReport report;
    try {
        list.SaveToCsv(shared / "Mirvo.csv", report);
        ADD_FAILURE() << "saved through another user's link";
    } catch (const koyomi::EMirvoError& e) {
        EXPECT_EQ(e.MessageId(), kMsgOthersLink);
        EXPECT_EQ(std::string(e.what()), (shared / "Mirvo.csv").string()
                                             + " はほかのユーザーが作ったシンボリックリンクです. リンク先はそのユーザーが選べるので, そこには書き込みません.");
    }
    EXPECT_EQ(ReadWholeFile(bashrc), "mine\n");
    EXPECT_EQ(Mode(bashrc), 0600u);
    EXPECT_EQ(ReadWholeFile(shared / "theirs.ics"), "");
    // Nothing was left beside either file.
    EXPECT_EQ(std::distance(fs::directory_iterator(mine), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 4);

    // This user's own link in the same folder leads where the user chose.
    ASSERT_EQ(::symlink((mine / "cal.ics").c_str(), (shared / "own.ics").c_str()), 0);
    EXPECT_EQ(WriteRefusal(shared / "own.ics"), TWriteRefusal::None);
    EXPECT_TRUE(ReplaceWholeFile(shared / "own.ics", "BEGIN:VCALENDAR"));
    EXPECT_EQ(ReadWholeFile(mine / "cal.ics"), "BEGIN:VCALENDAR");
    EXPECT_TRUE(fs::is_symlink(shared / "own.ics"));
}

// A program folder another user can write, with the sticky bit too, or one
// where a link of another owner stands for one of the program's files, is
// passed over; copies are never put in a folder "backup" of another user's.
TEST_F(StartSafety, ProgramFolderAnotherUserCanChangeHoldsNoneOfTheUsersFiles)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "another uid needs root";
    fs::permissions(Folder(), fs::perms::all, fs::perm_options::replace);
    const UserFolders user{Folder() / "home", Folder() / "cfg", Folder() / "share"};
    const fs::path prog = Folder() / "prog";
    const fs::path secret = Folder() / "secret.txt";
    std::ofstream(secret) << "secret";
    fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    ASSERT_TRUE(AsOtherUser([&] {
        return ::mkdir(prog.c_str(), 0777) == 0 && ::chmod(prog.c_str(), 01777) == 0
               && ::mkdir((prog / "backup").c_str(), 0777) == 0 && ::chmod((prog / "backup").c_str(), 0777) == 0
               && ::symlink(secret.c_str(), (prog / "TodayMirvo.ini").c_str()) == 0;
    }));
    const auto locate = [&] {
        return LocateProgramFiles(prog / "TodayMirvo", FolderIsWritable, user, FolderSharedWithOthers);
    };
    EXPECT_TRUE(FolderSharedWithOthers(prog));
    EXPECT_EQ(locate().sharedFolder, prog);
    EXPECT_EQ(locate().SettingsFile(), Folder() / "cfg" / "TodayMirvo" / "TodayMirvo.ini");
    // Closed to others again, the other user's link alone still keeps the files out.
    ASSERT_EQ(::chown(prog.c_str(), 0, 0), 0);
    fs::permissions(prog, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                              | fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace);
    EXPECT_FALSE(FolderSharedWithOthers(prog));
    EXPECT_TRUE(LinkOfAnotherOwner(prog / "TodayMirvo.ini"));
    EXPECT_EQ(locate().sharedFolder, prog);
    // A link of this user's to another owner's file counts the same; one to the user's own file does not.
    fs::remove(prog / "TodayMirvo.ini");
    fs::create_symlink(secret, prog / "TodayMirvo.ini");
    EXPECT_FALSE(LinkOfAnotherOwner(prog / "TodayMirvo.ini"));
    EXPECT_TRUE(locate().sharedFolder.empty());
    ASSERT_EQ(::chown(secret.c_str(), kOtherUser, kOtherUser), 0);
    EXPECT_TRUE(LinkOfAnotherOwner(prog / "TodayMirvo.ini"));
    EXPECT_EQ(locate().sharedFolder, prog);
    // A folder of another user's, even closed to all others, is theirs to change.
    ASSERT_EQ(::chown(prog.c_str(), kOtherUser, kOtherUser), 0);
    EXPECT_TRUE(FolderSharedWithOthers(prog));

    // The other user's "backup" folder takes no copy of the user's list.
    const fs::path list = prog / "Mirvo.csv";
    std::ofstream(list) << "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n";
    EXPECT_EQ(KeepBackup(list, "other bytes").outcome, boFailed);
    EXPECT_TRUE(fs::is_empty(prog / "backup"));
}

// The mode of everything the program writes beside a member list and
// settings: copies keep the mode of the file they copy, new files follow the
// umask, the folder of copies is the user's alone.
TEST_F(StartSafety, CopiesKeepTheModeOfTheFileTheyCopy)
{
    const mode_t before = ::umask(022);
    const fs::path list = Folder() / "Mirvo.csv";
    TMemberList members;
    Add(members, "Hana");
    TMemberSaveReport report;
    SaveMemberListKeepingBackup(members, list, report);   // new: 0644 under umask 022
    ASSERT_EQ(Mode(list), 0644u);
    fs::permissions(list, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    Add(members, "Taro");
    SaveMemberListKeepingBackup(members, list, report);   // a copy of the 0600 list
    const fs::path ini = Folder() / "TodayMirvo.ini";
    std::ofstream(ini) << "[Option]\r\nDefaultUser=0\r\n";
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    TMirvoOptions options(ini, Folder());
    options.LoadFromIni();
    options.DefaultUserIndex = 1;
    SaveSettingsKeepingBackup(options);
    // The list kept beside itself when it was read only in part.
    ASSERT_TRUE(CopyToNewFile(list, Folder() / "Mirvo.csv.bak"));
    ::umask(077);
    const fs::path other = Folder() / "Other.csv";
    SaveMemberListKeepingBackup(members, other, report);   // new under umask 077
    ::umask(before);

    std::map<std::string, mode_t> expected = {
        {"Mirvo.csv", 0600}, {"Mirvo.csv.bak", 0600}, {"TodayMirvo.ini", 0600}, {"Other.csv", 0600}, {"backup", 0700},
    };
    for (const TBackupFile& copy : ListBackups(list))
        expected["backup/" + copy.path.filename().string()] = 0600;
    for (const TBackupFile& copy : ListBackups(ini))
        expected["backup/" + copy.path.filename().string()] = 0600;
    EXPECT_EQ(ListBackups(list).size(), 1u);
    EXPECT_EQ(ListBackups(ini).size(), 1u);
    EXPECT_EQ(ModesUnder(Folder()), expected);

    // A folder of copies of this user's that others may write is narrowed at the next copy.
    fs::permissions(Folder() / "backup", fs::perms::all, fs::perm_options::replace);
    Add(members, "Ken");
    SaveMemberListKeepingBackup(members, list, report);
    EXPECT_EQ(Mode(Folder() / "backup"), 0755u);
}

// What a copy interrupted while it was written leaves in the folder of
// copies goes at the next start, by the copies' exact names only; a copy
// that another process is still writing stays.
TEST_F(StartSafety, LeftoversOfInterruptedCopiesAreRemoved)
{
    const fs::path list = Folder() / "Mirvo.csv";
    const fs::path backup = BackupFolderOf(list);
    fs::create_directories(backup);
    const std::vector<std::string> ours = {".Mirvo-20261207-183012.csv.1234.tmp", ".Mirvo-20261207-183012-2.csv.9.tmp"};
    const std::vector<std::string> others = {".Mirvo-2026.csv.12.tmp", ".Mirvo-20261207-183012.csv.x1.tmp",
                                             ".Other-20261207-183012.csv.12.tmp", "Mirvo-20261207-183012.csv",
                                             ".Mirvo-20261207-183012.csv.77.tmp"};
    for (const std::string& name : ours)
        std::ofstream(backup / name) << "part";
    for (const std::string& name : others)
        std::ofstream(backup / name) << "keep";
    // The last one is in the making: held as a write holds its temporary file.
    const int held = ::open((backup / others.back()).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    // A link that took a copy's temporary name goes nowhere it leads.
    fs::create_symlink(list, backup / ".Mirvo-20261207-183013.csv.5.tmp");
    std::ofstream(list) << "list";

    EXPECT_EQ(RemoveBackupLeftovers(list), 2);
    for (const std::string& name : ours)
        EXPECT_FALSE(fs::exists(backup / name)) << name;
    for (const std::string& name : others)
        EXPECT_TRUE(fs::exists(backup / name)) << name;
    EXPECT_TRUE(fs::is_symlink(backup / ".Mirvo-20261207-183013.csv.5.tmp"));
    EXPECT_EQ(ReadWholeFile(list), "list");
    ::close(held);
    EXPECT_EQ(RemoveLeftoverTemporaries(backup / "Mirvo-20261207-183012.csv"), 1);
}
