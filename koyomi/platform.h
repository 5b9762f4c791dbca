// What the library asks of the operating system, in one place: the local
// clock and the loader of the data file (the code page 932 converter is
// base/codepage.h). The build picks one implementation:
// platform_posix.cpp (clock_gettime, the portable PE reader) or
// platform_win32.cpp (the Win32 functions that do the same on Windows).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace koyomi {

class TResourceModule;

namespace platform {

// The local date and time of the system clock.
struct TLocalTime {
    int year = 0;         // e.g. 2026
    int month = 0;        // 1-12
    int day = 0;          // 1-31
    int hour = 0;         // 0-23
    int minute = 0;       // 0-59
    int second = 0;       // 0-59 (a leap second reads as 59)
    int millisecond = 0;  // 0-999
};
TLocalTime LocalTimeNow();

// Opens the data file at `path` (the system's narrow encoding of file names)
// as a resource module; null when it cannot be opened as one. The caller
// owns the result.
const TResourceModule* OpenResourceModule(const std::string& path);

} // namespace platform
} // namespace koyomi
