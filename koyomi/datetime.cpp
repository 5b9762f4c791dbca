#include "koyomi/datetime.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "koyomi/platform.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace koyomi {

namespace {

constexpr std::int64_t kMSecsPerDayInt = 86400000;
// Days from 0000-03-01 (the civil-day algorithm's epoch) to 1899-12-30.
constexpr std::int64_t kDaysTo18991230 = 693901 - 306;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// 1970-01-01 is day 25569 of the date-time scale.
constexpr std::int64_t kUnixEpochDay = 25569;

// The value in whole milliseconds, so date and time decode consistently.
std::int64_t TotalMSecs(TDateTime value)
{
    if (!std::isfinite(value))
        return 0;
    if (value < kMinDateTime)
        value = kMinDateTime;
    if (value > kMaxDateTime + 1)
        value = kMaxDateTime + 1;
    return std::llround(value * kMSecsPerDay);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

std::string Pad(long value, int width)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*ld", width, value);
    return buf;
}

// Reads an unsigned decimal run of at most maxDigits digits.
bool ReadNumber(const std::string& text, std::size_t& pos, int maxDigits, int& value)
{
    std::size_t start = pos;
    value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        if (static_cast<int>(pos - start) >= maxDigits)
            return false;
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return pos > start;
}

void SkipBlanks(const std::string& text, std::size_t& pos)
{
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
}

} // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0) && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1
           && day <= DaysInMonth(year, month);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result)
{
    if (!IsValidDate(year, month, day))
        return false;
    result = static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDay);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59
        || msec < 0 || msec > 999)
        return false;
    result = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / kMSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result))
        throw mirvo::MessageError(mirvo::kMsgBadDate, {std::to_string(year) + "/" + std::to_string(month) + "/"
                                                    + std::to_string(day)});
    return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime result = 0;
    if (!TryEncodeTime(hour, minute, second, msec, result))
        throw mirvo::MessageError(mirvo::kMsgBadTime, {std::to_string(hour) + ":" + std::to_string(minute) + ":"
                                                    + std::to_string(second)});
    return result;
}

DateParts DecodeDate(TDateTime value)
{
    const std::int64_t day = FloorDiv(TotalMSecs(value), kMSecsPerDayInt);
    std::int64_t y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(day - kUnixEpochDay, y, m, d);
    return {static_cast<std::int16_t>(y), static_cast<std::int16_t>(m), static_cast<std::int16_t>(d)};
}

void DecodeDate(TDateTime value, std::int16_t& year, std::int16_t& month, std::int16_t& day)
{
    const DateParts p = DecodeDate(value);
    year = p.year;
    month = p.month;
    day = p.day;
}

TimeParts DecodeTime(TDateTime value)
{
    std::int64_t ms = TotalMSecs(value) - FloorDiv(TotalMSecs(value), kMSecsPerDayInt) * kMSecsPerDayInt;
    TimeParts t;
    t.msec = static_cast<int>(ms % 1000);
    ms /= 1000;
    t.second = static_cast<int>(ms % 60);
    ms /= 60;
    t.minute = static_cast<int>(ms % 60);
    t.hour = static_cast<int>(ms / 60);
    return t;
}

TDateTime DateOf(TDateTime value)
{
    return static_cast<double>(FloorDiv(TotalMSecs(value), kMSecsPerDayInt));
}

bool InDateRange(TDateTime value)
{
    return std::isfinite(value) && value >= kMinDateTime && value <= kMaxDateTime;
}

TDateTime StepDays(TDateTime value, double days)
{
    const TDateTime moved = value + days;
    if (!InDateRange(moved))
        return value;
    return moved;
}

TDateTime Now()
{
    const platform::TLocalTime now = platform::LocalTimeNow();
    TDateTime date = 0, time = 0;
    TryEncodeDate(now.year, now.month, now.day, date);
    TryEncodeTime(now.hour, now.minute, now.second, now.millisecond, time);
    return date + time;
}

std::string FormatDateTime(const std::string& pattern, TDateTime value)
{
    const DateParts d = DecodeDate(value);
    const TimeParts t = DecodeTime(value);
    std::string out;
    std::size_t i = 0;
    auto run = [&](char c) {
        std::size_t n = 0;
        while (i + n < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[i + n])) == c)
            ++n;
        return n;
    };
    while (i < pattern.size()) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
        if (pattern[i] == '\'' || pattern[i] == '"') {
            const char quote = pattern[i++];
            while (i < pattern.size() && pattern[i] != quote)
                out += pattern[i++];
            if (i < pattern.size())
                ++i;
            continue;
        }
        // One or two letters: the number as it is, or with two digits.
        auto field = [&](int value) {
            const std::size_t n = run(c);
            out += n >= 2 ? Pad(value, 2) : std::to_string(value);
            return n > 2 ? std::size_t{2} : n;
        };
        std::size_t n = 0;
        switch (c) {
        case 'y':
            n = run('y');
            out += n <= 2 ? Pad(d.year % 100, 2) : Pad(d.year, 4);
            break;
        case 'm':
            n = field(d.month);
            break;
        case 'd':
            n = field(d.day);
            break;
        case 'h':
            n = field(t.hour);
            break;
        case 'n':
            n = field(t.minute);
            break;
        case 's':
            n = field(t.second);
            break;
        default:
            out += pattern[i];
            n = 1;
            break;
        }
        i += n;
    }
    return out;
}

std::string DateToFileText(TDateTime value)
{
    return FormatDateTime("yyyy/mm/dd", value);
}

std::string TimeToFileText(TDateTime value)
{
    return FormatDateTime("hh:nn:ss", value);
}

bool TryTextToDate(const std::string& text, TDateTime& result)
{
    std::size_t pos = 0;
    int y = 0, m = 0, d = 0;
    SkipBlanks(text, pos);
    if (!ReadNumber(text, pos, 4, y) || pos >= text.size() || text[pos++] != '/')
        return false;
    if (!ReadNumber(text, pos, 2, m) || pos >= text.size() || text[pos++] != '/')
        return false;
    if (!ReadNumber(text, pos, 2, d))
        return false;
    SkipBlanks(text, pos);
    if (pos != text.size())
        return false;
    return TryEncodeDate(y, m, d, result);
}

bool TryTextToTime(const std::string& text, TDateTime& result)
{
    std::size_t pos = 0;
    int h = 0, n = 0, s = 0;
    SkipBlanks(text, pos);
    if (!ReadNumber(text, pos, 2, h) || pos >= text.size() || text[pos++] != ':')
        return false;
    if (!ReadNumber(text, pos, 2, n))
        return false;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!ReadNumber(text, pos, 2, s))
            return false;
    }
    SkipBlanks(text, pos);
    if (pos != text.size())
        return false;
    return TryEncodeTime(h, n, s, 0, result);
}

} // namespace koyomi
