// The one-copy lock on Windows: a second copy finds it held, and a clean
// exit leaves no TodayMirvo.lock behind.
#include "start/instancelock.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace mirvo;
namespace fs = std::filesystem;

TEST(InstanceLockWindows, HeldWhileRunningAndRemovedAtExit)
{
    const fs::path folder = fs::temp_directory_path() / (L"mirvo-lock-山田-" + std::to_wstring(::GetCurrentProcessId()));
    fs::create_directories(folder);
    {
        const TInstanceLock first(folder);
        ASSERT_EQ(first.State(), TInstanceLock::lsTaken);
        EXPECT_EQ(first.LockFile(), folder / L"TodayMirvo.lock");
        EXPECT_TRUE(fs::is_regular_file(first.LockFile()));
        const TInstanceLock second(folder);
        EXPECT_EQ(second.State(), TInstanceLock::lsHeldByOther);
    }
    EXPECT_FALSE(fs::exists(folder / L"TodayMirvo.lock"));
    // The next copy takes it again.
    EXPECT_EQ(TInstanceLock(folder).State(), TInstanceLock::lsTaken);
    EXPECT_TRUE(fs::is_empty(folder));
    fs::remove_all(folder);
}
