// The platform layer on Windows: GetLocalTime, and the data file opened by
// Windows itself (TWin32Module).
#include "koyomi/platform.h"

#include "koyomi/win32module.h"

#include <windows.h>

namespace koyomi::platform {

TLocalTime LocalTimeNow()
{
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    TLocalTime now;
    now.year = st.wYear;
    now.month = st.wMonth;
    now.day = st.wDay;
    now.hour = st.wHour;
    now.minute = st.wMinute;
    now.second = st.wSecond;
    now.millisecond = st.wMilliseconds;
    return now;
}

const TResourceModule* OpenResourceModule(const std::string& path)
{
    return TWin32Module::Load(path).release();
}

} // namespace koyomi::platform
