#include "tools/fitkoyomi/reference.h"

#include "tools/reftable/referencetable.h"

#include "koyomi/calendar.h"

#include <swephexp.h>

#include <cmath>
#include <stdexcept>

namespace fitkoyomi {

namespace {

constexpr double kNoonJstInUtHours = 3.0;  // 12:00 JST = 03:00 UT
constexpr double kArcsecPerDegree = 3600.0;
constexpr double kRadiansPerDegree = M_PI / 180.0;

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

} // namespace

TDay MakeDay(int year, int month, int day)
{
    TDay d;
    d.year = static_cast<std::int16_t>(year);
    d.month = static_cast<std::int16_t>(month);
    d.day = static_cast<std::int16_t>(day);
    d.julianDay = static_cast<double>(koyomi::JulianDay(d.year, d.month, d.day));
    d.t = static_cast<double>(koyomi::CenturiesSinceJ2000(0.0f, 0.0f, 12.0f, d.julianDay));
    return d;
}

std::vector<TDay> DaysOfYears(int fromYear, int toYear)
{
    std::vector<TDay> days;
    for (int y = fromYear; y <= toYear; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= DaysInMonth(y, m); ++d)
                days.push_back(MakeDay(y, m, d));
    return days;
}

TSpherical ReferencePosition(int body, const TDay& day)
{
    // The ephemeris numbers the bodies 0 Sun ... 9 Pluto, as the program does.
    const double jdUt = swe_julday(day.year, day.month, day.day, kNoonJstInUtHours, SE_GREG_CAL);
    double xx[6] = {};
    char error[AS_MAXCH] = {};
    if (swe_calc_ut(jdUt, body, SEFLG_MOSEPH, xx, error) < 0)
        throw std::runtime_error(std::string("swe_calc_ut: ") + error);
    return {xx[0], xx[1], xx[2]};
}

TSampleCheck CheckSampleFile(const std::string& path)
{
    TSampleCheck check;
    for (const kosmera::TReferenceRow& r : kosmera::ReadReferenceTable(path)) {
        const TSpherical p = ReferencePosition(r.body, MakeDay(r.year, r.month, r.day));
        const double dLon = std::remainder(p.longitude - r.longitude, 360.0) * std::cos(r.latitude * kRadiansPerDegree);
        check.longitudeArcsec = std::max(check.longitudeArcsec, std::abs(dLon) * kArcsecPerDegree);
        check.latitudeArcsec = std::max(check.latitudeArcsec, std::abs(p.latitude - r.latitude) * kArcsecPerDegree);
        check.distanceAU = std::max(check.distanceAU, std::abs(p.distance - r.distance));
        ++check.lines;
    }
    return check;
}

} // namespace fitkoyomi
