// Reference positions from the Swiss Ephemeris (built-in Moshier theory, no
// data files): apparent geocentric ecliptic coordinates of the true equinox of
// date, with light-time, aberration, light deflection and nutation, at 03:00:00
// universal time (12:00:00 Japan time) of a date, universal time converted to
// dynamical time with the ephemeris' own ΔT.
//
// This code links libswe (AGPL); it is built only into the fitting tool and
// the accuracy benchmark, never into the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fitkoyomi {

struct TDay {
    std::int16_t year = 0;
    std::int16_t month = 0;
    std::int16_t day = 0;
    double julianDay = 0;  // koyomi::JulianDay of the date (0h UT)
    double t = 0;          // koyomi::CenturiesSinceJ2000 at 12:00:00 Japan time
};

struct TSpherical {
    double longitude = 0;  // degrees, [0, 360)
    double latitude = 0;   // degrees
    double distance = 0;   // astronomical units
};

// Every day from fromYear-01-01 to toYear-12-31 (Gregorian), with the time
// argument exactly as the program computes it for 12:00:00 Japan time.
std::vector<TDay> DaysOfYears(int fromYear, int toYear);
TDay MakeDay(int year, int month, int day);

// Apparent geocentric position of body 0-9 (Sun, Moon, Mercury ... Pluto) at
// 12:00:00 Japan time of the day. Throws std::runtime_error on failure.
TSpherical ReferencePosition(int body, const TDay& day);

// Compares ReferencePosition with a sample file of lines
// "year month day body longitude latitude distance"; returns the largest
// differences (arcseconds, arcseconds, AU) and writes a report.
struct TSampleCheck {
    int lines = 0;
    double longitudeArcsec = 0;
    double latitudeArcsec = 0;
    double distanceAU = 0;
};
TSampleCheck CheckSampleFile(const std::string& path);

} // namespace fitkoyomi
