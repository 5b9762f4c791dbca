// The system calls of whole-file reading and replacing on POSIX systems:
// open, read, write, fsync, rename, and the folder synced after a rename.
#include "base/wholefile.h"
#include "base/wholefile_system.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace mirvo {

namespace {

constexpr mode_t kNewFileMode = 0666;        // narrowed by the umask
constexpr mode_t kOwnerOnlyMode = 0600;
constexpr mode_t kOwnFolderMode = 0700;
constexpr mode_t kAnyWriteBits = 0222;
constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kOthersWriteBits = S_IWGRP | S_IWOTH;
constexpr int kMaxLinksFollowed = 40;         // as the system's own limit (ELOOP)
constexpr uid_t kAdministrator = 0;

int Fd(const systemfile::TFile& file)
{
    return static_cast<int>(file.Get());
}

} // namespace

bool MakeOwnFolder(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (folder.has_parent_path())
        std::filesystem::create_directories(folder.parent_path(), ec);
    if (::mkdir(folder.c_str(), kOwnFolderMode) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    return (info.st_mode & kOthersWriteBits) == 0
           || ::chmod(folder.c_str(), info.st_mode & 07777 & ~kOthersWriteBits) == 0;
}

bool IsSpecialFile(const std::filesystem::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

namespace systemfile {

bool CloseNative(TNative file)
{
    return ::close(static_cast<int>(file)) == 0;
}

TFile OpenRegularFile(const std::filesystem::path& path)
{
    TFile file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.Valid() || ::fstat(Fd(file), &info) != 0 || !S_ISREG(info.st_mode))
        return TFile();
    return file;
}

std::ptrdiff_t ReadSome(const TFile& file, char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t got = ::read(Fd(file), buffer, size);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

std::ptrdiff_t WriteSome(const TFile& file, const char* bytes, std::size_t size)
{
    for (;;) {
        const ssize_t written = ::write(Fd(file), bytes, size);
        if (written >= 0 || errno != EINTR)
            return written;
    }
}

bool FlushToDisk(const TFile& file)
{
    return ::fsync(Fd(file)) == 0;
}

TFile CreateNewFile(const std::filesystem::path& path, bool& nameTaken, bool ownerOnly)
{
    TFile file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      ownerOnly ? kOwnerOnlyMode : kNewFileMode));
    nameTaken = !file.Valid() && errno == EEXIST;
    return file;
}

void HoldWhileWriting(const TFile& file)
{
    ::flock(Fd(file), LOCK_EX | LOCK_NB);
}

bool RemoveIfAbandoned(const std::filesystem::path& path)
{
    const TFile file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    struct stat named {};
    if (!file.Valid() || ::fstat(Fd(file), &opened) != 0 || !S_ISREG(opened.st_mode)
        || ::flock(Fd(file), LOCK_EX | LOCK_NB) != 0)
        return false;
    // The name still leads to the file this process holds.
    if (::lstat(path.c_str(), &named) != 0 || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino)
        return false;
    return ::unlink(path.c_str()) == 0;
}

TWriteRefusal ResolveForWriting(const std::filesystem::path& path, std::filesystem::path& target)
{
    std::filesystem::path current = path;
    for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            target = current;   // nothing there yet: a new file
            return TWriteRefusal::None;
        }
        if (!S_ISLNK(info.st_mode)) {
            target = current;
            return S_ISREG(info.st_mode) && info.st_uid != ::geteuid() ? TWriteRefusal::OthersFile
                                                                        : TWriteRefusal::None;
        }
        // Another user's link leads wherever that user chose, a file of
        // this user's too: only the user's own links (and the
        // administrator's) are followed.
        if (info.st_uid != ::geteuid() && info.st_uid != kAdministrator)
            return TWriteRefusal::OthersLink;
        std::vector<char> buffer(PATH_MAX + 1);
        const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
            break;
        const std::filesystem::path next(std::string(buffer.data(), static_cast<std::size_t>(length)));
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    // A loop of links, or one that cannot be read: the replacement fails on it.
    target = path;
    return TWriteRefusal::None;
}

bool NameIsFree(const std::filesystem::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

bool RemoveFile(const std::filesystem::path& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void SyncFolder(const std::filesystem::path& file)
{
    std::filesystem::path folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    const TFile dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid())
        ::fsync(Fd(dir));
}

bool MayReplace(const std::filesystem::path& target, TReplacedFile& old)
{
    std::error_code ec;
    // A folder, a FIFO or a device in the way is never replaced.
    if (std::filesystem::is_directory(target, ec) || IsSpecialFile(target))
        return false;
    struct stat info {};
    old.exists = ::stat(target.c_str(), &info) == 0;
    if (!old.exists)
        return true;
    // A file that has no write permission, or that this user may not write,
    // stays as it is, even where the folder would allow replacing it.
    if ((info.st_mode & kAnyWriteBits) == 0 || ::access(target.c_str(), W_OK) != 0)
        return false;
    old.mode = info.st_mode & ~S_IFMT;
    old.owner = info.st_uid;
    old.group = info.st_gid;
    return true;
}

bool PermissionsOf(const std::filesystem::path& file, TReplacedFile& like)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        return false;
    like.exists = true;
    like.mode = info.st_mode & kPermissionBits;
    // The copy belongs to whoever makes it.
    like.owner = static_cast<std::uint32_t>(-1);
    like.group = static_cast<std::uint32_t>(-1);
    return true;
}

bool TakeOverWhileOpen(const TFile& file, const TReplacedFile& old)
{
    if (::fchmod(Fd(file), static_cast<mode_t>(old.mode)) != 0)
        return false;
    // Keeping the owner works only for a privileged user; others own what they write.
    if (::fchown(Fd(file), static_cast<uid_t>(old.owner), static_cast<gid_t>(old.group)) != 0) {
    }
    return true;
}

bool TakeOverWhenClosed(const std::filesystem::path&, const TReplacedFile&)
{
    return true;
}

} // namespace systemfile

} // namespace mirvo
