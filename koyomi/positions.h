// Positions of the ten bodies seen from the Earth.
//
// Every quantity is one sum of periodic terms A * cos(rate * T + phase), some
// of them multiplied by T, over a fixed range of the coefficient table
// (koyomi/tables.h). The Sun's and the Moon's sums are geocentric; the
// planets' sums are heliocentric and are turned into geocentric coordinates by
// adding the Sun's geocentric vector (HelioToGeo).
//
// Units: angles in degrees, distances in astronomical units, T in Julian
// centuries of dynamical time from J2000.0 (CenturiesSinceJ2000). Results are
// single-precision floats; the sums themselves are kept in double precision.
//
// Not thread-safe: every quantity writes its own T into TimeFactor before it
// sums its terms.
#pragma once

#include <array>
#include <cstdint>

namespace koyomi {

// Body indices, the order of every ten-body table of the program.
enum TBody : std::int8_t {
    bdSun = 0, bdMoon, bdMercury, bdVenus, bdMars, bdJupiter, bdSaturn, bdUranus, bdNeptune, bdPluto,
};
constexpr int kBodyCount = 10;

// Components of BodyCoordinate.
constexpr int kComponentLongitude = 0;
constexpr int kComponentLatitude = 1;
constexpr int kComponentDistance = 2;

// How a quantity's sum is brought into range after it was rounded to single precision.
enum TReduction : std::int8_t { rdNone, rdLongitude, rdLatitude };

constexpr int kMaxTimeTerms = 4;

// One quantity of the coefficient table: terms first..last (1-based, inclusive),
// the terms multiplied by T, and the reduction of the sum.
struct TQuantity {
    const char* name;  // label used in the coefficient file, e.g. "mars.lon"
    std::int16_t first;
    std::int16_t last;
    std::array<std::int16_t, kMaxTimeTerms> timeTerms;  // 0 = unused slot
    TReduction reduction;
};

// The 29 quantities in term order. Planet bodies 2-9 have three each
// (heliocentric longitude, latitude, distance), in this order.
enum TQuantityId : int {
    qtSunLongitude, qtSunDistance,
    qtMoonLongitude, qtMoonLatitude, qtMoonParallax,
    qtMercuryLongitude, qtMercuryLatitude, qtMercuryDistance,
    qtVenusLongitude, qtVenusLatitude, qtVenusDistance,
    qtMarsLongitude, qtMarsLatitude, qtMarsDistance,
    qtJupiterLongitude, qtJupiterLatitude, qtJupiterDistance,
    qtSaturnLongitude, qtSaturnLatitude, qtSaturnDistance,
    qtUranusLongitude, qtUranusLatitude, qtUranusDistance,
    qtNeptuneLongitude, qtNeptuneLatitude, qtNeptuneDistance,
    qtPlutoLongitude, qtPlutoLatitude, qtPlutoDistance,
    qtCount
};
extern const std::array<TQuantity, qtCount> Quantities;

// First of the three heliocentric quantities of a planet (body 2-9).
TQuantityId PlanetLongitudeQuantity(std::int8_t body);

// Sum of terms first..last (1-based; none when last < first) at T (Julian
// centuries), each term Amplitude * TimeFactor * cos(Rate * T + Phase).
double SeriesSum(std::int16_t first, std::int16_t last, double t);

// Writes T into the quantity's T-terms, sums its terms and reduces the sum:
// longitudes in [0, 360) degrees, latitudes in [-90, 90) degrees, other
// quantities unreduced. Single precision.
float EvaluateQuantity(const TQuantity& quantity, double t);

// Geocentric quantities of the Sun and the Moon at T (Julian centuries).
float SunLongitude(double t);     // degrees, [0, 360)
float SunDistance(double t);      // astronomical units
float MoonLongitude(double t);    // degrees, [0, 360)
float MoonLatitude(double t);     // degrees, [-90, 90)
float MoonParallax(double t);     // horizontal parallax, degrees
float MoonDistance(double t);     // astronomical units, from the parallax

// Heliocentric quantities of the planets at T (Julian centuries): longitude
// degrees [0, 360), latitude degrees [-90, 90), distance astronomical units.
float MercuryLongitude(double t);
float MercuryLatitude(double t);
float MercuryDistance(double t);
float VenusLongitude(double t);
float VenusLatitude(double t);
float VenusDistance(double t);
float MarsLongitude(double t);
float MarsLatitude(double t);
float MarsDistance(double t);
float JupiterLongitude(double t);
float JupiterLatitude(double t);
float JupiterDistance(double t);
float SaturnLongitude(double t);
float SaturnLatitude(double t);
float SaturnDistance(double t);
float UranusLongitude(double t);
float UranusLatitude(double t);
float UranusDistance(double t);
float NeptuneLongitude(double t);
float NeptuneLatitude(double t);
float NeptuneDistance(double t);
float PlutoLongitude(double t);
float PlutoLatitude(double t);
float PlutoDistance(double t);

// Reduces a longitude into [0, 360) degrees in single precision. A value just
// below 360 that rounds up to 360.0f is returned as 0, so the result is always
// a valid longitude (and a valid sign).
float WrapLongitude(double degrees);

// Turns a heliocentric position (distance AU, latitude and longitude degrees)
// into a geocentric one with the Sun's geocentric distance (AU) and longitude
// (degrees; the Sun's latitude is taken as 0). Results: distance AU, latitude
// degrees [-90, 90), longitude degrees [0, 360).
void HelioToGeo(float sunDistance, float sunLongitude, float distance, float latitude,
                float longitude, float& geoDistance, float& geoLatitude, float& geoLongitude);

// Geocentric position of a body (0 Sun ... 9 Pluto) at a Japan-time clock
// reading on a calendar date: distance AU, latitude degrees [-90, 90),
// longitude degrees [0, 360). Requires loaded coefficients.
void BodyPosition(std::int8_t body, std::int16_t year, std::int16_t month, std::int16_t day,
                  std::int8_t second, std::int8_t minute, std::int8_t hour, float& distance,
                  float& latitude, float& longitude);

// One component of BodyPosition: 0 longitude, 1 latitude, 2 distance; any
// other component gives 0.
float BodyCoordinate(std::int8_t body, int component, std::int16_t year, std::int16_t month,
                     std::int16_t day, std::int8_t second, std::int8_t minute, std::int8_t hour);

// Square root computed in double precision, rounded to single precision.
float SingleSqrt(float x);

} // namespace koyomi
