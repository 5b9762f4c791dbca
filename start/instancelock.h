// One running window program per settings folder. The lock is an flock(2)
// on the file "TodayMirvo.lock" in the settings folder, or, when no file can
// be made there (a read-only folder), on a file named after the folder in
// the user's private runtime folder: the system drops it when the process
// ends in any way (a crash or `kill -9` too), so it can never be left stuck;
// the file itself stays and is taken again at the next start. No Qt.
#pragma once

#include <filesystem>
#include <string>

namespace mirvo {

class TInstanceLock {
public:
    enum TState {
        lsTaken,         // this process holds the lock
        lsHeldByOther,   // another running process holds it
        lsUnavailable,   // no lock file can be made anywhere: the start warns, then runs without one
    };

    // Tries to take the lock of `settingsFolder` without waiting.
    explicit TInstanceLock(const std::filesystem::path& settingsFolder);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    TState State() const { return FState; }
    const std::filesystem::path& LockFile() const { return FLockFile; }

private:
    std::filesystem::path FLockFile;
    int FFd = -1;
    TState FState = lsUnavailable;
};

// The name under which the copy holding the lock of `settingsFolder` listens
// for a second start (the same for every copy of one user and folder): on
// Linux a socket's full path in PrivateRuntimeFolder(), so that no other
// user can take the name first or connect; empty when there is no such folder.
std::string InstanceChannelName(const std::filesystem::path& settingsFolder);

// A folder that only this user can enter, for the lock and the channel:
// <runtimeDir>/TodayMirvo when `runtimeDir` ($XDG_RUNTIME_DIR) is an
// absolute path of a folder this user owns that no one else can enter,
// else `fallback`, a folder under the user's home that no other user can
// name first (FallbackRuntimeFolder). Made with mode 0700 when missing (the
// fallback's parents too); a folder of this user's with wider rights is
// narrowed to 0700. Empty when the folder is a symbolic link or something
// else than a folder, or belongs to another user.
std::filesystem::path PrivateRuntimeFolder(const char* runtimeDir, const std::filesystem::path& fallback);
// The same for $XDG_RUNTIME_DIR and FallbackRuntimeFolder().
std::filesystem::path PrivateRuntimeFolder();

// Where the private folder is when the session has no runtime folder of
// the user's: $XDG_CACHE_HOME/TodayMirvo/run (~/.cache/TodayMirvo/run).
std::filesystem::path FallbackRuntimeFolder();

// Before Qt starts: when $XDG_RUNTIME_DIR is unset, relative, or names a
// folder of another user's or one others can enter, it is set to the
// fallback private folder, so that Qt finds a runtime folder it accepts
// (and says nothing about it) and every copy of the program meets in the
// same place.
void UseValidRuntimeFolder();

// True when the process at the other end of the connected local socket `fd`
// runs as this user (SO_PEERCRED); the channel talks to no one else.
bool PeerIsThisUser(int fd);

} // namespace mirvo
