#include "app/start/instancelock.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace mirvo {

namespace {

const char* const kLockFileName = "TodayMirvo.lock";
constexpr mode_t kLockFileMode = 0644;

// FNV-1a of the folder's path: a short, fixed name for it.
std::uint64_t PathHash(const std::string& text)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

} // namespace

TInstanceLock::TInstanceLock(const std::filesystem::path& settingsFolder) : FLockFile(settingsFolder / kLockFileName)
{
    FFd = ::open(FLockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kLockFileMode);
    if (FFd < 0)
        return;
    int rc = 0;
    do {
        rc = ::flock(FFd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        FState = lsTaken;
        return;
    }
    FState = errno == EWOULDBLOCK ? lsHeldByOther : lsUnavailable;
    ::close(FFd);
    FFd = -1;
}

TInstanceLock::~TInstanceLock()
{
    if (FFd >= 0)
        ::close(FFd);   // drops the lock
}

std::string InstanceChannelName(const std::filesystem::path& settingsFolder)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::weakly_canonical(settingsFolder, ec);
    const std::string folder = (ec ? settingsFolder : full).string();
    char hex[17] = {};
    const std::uint64_t hash = PathHash(folder);
    for (int i = 0; i < 16; ++i)
        hex[i] = "0123456789abcdef"[(hash >> (60 - 4 * i)) & 0xF];
    return "TodayMirvo-" + std::to_string(::getuid()) + "-" + hex;
}

} // namespace mirvo
