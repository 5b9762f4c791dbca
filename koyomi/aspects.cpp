#include "koyomi/aspects.h"

#include "koyomi/calendar.h"
#include "koyomi/positions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace koyomi {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295769;  // pi / 180
constexpr double kDegreesPerRadian = 57.295779513082320877;   // 180 / pi
constexpr double kPoleLatitude = 90.0;   // colatitude = 90 - latitude
constexpr std::int8_t kFirstPlanetIndex = 2;  // below: the Sun or the Moon

} // namespace

const std::array<std::int16_t, kAspectCount> AspectAngle = {
    0, 30, 36, 45, 60, 72, 90, 120, 135, 144, 150, 180};
const std::array<std::int8_t, kAspectCount> AspectPoints = {
    101, 10, 30, -10, 60, 30, -60, 100, -10, 30, -30, -100};
const std::array<std::int8_t, kAspectCount> OrbLuminary = {8, 2, 2, 4, 6, 2, 8, 8, 4, 2, 2, 8};
const std::array<std::int8_t, kAspectCount> OrbPlanet = {6, 2, 2, 4, 4, 2, 6, 6, 4, 2, 2, 6};

const std::array<std::int8_t, kSignCount> GuardianPlanet = {
    bdMars, bdVenus, bdMercury, bdMoon, bdSun, bdMercury,
    bdVenus, bdPluto, bdJupiter, bdSaturn, bdUranus, bdNeptune};

float AngularSeparation(float lat1, float lon1, float lat2, float lon2)
{
    const auto u = static_cast<float>((kPoleLatitude - lat1) * kRadiansPerDegree);
    const auto v = static_cast<float>((kPoleLatitude - lat2) * kRadiansPerDegree);
    const auto w = static_cast<float>((static_cast<double>(lon2) - lon1) * kRadiansPerDegree);
    double c = std::cos(static_cast<double>(u)) * std::cos(static_cast<double>(v))
               + std::sin(static_cast<double>(u)) * std::sin(static_cast<double>(v))
                     * std::cos(static_cast<double>(w));
    c = std::clamp(c, -1.0, 1.0);
    const float s = SingleSqrt(static_cast<float>(1.0 - c * c));
    return static_cast<float>(std::atan2(static_cast<double>(s), c) * kDegreesPerRadian);
}

std::int8_t AspectScore(std::int8_t axis, std::int8_t body, float angle)
{
    const std::int32_t degrees = RoundToInt(angle);
    const auto& orb = std::min(axis, body) < kFirstPlanetIndex ? OrbLuminary : OrbPlanet;
    std::int8_t score = 0;
    for (std::size_t i = 0; i < AspectAngle.size(); ++i)
        if (std::abs(static_cast<std::int64_t>(degrees) - AspectAngle[i]) <= orb[i])
            score = AspectPoints[i];
    return score;
}

std::int8_t SignIndex(float longitude)
{
    if (!std::isfinite(longitude))
        return 0;
    const float inRange = WrapLongitude(longitude);
    const auto sign = static_cast<int>(inRange * (1.0 / kDegreesPerSign));
    return static_cast<std::int8_t>(std::clamp(sign, 0, kSignCount - 1));
}

} // namespace koyomi
