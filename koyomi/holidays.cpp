#include "koyomi/holidays.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "koyomi/calendar.h"
#include "koyomi/datetime.h"
#include "koyomi/positions.h"

#include <algorithm>
#include <cmath>

namespace koyomi {

namespace {

constexpr int kSunday = 0;
constexpr int kMonday = 1;
constexpr double kVernalLongitude = 0.0;     // degrees
constexpr double kAutumnalLongitude = 180.0;  // degrees
// Days of the month searched for an equinox: far wider than the days the
// Gregorian calendar lets it fall on in the years the table covers.
constexpr int kEquinoxSearchFirst = 10;
constexpr int kEquinoxSearchLast = 30;

// Years in which the law changed.
constexpr int kSubstituteFromYear = 1973;       // substitute holidays from 1973-04-12
constexpr int kSubstituteFromMonth = 4;
constexpr int kSubstituteFromDay = 12;
constexpr int kCitizensHolidayFromYear = 1986;  // law of 1985-12-27
constexpr int kLaw2007 = 2007;                  // substitutes move on past holidays; Showa Day

// Day of the week, 0 Sunday .. 6 Saturday.
int WeekDay(int year, int month, int day)
{
    const auto jd = static_cast<long long>(std::floor(static_cast<double>(
        JulianDay(static_cast<std::int16_t>(year), static_cast<std::int16_t>(month), static_cast<std::int16_t>(day)))
        + 1.5));
    return static_cast<int>(((jd % 7) + 7) % 7);
}

// Day of the month of the n-th (1-based) Monday.
int NthMonday(int year, int month, int n)
{
    const int first = WeekDay(year, month, 1);
    const int firstMonday = 1 + (kMonday - first + 7) % 7;
    return firstMonday + 7 * (n - 1);
}

// Degrees the Sun has gone past `target` at 0:00 Japan time of a day, in [-180, 180).
double SunPast(int year, int month, int day, double target)
{
    const double jd = static_cast<double>(
        JulianDay(static_cast<std::int16_t>(year), static_cast<std::int16_t>(month), static_cast<std::int16_t>(day)));
    const auto t = static_cast<double>(CenturiesSinceJ2000(0.0f, 0.0f, 0.0f, jd));
    return WrapRange(180.0, -180.0, static_cast<double>(SunLongitude(t)) - target);
}

// The day whose Japan-time span holds the moment the Sun reaches `target`.
int EquinoxDay(int year, int month, double target)
{
    bool pastBefore = SunPast(year, month, kEquinoxSearchFirst, target) >= 0.0;
    for (int day = kEquinoxSearchFirst; day <= kEquinoxSearchLast; ++day) {
        const bool pastAfter = SunPast(year, month, day + 1, target) >= 0.0;
        if (!pastBefore && pastAfter)
            return day;
        pastBefore = pastAfter;
    }
    return 0;
}

bool OnOrAfter(int year, int month, int day, int y, int m, int d)
{
    return year * 10000 + month * 100 + day >= y * 10000 + m * 100 + d;
}

// The holidays the law names (国民の祝日) and the one-off days that count as
// such, unsorted.
std::vector<THolidayDate> NamedHolidays(int year)
{
    std::vector<THolidayDate> days;
    const auto add = [&](int month, int day, THoliday kind) {
        if (day > 0)
            days.push_back({month, day, kind});
    };
    add(1, 1, hoNewYearsDay);
    add(1, year < 2000 ? 15 : NthMonday(year, 1, 2), hoComingOfAgeDay);
    if (year >= 1967)
        add(2, 11, hoNationalFoundationDay);
    add(3, VernalEquinoxDay(year), hoVernalEquinoxDay);
    if (year <= 1988)
        add(4, 29, hoEmperorsBirthday);
    else if (year <= 2018)
        add(12, 23, hoEmperorsBirthday);
    else if (year >= 2020)
        add(2, 23, hoEmperorsBirthday);
    if (year >= kLaw2007) {
        add(4, 29, hoShowaDay);
        add(5, 4, hoGreeneryDay);
    } else if (year >= 1989) {
        add(4, 29, hoGreeneryDay);
    }
    add(5, 3, hoConstitutionDay);
    add(5, 5, hoChildrensDay);
    // The Olympic Games of Tokyo moved three holidays in 2020 and again in 2021.
    if (year == 2020) {
        add(7, 23, hoMarineDay);
        add(7, 24, hoSportsDay);
        add(8, 10, hoMountainDay);
    } else if (year == 2021) {
        add(7, 22, hoMarineDay);
        add(7, 23, hoSportsDay);
        add(8, 8, hoMountainDay);
    } else {
        if (year >= 2003)
            add(7, NthMonday(year, 7, 3), hoMarineDay);
        else if (year >= 1996)
            add(7, 20, hoMarineDay);
        if (year >= 2016)
            add(8, 11, hoMountainDay);
        if (year >= 2022)
            add(10, NthMonday(year, 10, 2), hoSportsDay);
        else if (year >= 2000)
            add(10, NthMonday(year, 10, 2), hoHealthAndSportsDay);
        else if (year >= 1966)
            add(10, 10, hoHealthAndSportsDay);
    }
    if (year >= 2003)
        add(9, NthMonday(year, 9, 3), hoRespectForTheAgedDay);
    else if (year >= 1966)
        add(9, 15, hoRespectForTheAgedDay);
    add(9, AutumnalEquinoxDay(year), hoAutumnalEquinoxDay);
    add(11, 3, hoCultureDay);
    add(11, 23, hoLabourThanksgivingDay);
    switch (year) {
    case 1959: add(4, 10, hoAkihitoWedding); break;
    case 1989: add(2, 24, hoShowaFuneral); break;
    case 1990: add(11, 12, hoEnthronement1990); break;
    case 1993: add(6, 9, hoNaruhitoWedding); break;
    case 2019:
        add(5, 1, hoAccession2019);
        add(10, 22, hoEnthronement2019);
        break;
    default: break;
    }
    if (year == kHolidayLawYear) {
        std::erase_if(days, [](const THolidayDate& h) {
            return !OnOrAfter(kHolidayLawYear, h.month, h.day, kHolidayLawYear, kHolidayLawMonth, kHolidayLawDay);
        });
    }
    return days;
}

bool Contains(const std::vector<THolidayDate>& days, int month, int day)
{
    return std::any_of(days.begin(), days.end(), [&](const THolidayDate& h) { return h.month == month && h.day == day; });
}

// The next calendar day (within the year; holidays never move past 31 December).
void NextDay(int year, int& month, int& day)
{
    if (day < DaysInMonth(year, month)) {
        ++day;
    } else {
        ++month;
        day = 1;
    }
}

std::vector<THolidayDate> SubstituteHolidays(int year, const std::vector<THolidayDate>& named)
{
    std::vector<THolidayDate> substitutes;
    for (const THolidayDate& h : named) {
        if (WeekDay(year, h.month, h.day) != kSunday
            || !OnOrAfter(year, h.month, h.day, kSubstituteFromYear, kSubstituteFromMonth, kSubstituteFromDay))
            continue;
        int month = h.month;
        int day = h.day;
        NextDay(year, month, day);
        // Until 2006 the Monday alone; from 2007 the first day after that is no holiday.
        if (year >= kLaw2007) {
            while (Contains(named, month, day) && month <= 12)
                NextDay(year, month, day);
        } else if (Contains(named, month, day)) {
            continue;
        }
        if (month <= 12)
            substitutes.push_back({month, day, hoSubstituteHoliday});
    }
    return substitutes;
}

std::vector<THolidayDate> CitizensHolidays(int year, const std::vector<THolidayDate>& named,
                                           const std::vector<THolidayDate>& substitutes)
{
    std::vector<THolidayDate> between;
    if (year < kCitizensHolidayFromYear)
        return between;
    for (const THolidayDate& h : named) {
        int month = h.month;
        int day = h.day;
        NextDay(year, month, day);
        if (month > 12 || Contains(named, month, day))
            continue;
        int nextMonth = month;
        int nextDay = day;
        NextDay(year, nextMonth, nextDay);
        if (nextMonth > 12 || !Contains(named, nextMonth, nextDay))
            continue;
        // Until 2006 a Sunday or a substitute holiday stayed what it was.
        if (year < kLaw2007 && (WeekDay(year, month, day) == kSunday || Contains(substitutes, month, day)))
            continue;
        if (!Contains(substitutes, month, day))
            between.push_back({month, day, hoCitizensHoliday});
    }
    return between;
}

struct YearCache {
    int year = 0;
    bool filled = false;
    std::vector<THolidayDate> days;
};

} // namespace

int VernalEquinoxDay(int year)
{
    return EquinoxDay(year, 3, kVernalLongitude);
}

int AutumnalEquinoxDay(int year)
{
    return EquinoxDay(year, 9, kAutumnalLongitude);
}

std::vector<THolidayDate> HolidaysOfYear(int year)
{
    if (year < kHolidayLawYear)
        return {};
    std::vector<THolidayDate> days = NamedHolidays(year);
    const std::vector<THolidayDate> substitutes = SubstituteHolidays(year, days);
    const std::vector<THolidayDate> between = CitizensHolidays(year, days, substitutes);
    days.insert(days.end(), substitutes.begin(), substitutes.end());
    days.insert(days.end(), between.begin(), between.end());
    std::sort(days.begin(), days.end(), [](const THolidayDate& a, const THolidayDate& b) {
        return a.month != b.month ? a.month < b.month : a.day < b.day;
    });
    return days;
}

THoliday JapaneseHoliday(int year, int month, int day)
{
    // A month calendar asks for every day of a year in turn: keep the last year.
    static YearCache cache;
    if (!cache.filled || cache.year != year) {
        cache.days = HolidaysOfYear(year);
        cache.year = year;
        cache.filled = true;
    }
    for (const THolidayDate& h : cache.days)
        if (h.month == month && h.day == day)
            return h.kind;
    return hoNone;
}

const std::string& HolidayName(THoliday kind)
{
    static const std::string none;
    if (kind <= hoNone || kind >= kHolidayKinds)
        return none;
    return mirvo::LoadStr(mirvo::kTextHolidayNames + (kind - hoNewYearsDay));
}

} // namespace koyomi
