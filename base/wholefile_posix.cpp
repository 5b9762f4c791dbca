// The system calls of whole-file reading and replacing on POSIX systems:
// open, read, write, fsync, rename, and the folder synced after a rename.
#include "base/wholefile.h"
#include "base/wholefile_system.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirvo {

namespace {

constexpr mode_t kNewFileMode = 0666;        // narrowed by the umask
constexpr mode_t kAnyWriteBits = 0222;

int Fd(const systemfile::TFile& file)
{
    return static_cast<int>(file.Get());
}

} // namespace

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

TFile CreateNewFile(const std::filesystem::path& path, bool& nameTaken)
{
    TFile file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
    nameTaken = !file.Valid() && errno == EEXIST;
    return file;
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
