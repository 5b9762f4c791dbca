#include "koyomi/aspects.h"

#include "koyomi/calendar.h"
#include "koyomi/positions.h"

#include <algorithm>
#include <cmath>

namespace koyomi {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295769;  // pi / 180
constexpr double kDegreesPerRadian = 57.295779513082320877;   // 180 / pi
constexpr double kPoleLatitude = 90.0;   // colatitude = 90 - latitude
constexpr std::int8_t kFirstPlanetIndex = 2;  // below: the Sun or the Moon

constexpr std::array<std::int16_t, kAspectCount> kAspectAngle = {
    0, 30, 36, 45, 60, 72, 90, 120, 135, 144, 150, 180};
constexpr std::array<std::int8_t, kAspectCount> kAspectPoints = {
    101, 10, 30, -10, 60, 30, -60, 100, -10, 30, -30, -100};
constexpr std::array<std::int8_t, kAspectCount> kOrbLuminary = {8, 2, 2, 4, 6, 2, 8, 8, 4, 2, 2, 8};
constexpr std::array<std::int8_t, kAspectCount> kOrbPlanet = {6, 2, 2, 4, 4, 2, 6, 6, 4, 2, 2, 6};

// The score of every whole degree that lies in some window, scanned once
// from the tables above: [0] with the planets' orbs, [1] with the luminaries'.
// No window reaches beyond these degrees.
constexpr int kLowestDegree = -8;
constexpr int kHighestDegree = 188;
using TDegreeScores = std::array<std::int8_t, kHighestDegree - kLowestDegree + 1>;

constexpr TDegreeScores ScoresByDegree(const std::array<std::int8_t, kAspectCount>& orb)
{
    TDegreeScores scores{};
    for (int degrees = kLowestDegree; degrees <= kHighestDegree; ++degrees)
        for (std::size_t i = 0; i < kAspectAngle.size(); ++i)
            if (degrees >= kAspectAngle[i] - orb[i] && degrees <= kAspectAngle[i] + orb[i])
                scores[static_cast<std::size_t>(degrees - kLowestDegree)] = kAspectPoints[i];
    return scores;
}

constexpr std::array<TDegreeScores, 2> kScoreByDegree = {ScoresByDegree(kOrbPlanet), ScoresByDegree(kOrbLuminary)};

constexpr bool WindowsWithin(const std::array<std::int8_t, kAspectCount>& orb)
{
    for (std::size_t i = 0; i < kAspectAngle.size(); ++i)
        if (kAspectAngle[i] - orb[i] < kLowestDegree || kAspectAngle[i] + orb[i] > kHighestDegree)
            return false;
    return true;
}
static_assert(WindowsWithin(kOrbPlanet) && WindowsWithin(kOrbLuminary));

} // namespace

const std::array<std::int16_t, kAspectCount> AspectAngle = kAspectAngle;
const std::array<std::int8_t, kAspectCount> AspectPoints = kAspectPoints;
const std::array<std::int8_t, kAspectCount> OrbLuminary = kOrbLuminary;
const std::array<std::int8_t, kAspectCount> OrbPlanet = kOrbPlanet;

const std::array<std::int8_t, kSignCount> GuardianPlanet = {
    bdMars, bdVenus, bdMercury, bdMoon, bdSun, bdMercury,
    bdVenus, bdPluto, bdJupiter, bdSaturn, bdUranus, bdNeptune};

TSkyPoint SkyPoint(float latitude, float longitude)
{
    const auto colatitude = static_cast<float>((kPoleLatitude - latitude) * kRadiansPerDegree);
    return {std::cos(static_cast<double>(colatitude)), std::sin(static_cast<double>(colatitude)), longitude};
}

float AngularSeparation(const TSkyPoint& first, const TSkyPoint& second)
{
    const auto w = static_cast<float>((static_cast<double>(second.longitude) - first.longitude) * kRadiansPerDegree);
    double c = first.cosColatitude * second.cosColatitude
               + first.sinColatitude * second.sinColatitude * std::cos(static_cast<double>(w));
    c = std::clamp(c, -1.0, 1.0);
    const float s = SingleSqrt(static_cast<float>(1.0 - c * c));
    return static_cast<float>(std::atan2(static_cast<double>(s), c) * kDegreesPerRadian);
}

float AngularSeparation(float lat1, float lon1, float lat2, float lon2)
{
    return AngularSeparation(SkyPoint(lat1, lon1), SkyPoint(lat2, lon2));
}

std::int8_t AspectScore(std::int8_t axis, std::int8_t body, float angle)
{
    const std::int32_t degrees = RoundToInt(angle);
    if (degrees < kLowestDegree || degrees > kHighestDegree)
        return 0;
    const bool luminary = std::min(axis, body) < kFirstPlanetIndex;
    return kScoreByDegree[luminary ? 1 : 0][static_cast<std::size_t>(degrees - kLowestDegree)];
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
