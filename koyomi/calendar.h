// Calendar arithmetic and time scales.
//
// Day numbers are Julian Days at 0h universal time of a calendar date (they
// end in .5); T is measured in Julian centuries of dynamical time from J2000.0.
// Clock times given to the library are Japan Standard Time (UTC + 9 h).
#pragma once

#include <cstdint>

namespace koyomi {

constexpr double kJulianDayJ2000 = 2451545.0;        // JD of 2000-01-01 12h (TT)
constexpr double kDaysPerJulianCentury = 36525.0;
constexpr double kHoursPerJulianCentury = 876600.0;  // 24 * 36525
constexpr double kJstHoursAheadOfUt = 9.0;
constexpr double kGregorianStartKey = 15821015.0;    // 1582-10-15 as y*10000+m*100+d

// Julian Day at 0h UT of a calendar date. Gregorian from 1582-10-15 on,
// Julian before; no validation (month 0 or day 32 simply continue the count).
long double JulianDay(std::int16_t year, std::int16_t month, std::int16_t day);

// Dynamical minus universal time, seconds, for a day number. 0 up to 1900.
double DeltaT(double julianDay);

// Time argument of the series: Julian centuries of TT from J2000.0 for a
// Japan-time clock reading (whole numbers held in floats) on a day number.
long double CenturiesSinceJ2000(float second, float minute, float hour, double julianDay);

// Reduces x into [lo, hi) periodically (period hi - lo; not a reflection).
double WrapRange(double hi, double lo, double x);

// Nearest integer, halves away from zero. Values beyond the 32-bit range are
// clamped to it and a NaN gives 0, so a wild input never leads to undefined
// behaviour.
std::int32_t RoundToInt(double x);

} // namespace koyomi
