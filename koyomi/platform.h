// What the library asks of the operating system, in one place: the code page
// 932 converter, the local clock and the loader of the data file. The build
// picks one implementation: platform_posix.cpp (glibc's iconv, clock_gettime,
// the portable PE reader) or platform_win32.cpp (the Win32 functions that do
// the same on Windows). Both give the same results for the same input.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace koyomi {

class TResourceModule;

namespace platform {

// Decodes code page 932 bytes to UTF-8. Every byte or pair that has no
// character in the code page gives one U+FFFD (a lead byte counts as a pair
// only with a trail byte after it; see SjisCharLength); decoding goes on
// after it. The single bytes 0x80, 0xA0 and 0xFD-0xFF are no characters.
std::string DecodeCp932(std::string_view bytes);

// Encodes UTF-8 text in code page 932, writing characters that the code page
// holds twice where Windows writes them. nullopt when the text is not valid
// UTF-8 or holds a character that the code page lacks. Look-alikes that read
// back as another character are the caller's to refuse.
std::optional<std::string> EncodeCp932(std::string_view utf8);

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
