// The instance lock on Windows: the lock file opened without sharing
// (_SH_DENYRW), which Windows, like flock(2), gives up when the process ends
// in any way; a clean exit removes the file too.
#include "start/instancelock.h"
#include "base/fnv1a.h"

#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

namespace mirvo {

namespace {

const wchar_t* const kLockFileName = L"TodayMirvo.lock";
constexpr DWORD kUserNameLength = 257;  // UNLEN + 1

std::string Hex(std::uint64_t value)
{
    std::string hex(16, '0');
    for (int i = 0; i < 16; ++i)
        hex[static_cast<std::size_t>(i)] = "0123456789abcdef"[(value >> (60 - 4 * i)) & 0xF];
    return hex;
}

// The user's name, which the channel carries where Linux has the user id.
std::string UserName()
{
    wchar_t name[kUserNameLength] = {};
    DWORD length = kUserNameLength;
    if (!::GetUserNameW(name, &length))
        return {};
    return std::filesystem::path(name).string();
}

} // namespace

TInstanceLock::TInstanceLock(const std::filesystem::path& settingsFolder) : FLockFile(settingsFolder / kLockFileName)
{
    int fd = -1;
    const errno_t rc = ::_wsopen_s(&fd, FLockFile.c_str(), _O_RDWR | _O_CREAT | _O_NOINHERIT | _O_BINARY, _SH_DENYRW,
                                   _S_IREAD | _S_IWRITE);
    if (rc == 0) {
        FFd = fd;
        FState = lsTaken;
        return;
    }
    // A sharing violation: another process has the file open.
    FState = rc == EACCES && std::filesystem::is_regular_file(FLockFile) ? lsHeldByOther : lsUnavailable;
}

TInstanceLock::~TInstanceLock()
{
    if (FFd < 0)
        return;
    ::_close(FFd);   // drops the lock
    // A clean exit leaves no lock file behind. Should a second copy have
    // opened it in between, Windows refuses the removal and it keeps its lock.
    ::DeleteFileW(FLockFile.c_str());
}

std::string InstanceChannelName(const std::filesystem::path& settingsFolder)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::weakly_canonical(settingsFolder, ec);
    const std::string folder = (ec ? settingsFolder : full).string();
    return "TodayMirvo-" + Hex(koyomi::Fnv1a(UserName())) + "-" + Hex(koyomi::Fnv1a(folder));
}

// Windows has no runtime folder of the user's: the channel is a named pipe
// that only this user may open (the server's UserAccessOption).
std::filesystem::path PrivateRuntimeFolder(const char*, const std::filesystem::path&)
{
    return {};
}

std::filesystem::path PrivateRuntimeFolder()
{
    return {};
}

std::filesystem::path FallbackRuntimeFolder()
{
    return {};
}

void UseValidRuntimeFolder() {}

bool PeerIsThisUser(int)
{
    return true;
}

} // namespace mirvo
