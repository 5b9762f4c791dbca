// The platform layer on Linux and other POSIX systems: clock_gettime and
// localtime_r for the clock, and the portable PE reader for the data file.
#include "koyomi/platform.h"

#include "koyomi/peresource.h"

#include <ctime>

namespace koyomi::platform {

namespace {

constexpr long kNanosecondsPerMillisecond = 1000000;
constexpr int kTmYearBase = 1900;
constexpr int kLastSecond = 59;

} // namespace

TLocalTime LocalTimeNow()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    const std::time_t secs = ts.tv_sec;
    localtime_r(&secs, &local);
    TLocalTime now;
    now.year = local.tm_year + kTmYearBase;
    now.month = local.tm_mon + 1;
    now.day = local.tm_mday;
    now.hour = local.tm_hour;
    now.minute = local.tm_min;
    now.second = local.tm_sec > kLastSecond ? kLastSecond : local.tm_sec;
    now.millisecond = static_cast<int>(ts.tv_nsec / kNanosecondsPerMillisecond);
    return now;
}

const TResourceModule* OpenResourceModule(const std::string& path)
{
    auto module = TPeResources::FromFile(path);
    if (!module)
        return nullptr;
    return new TPeResources(std::move(*module));
}

} // namespace koyomi::platform
