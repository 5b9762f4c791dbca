#include "koyomi/base/wholefile.h"

#include <cerrno>
#include <fcntl.h>
#include <algorithm>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace mirvo {

namespace {

constexpr mode_t kNewFileMode = 0666;        // narrowed by the umask
constexpr mode_t kAnyWriteBits = 0222;
constexpr int kTemporaryNameAttempts = 100;
constexpr std::size_t kMaxWriteBytes = 1 << 20;
constexpr std::size_t kReadChunkBytes = 1 << 16;
constexpr int kUnusedNameAttempts = 1000;

// Closes a descriptor once, at the end of its scope.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : FFd(fd) {}
    ~TFileDescriptor() { Close(); }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return FFd; }
    bool Close()
    {
        if (FFd < 0)
            return true;
        const bool ok = ::close(FFd) == 0;
        FFd = -1;
        return ok;
    }

private:
    int FFd;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t part = std::min(bytes.size(), kMaxWriteBytes);
        const ssize_t written = ::write(fd, bytes.data(), part);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file that is really replaced: a symbolic link is followed.
std::filesystem::path ResolveTarget(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
        if (!ec)
            return target;
    }
    return path;
}

// Creates a new, empty file beside `target` under a name no one else uses.
int CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& tempPath)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        tempPath = folder / ("." + target.filename().string() + "." + std::to_string(random()) + ".tmp");
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Makes the rename itself durable; a folder that cannot be synced is no failure.
void SyncFolder(const std::filesystem::path& target)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const TFileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0)
        ::fsync(fd.Get());
}

} // namespace

std::optional<TFilePrefix> ReadFilePrefix(const std::filesystem::path& path, std::size_t limit)
{
    // Opened without waiting, so that a FIFO in the way cannot hold the program up.
    const TFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    TFilePrefix prefix;
    // Read one byte past the limit to know whether the file goes on.
    const std::size_t wanted = limit == SIZE_MAX ? limit : limit + 1;
    char buffer[kReadChunkBytes];
    while (prefix.bytes.size() < wanted) {
        const std::size_t part = std::min(sizeof buffer, wanted - prefix.bytes.size());
        const ssize_t got = ::read(fd.Get(), buffer, part);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;   // a read error after the file was opened
        }
        if (got == 0)
            break;
        prefix.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    if (prefix.bytes.size() > limit) {
        prefix.bytes.resize(limit);
        prefix.cut = true;
    }
    return prefix;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::optional<TFilePrefix> all = ReadFilePrefix(path, SIZE_MAX);
    if (!all)
        return std::nullopt;
    return std::move(all->bytes);
}

bool IsSpecialFile(const std::filesystem::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

std::filesystem::path UnusedNameBeside(const std::filesystem::path& path, const std::string& suffix)
{
    for (int n = 1; n <= kUnusedNameAttempts; ++n) {
        std::filesystem::path candidate = path;
        candidate += suffix + (n == 1 ? std::string() : std::to_string(n));
        struct stat info {};
        if (::lstat(candidate.c_str(), &info) != 0 && errno == ENOENT)
            return candidate;
    }
    return {};
}

bool CopyToNewFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    const std::optional<std::string> bytes = ReadWholeFile(from);
    if (!bytes)
        return false;
    TFileDescriptor fd(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
    if (fd.Get() < 0)
        return false;
    bool ok = WriteAll(fd.Get(), *bytes) && ::fsync(fd.Get()) == 0;
    ok = fd.Close() && ok;
    if (!ok) {
        ::unlink(to.c_str());
        return false;
    }
    SyncFolder(to);
    return true;
}

bool ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes)
{
    const std::filesystem::path target = ResolveTarget(path);
    std::error_code ec;
    // A folder, a FIFO or a device in the way is never replaced.
    if (std::filesystem::is_directory(target, ec) || IsSpecialFile(target))
        return false;
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    // A file that has no write permission, or that this user may not write,
    // stays as it is, even where the folder would allow replacing it.
    if (replacing && ((old.st_mode & kAnyWriteBits) == 0 || ::access(target.c_str(), W_OK) != 0))
        return false;

    std::filesystem::path tempPath;
    TFileDescriptor fd(CreateTemporaryBeside(target, tempPath));
    if (fd.Get() < 0)
        return false;
    bool ok = WriteAll(fd.Get(), bytes);
    if (ok && replacing) {
        ok = ::fchmod(fd.Get(), old.st_mode & ~S_IFMT) == 0;
        // Keeping the owner works only for a privileged user; others own what they write.
        if (::fchown(fd.Get(), old.st_uid, old.st_gid) != 0) {
        }
    }
    ok = ok && ::fsync(fd.Get()) == 0;
    ok = fd.Close() && ok;
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return false;
    }
    SyncFolder(target);
    return true;
}

} // namespace mirvo
