// The program's date-time value: a double whose integer part counts days from
// 1899-12-30 and whose fraction is the time of day, measured forward from the
// start of that day (so x - floor(x)); stepping by +-1.0 keeps the time of day
// everywhere, also before 1900. Dates are proleptic Gregorian.
#pragma once

#include <cstdint>
#include <string>

namespace koyomi {

using TDateTime = double;

constexpr double kMSecsPerDay = 86400000.0;

// Supported range: 0001-01-01 00:00:00 to 9999-12-31 23:59:59.999.
constexpr TDateTime kMinDateTime = -693593.0;
constexpr TDateTime kMaxDateTime = 2958465.0 + 86399999.0 / 86400000.0;

struct DateParts {
    std::int16_t year = 0;
    std::int16_t month = 0;
    std::int16_t day = 0;
};

struct TimeParts {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int msec = 0;
};

bool IsValidDate(int year, int month, int day);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// False for a date outside 1..9999 or a day that does not exist.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
// Throws EMirvoError for an impossible date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);

// Decoding rounds to the millisecond first, so 23:59:59.9999 reads as the next day.
DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);
void DecodeDate(TDateTime value, std::int16_t& year, std::int16_t& month, std::int16_t& day);

TDateTime DateOf(TDateTime value);   // midnight of the value's day

// Whether a value lies in the supported range.
bool InDateRange(TDateTime value);
// Moves a value by whole days, staying inside the supported range.
TDateTime StepDays(TDateTime value, double days);

// The current local date and time.
TDateTime Now();

// Formats with the patterns the program uses: yyyy, yy, m, mm, d, dd, h, hh,
// n, nn, s, ss; text between single quotes is copied; '/' and ':' are the
// Japanese separators "/" and ":"; other characters are copied as they are.
std::string FormatDateTime(const std::string& pattern, TDateTime value);

// The fixed forms "yyyy/mm/dd" and "hh:nn:ss": the member file's, and the
// form every window and mirvo-today show a day in.
std::string DateToFileText(TDateTime value);
std::string TimeToFileText(TDateTime value);

// Reads "y/m/d" (month and day with one or two digits) as a date at 00:00.
bool TryTextToDate(const std::string& text, TDateTime& result);
// Reads "h:n" or "h:n:s" as a time of day.
bool TryTextToTime(const std::string& text, TDateTime& result);

} // namespace koyomi
