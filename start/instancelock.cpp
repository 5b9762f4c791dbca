#include "start/instancelock.h"
#include "base/fnv1a.h"

#include "start/programpaths.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirvo {

namespace {

const char* const kLockFileName = "TodayMirvo.lock";
const char* const kRuntimeFolderName = "TodayMirvo";
const char* const kFallbackFolderName = "run";
constexpr mode_t kLockFileMode = 0644;
constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kOthersBits = 0077;

// The settings folder's full path as 16 hexadecimal digits.
std::string FolderHash(const std::filesystem::path& settingsFolder)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::weakly_canonical(settingsFolder, ec);
    const std::string folder = (ec ? settingsFolder : full).string();
    char hex[17] = {};
    const std::uint64_t hash = koyomi::Fnv1a(folder);
    for (int i = 0; i < 16; ++i)
        hex[i] = "0123456789abcdef"[(hash >> (60 - 4 * i)) & 0xF];
    return hex;
}

// A folder of this user's that no one else can enter.
bool IsPrivateFolder(const std::filesystem::path& folder)
{
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
           && (info.st_mode & kOthersBits) == 0;
}

// Makes `folder` (mode 0700, its parents as usual) or takes the one there
// when it is this user's own folder, narrowing its rights; empty otherwise.
std::filesystem::path MakePrivateFolder(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (folder.has_parent_path())
        std::filesystem::create_directories(folder.parent_path(), ec);
    if (::mkdir(folder.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST)
        return {};
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return {};
    if ((info.st_mode & kOthersBits) != 0 && ::chmod(folder.c_str(), kPrivateFolderMode) != 0)
        return {};
    return IsPrivateFolder(folder) ? folder : std::filesystem::path();
}

// $XDG_RUNTIME_DIR when it names a folder of this user's that no one else can enter.
const char* ValidRuntimeDir(const char* runtimeDir)
{
    return runtimeDir != nullptr && std::filesystem::path(runtimeDir).is_absolute() && IsPrivateFolder(runtimeDir)
               ? runtimeDir
               : nullptr;
}

// Opens and takes the lock file at `path` without waiting.
TInstanceLock::TState TakeLock(const std::filesystem::path& path, int& fd)
{
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kLockFileMode);
    if (fd < 0)
        return TInstanceLock::lsUnavailable;
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0)
        return TInstanceLock::lsTaken;
    const TInstanceLock::TState state = errno == EWOULDBLOCK ? TInstanceLock::lsHeldByOther : TInstanceLock::lsUnavailable;
    ::close(fd);
    fd = -1;
    return state;
}

} // namespace

TInstanceLock::TInstanceLock(const std::filesystem::path& settingsFolder) : FLockFile(settingsFolder / kLockFileName)
{
    FState = TakeLock(FLockFile, FFd);
    if (FState != lsUnavailable)
        return;
    // No file can be made in the settings folder: every copy then meets in the user's private folder.
    const std::filesystem::path runtime = PrivateRuntimeFolder();
    if (runtime.empty())
        return;
    FLockFile = runtime / ("lock-" + FolderHash(settingsFolder));
    FState = TakeLock(FLockFile, FFd);
}

TInstanceLock::~TInstanceLock()
{
    if (FFd >= 0)
        ::close(FFd);   // drops the lock
}

std::filesystem::path PrivateRuntimeFolder(const char* runtimeDir, const std::filesystem::path& fallback)
{
    if (const char* runtime = ValidRuntimeDir(runtimeDir))
        return MakePrivateFolder(std::filesystem::path(runtime) / kRuntimeFolderName);
    return MakePrivateFolder(fallback);
}

std::filesystem::path PrivateRuntimeFolder()
{
    return PrivateRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"), FallbackRuntimeFolder());
}

std::filesystem::path FallbackRuntimeFolder()
{
    // XDG_CACHE_HOME when it holds an absolute path, else ~/.cache.
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::filesystem::path folder = cache != nullptr ? std::filesystem::path(cache) : std::filesystem::path();
    if (!folder.is_absolute())
        folder = UserFolders::FromEnvironment().home / ".cache";
    return folder / kRuntimeFolderName / kFallbackFolderName;
}

void UseValidRuntimeFolder()
{
    if (ValidRuntimeDir(std::getenv("XDG_RUNTIME_DIR")) != nullptr)
        return;
    const std::filesystem::path fallback = MakePrivateFolder(FallbackRuntimeFolder());
    if (!fallback.empty())
        ::setenv("XDG_RUNTIME_DIR", fallback.c_str(), 1);
}

std::string InstanceChannelName(const std::filesystem::path& settingsFolder)
{
    const std::filesystem::path runtime = PrivateRuntimeFolder();
    if (runtime.empty())
        return {};
    return (runtime / ("channel-" + FolderHash(settingsFolder))).string();
}

bool PeerIsThisUser(int fd)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer
           && peer.uid == ::geteuid();
}

} // namespace mirvo
