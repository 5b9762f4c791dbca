// One running window program per settings folder. The lock is an flock(2)
// on the file "TodayMirvo.lock" in the settings folder: the system drops it
// when the process ends in any way (a crash or `kill -9` too), so it can
// never be left stuck; the file itself stays and is taken again at the next
// start. No Qt.
#pragma once

#include <filesystem>
#include <string>

namespace mirvo {

class TInstanceLock {
public:
    enum TState {
        lsTaken,         // this process holds the lock
        lsHeldByOther,   // another running process holds it
        lsUnavailable,   // no lock file can be made (a read-only folder): run without one
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
// for a second start (the same for every copy of one user and folder).
std::string InstanceChannelName(const std::filesystem::path& settingsFolder);

} // namespace mirvo
