// The user's folders and the writability check on Linux and other POSIX
// systems: the XDG base directories and access(2).
#include "start/programpaths.h"

#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace mirvo {

namespace {

constexpr std::size_t kPasswordBufferSize = 16384;
constexpr uid_t kAdministrator = 0;

// An environment variable that holds an absolute path; empty otherwise.
std::filesystem::path AbsoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr)
        return {};
    std::filesystem::path p(value);
    return p.is_absolute() ? p : std::filesystem::path();
}

std::filesystem::path HomeFromPasswordEntry()
{
    std::vector<char> buffer(kPasswordBufferSize);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr
        || found->pw_dir == nullptr)
        return {};
    return found->pw_dir;
}

} // namespace

UserFolders UserFolders::FromEnvironment()
{
    UserFolders f;
    f.home = AbsoluteFromEnvironment("HOME");
    if (f.home.empty())
        f.home = HomeFromPasswordEntry();
    f.documents = f.home;
    f.configHome = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (f.configHome.empty())
        f.configHome = f.home / ".config";
    f.dataHome = AbsoluteFromEnvironment("XDG_DATA_HOME");
    if (f.dataHome.empty())
        f.dataHome = f.home / ".local" / "share";
    return f;
}

bool FolderSharedWithOthers(const std::filesystem::path& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    // A sticky bit keeps each user's names to their owner, but another user
    // still adds names of their own: a link named as one of the program's
    // files, a folder "backup". A folder of another user's is theirs to change.
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 || (info.st_uid != ::geteuid() && info.st_uid != kAdministrator);
}

bool LinkOfAnotherOwner(const std::filesystem::path& file)
{
    struct stat link {};
    struct stat target {};
    if (::lstat(file.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return false;
    return link.st_uid != ::geteuid() || (::stat(file.c_str(), &target) == 0 && target.st_uid != link.st_uid);
}

void KeepToOwner(const std::filesystem::path& folder)
{
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        ::chmod(folder.c_str(), info.st_mode & ~(S_IWGRP | S_IWOTH) & 07777);
}

bool FolderIsWritable(const std::filesystem::path& folder)
{
    // Writing into a folder needs write and search permission on it; the
    // effective user's rights count, as they do when a file is made.
    return faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace mirvo
