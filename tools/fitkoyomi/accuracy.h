// Errors of the program's positions (koyomi::BodyPosition with the loaded
// coefficients, 12:00:00 Japan time) against the reference ephemeris.
#pragma once

#include "tools/fitkoyomi/reference.h"

#include "koyomi/positions.h"

#include <array>
#include <iosfwd>
#include <vector>

namespace fitkoyomi {

constexpr double kKilometresPerAU = 149597870.7;

struct TErrorStats {
    double largest = 0;
    double sumSquares = 0;
    long count = 0;
    void Add(double e);
    double Rms() const;
};

// Per body: longitude and latitude errors in arcseconds, distance in AU.
struct TBodyErrors {
    TErrorStats longitude, latitude, distance;
};
using TErrorTable = std::array<TBodyErrors, koyomi::kBodyCount>;

// How positions are computed for the comparison: as the program does
// (BodyPosition), or from the same series entirely in double precision (a
// diagnostic that separates the table's own error from the program's
// single-precision rounding).
enum class TPrecision { Program, Double };

// Compares every day of the list; reference positions are computed here.
TErrorTable MeasureErrors(const std::vector<TDay>& days, TPrecision precision = TPrecision::Program);

// The same against reference positions already computed (per body, per day).
TErrorTable MeasureErrors(const std::vector<TDay>& days,
                          const std::array<std::vector<TSpherical>, koyomi::kBodyCount>& reference,
                          TPrecision precision = TPrecision::Program);

// Geocentric position from the loaded series in double precision.
TSpherical DoublePrecisionPosition(int body, double t);

// One line per body: largest and rms of longitude, latitude (arcsec) and
// distance (AU; km for the Moon).
void PrintErrors(std::ostream& out, const TErrorTable& errors);

} // namespace fitkoyomi
