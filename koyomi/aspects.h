// Angles between positions, aspect scores, signs and their guardian planets.
//
// Angles are in degrees. Body indices follow the shared order 0 Sun ... 9 Pluto
// (koyomi/positions.h); axis indices are 0 health (birth Sun), 1 feeling
// (birth Moon), 2 intellect (birth Mercury).
#pragma once

#include <array>
#include <cstdint>

namespace koyomi {

constexpr int kAspectCount = 12;
constexpr int kSignCount = 12;
constexpr double kDegreesPerSign = 30.0;

// The aspects, scanned in this order: exact angle (degrees), points, and the
// orb (degrees) when the Sun or the Moon takes part or otherwise. With either
// orb column the windows [angle - orb, angle + orb] do not overlap.
extern const std::array<std::int16_t, kAspectCount> AspectAngle;
extern const std::array<std::int8_t, kAspectCount> AspectPoints;
extern const std::array<std::int8_t, kAspectCount> OrbLuminary;
extern const std::array<std::int8_t, kAspectCount> OrbPlanet;

// Body index of the guardian planet of each sign 0-11 (sign 0 begins at
// longitude 0).
extern const std::array<std::int8_t, kSignCount> GuardianPlanet;

// Angle between two directions on the sphere, latitudes included (degrees in,
// degrees out, [0, 180]). Symmetric in its two points.
float AngularSeparation(float lat1, float lon1, float lat2, float lon2);

// A direction prepared for many separations: the cosine and sine of its
// colatitude worked out once, and its longitude (degrees).
struct TSkyPoint {
    double cosColatitude = 1.0;
    double sinColatitude = 0.0;
    float longitude = 0.0f;
};
TSkyPoint SkyPoint(float latitude, float longitude);

// The same angle as the four-number form of the two points' latitudes and
// longitudes (first point's first), to the last bit.
float AngularSeparation(const TSkyPoint& first, const TSkyPoint& second);

// Score of the aspect that an angle (degrees, rounded to a whole degree) forms
// between the birth body of an axis (0-2) and a body of the day (0-9): one of
// AspectPoints, or 0 when the angle falls in no window.
std::int8_t AspectScore(std::int8_t axis, std::int8_t body, float angle);

// Sign 0-11 of an ecliptic longitude (degrees). Longitudes outside [0, 360)
// are first reduced into it, so the result is always a valid sign; a value
// that is not a number gives sign 0.
std::int8_t SignIndex(float longitude);

} // namespace koyomi
