#include "koyomi/calendar.h"

#include <cmath>
#include <limits>

namespace koyomi {

namespace {

constexpr double kJulianDay1900 = 2415020.0;   // start of the ΔT polynomial's range
constexpr double kJulianDay1961 = 2437300.0;   // end of the polynomial; linear model after
constexpr double kSecondsPerDay = 86400.0;

// ΔT polynomial in centuries from 1900, days; powers 12 down to 0.
constexpr double kDeltaTPolynomial[] = {
    -0.089491, -0.117389, +0.185489, +0.247433, -0.159732, -0.200097, +0.075456,
    +0.076929, -0.020446, -0.013867, +0.003081, +0.001233, -0.000029,
};

} // namespace

long double JulianDay(std::int16_t year, std::int16_t month, std::int16_t day)
{
    const double key = year * 10000.0 + month * 100.0 + day;
    int y = year;
    int m = month;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    long double b = 0;
    if (key >= kGregorianStartKey) {
        const int a = y / 100;
        b = 2 - a + a / 4;
    }
    long double e;
    if (y > 0)
        e = std::floor(365.25L * y);
    else
        e = std::trunc(365.25L * y - 0.75L);
    const long double d = std::floor(30.6001L * (m + 1));
    return d + 1720994.5L + b + e + day;
}

double DeltaT(double julianDay)
{
    if (julianDay <= kJulianDay1900)
        return 0.0;
    if (julianDay < kJulianDay1961) {
        const double t = (julianDay - kJulianDay1900) / kDaysPerJulianCentury;
        double days = 0.0;
        for (double c : kDeltaTPolynomial)
            days = days * t + c;
        return days * kSecondsPerDay;
    }
    return (julianDay - (kJulianDay1961 + 0.5)) * 0.00254826 + 31.3529;
}

long double CenturiesSinceJ2000(float second, float minute, float hour, double julianDay)
{
    const double dt = DeltaT(julianDay);
    const double hours = (hour - kJstHoursAheadOfUt) + minute * (1.0 / 60.0)
                         + (second + dt) * (1.0 / 3600.0);
    return (julianDay - kJulianDayJ2000) * (1.0L / kDaysPerJulianCentury)
           + hours * (1.0L / kHoursPerJulianCentury);
}

double WrapRange(double hi, double lo, double x)
{
    const double p = hi - lo;
    x = x - p * std::trunc(x / p);
    if (x < lo)
        x = x + p * (std::trunc((lo - x) / p) + 1);
    else if (x >= hi)
        x = x - p * (std::trunc((x - hi) / p) + 1);
    return x;
}

std::int32_t RoundToInt(double x)
{
    if (std::isnan(x))
        return 0;
    const double r = x >= 0 ? std::floor(x + 0.5) : std::ceil(x - 0.5);
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (r <= lo)
        return std::numeric_limits<std::int32_t>::min();
    if (r >= hi)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

} // namespace koyomi
