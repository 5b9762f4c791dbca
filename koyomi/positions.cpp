#include "koyomi/positions.h"

#include "koyomi/calendar.h"
#include "koyomi/cosines.h"
#include "koyomi/daypositions.h"
#include "koyomi/tables.h"

#include <algorithm>
#include <cmath>

namespace koyomi {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295769;  // pi / 180
constexpr double kDegreesPerRadian = 57.295779513082320877;   // 180 / pi
constexpr double kFullCircle = 360.0;
constexpr double kLatitudeHi = 90.0;
constexpr double kLatitudeLo = -90.0;

// Term ranges, T-terms and reductions of every quantity, in term order.
constexpr std::array<TQuantity, qtCount> kQuantityTable = {{
    {"sun.lon", 1, 18, {1, 5, 0, 0}, rdLongitude},
    {"sun.dist", 19, 27, {22, 0, 0, 0}, rdNone},
    {"moon.lon", 158, 220, {158, 0, 0, 0}, rdLongitude},
    {"moon.lat", 221, 265, {0, 0, 0, 0}, rdLatitude},
    {"moon.parallax", 266, 309, {0, 0, 0, 0}, rdNone},
    {"mercury.lon", 310, 336, {310, 324, 330, 0}, rdLongitude},
    {"mercury.lat", 337, 356, {349, 353, 354, 0}, rdLatitude},
    {"mercury.dist", 357, 366, {363, 365, 366, 0}, rdNone},
    {"venus.lon", 367, 382, {367, 371, 0, 0}, rdLongitude},
    {"venus.lat", 383, 387, {386, 0, 0, 0}, rdLatitude},
    {"venus.dist", 388, 394, {390, 0, 0, 0}, rdNone},
    {"mars.lon", 395, 431, {395, 403, 409, 416}, rdLongitude},
    {"mars.lat", 432, 438, {438, 0, 0, 0}, rdLatitude},
    {"mars.dist", 439, 455, {443, 450, 451, 0}, rdNone},
    {"jupiter.lon", 456, 482, {456, 461, 478, 0}, rdLongitude},
    {"jupiter.lat", 483, 502, {486, 488, 489, 492}, rdLatitude},
    {"jupiter.dist", 503, 527, {509, 510, 519, 520}, rdNone},
    {"saturn.lon", 528, 551, {528, 531, 532, 535}, rdLongitude},
    {"saturn.lat", 552, 564, {554, 556, 560, 561}, rdLatitude},
    {"saturn.dist", 565, 587, {567, 572, 573, 0}, rdNone},
    {"uranus.lon", 588, 601, {588, 591, 592, 600}, rdLongitude},
    {"uranus.lat", 602, 609, {602, 605, 608, 0}, rdLatitude},
    {"uranus.dist", 610, 620, {612, 613, 615, 0}, rdNone},
    {"neptune.lon", 621, 630, {621, 624, 625, 0}, rdLongitude},
    {"neptune.lat", 631, 636, {0, 0, 0, 0}, rdLatitude},
    {"neptune.dist", 637, 643, {639, 0, 0, 0}, rdNone},
    {"pluto.lon", 644, 653, {645, 0, 0, 0}, rdLongitude},
    {"pluto.lat", 654, 662, {0, 0, 0, 0}, rdLatitude},
    {"pluto.dist", 663, 672, {667, 669, 0, 0}, rdNone},
}};

TCosineTerms Terms()
{
    return {Amplitude.data(), TimeFactor.data(), Rate.data(), Phase.data()};
}

void WriteTimeFactors(const TQuantity& quantity, double t)
{
    for (std::int16_t term : quantity.timeTerms)
        if (term > 0)
            TimeFactor[static_cast<std::size_t>(term - 1)] = t;
}

float WrapLatitude(double degrees)
{
    return static_cast<float>(WrapRange(kLatitudeHi, kLatitudeLo, degrees));
}

} // namespace

const std::array<TQuantity, qtCount> Quantities = kQuantityTable;

TQuantityId PlanetLongitudeQuantity(std::int8_t body)
{
    return static_cast<TQuantityId>(qtMercuryLongitude + 3 * (body - bdMercury));
}

double SeriesSum(std::int16_t first, std::int16_t last, double t)
{
    // Every argument and weight of a block of terms first, then all their
    // cosines at once, then the sum in term order from the last term down
    // (koyomi/cosines.h).
    return SumCosineTerms(Terms(), first - 1, last, t);
}

float WrapLongitude(double degrees)
{
    const auto wrapped = static_cast<float>(WrapRange(kFullCircle, 0.0, degrees));
    // A value a hair below 360 rounds up to 360.0f in single precision; that
    // is the same direction as 0 and must not leave the range.
    return wrapped >= static_cast<float>(kFullCircle) ? 0.0f : wrapped;
}

namespace {

float Reduce(const TQuantity& quantity, double sum)
{
    const auto single = static_cast<float>(sum);
    switch (quantity.reduction) {
    case rdLongitude:
        return WrapLongitude(single);
    case rdLatitude:
        return WrapLatitude(single);
    case rdNone:
        break;
    }
    return single;
}

// EvaluateQuantity of several different quantities at one T, their sums
// computed together (koyomi/cosines.h): values[j] is, to the last bit,
// EvaluateQuantity(Quantities[ids[j]], t), for j < count <= qtCount.
void EvaluateQuantities(const TQuantityId* ids, int count, double t, float* values)
{
    std::array<TTermRun, qtCount> runs;
    std::array<double, qtCount> sums;
    for (int j = 0; j < count; ++j) {
        const TQuantity& quantity = Quantities[ids[j]];
        WriteTimeFactors(quantity, t);
        runs[static_cast<std::size_t>(j)] = {quantity.first - 1, quantity.last};
    }
    SumCosineTerms(Terms(), runs.data(), count, t, sums.data());
    for (int j = 0; j < count; ++j)
        values[j] = Reduce(Quantities[ids[j]], sums[static_cast<std::size_t>(j)]);
}

} // namespace

float EvaluateQuantity(const TQuantity& quantity, double t)
{
    WriteTimeFactors(quantity, t);
    return Reduce(quantity, SeriesSum(quantity.first, quantity.last, t));
}

float SunLongitude(double t) { return EvaluateQuantity(Quantities[qtSunLongitude], t); }
float SunDistance(double t) { return EvaluateQuantity(Quantities[qtSunDistance], t); }
float MoonLongitude(double t) { return EvaluateQuantity(Quantities[qtMoonLongitude], t); }
float MoonLatitude(double t) { return EvaluateQuantity(Quantities[qtMoonLatitude], t); }
float MoonParallax(double t) { return EvaluateQuantity(Quantities[qtMoonParallax], t); }

namespace {

float DistanceFromParallax(float parallax)
{
    // The parallax in radians is taken as the ratio Earth radius / distance
    // (no sine); the coefficients encode it that way.
    return static_cast<float>(EarthRadiusAU / (static_cast<double>(parallax) * kRadiansPerDegree));
}

} // namespace

float MoonDistance(double t)
{
    return DistanceFromParallax(MoonParallax(t));
}

float MercuryLongitude(double t) { return EvaluateQuantity(Quantities[qtMercuryLongitude], t); }
float MercuryLatitude(double t) { return EvaluateQuantity(Quantities[qtMercuryLatitude], t); }
float MercuryDistance(double t) { return EvaluateQuantity(Quantities[qtMercuryDistance], t); }
float VenusLongitude(double t) { return EvaluateQuantity(Quantities[qtVenusLongitude], t); }
float VenusLatitude(double t) { return EvaluateQuantity(Quantities[qtVenusLatitude], t); }
float VenusDistance(double t) { return EvaluateQuantity(Quantities[qtVenusDistance], t); }
float MarsLongitude(double t) { return EvaluateQuantity(Quantities[qtMarsLongitude], t); }
float MarsLatitude(double t) { return EvaluateQuantity(Quantities[qtMarsLatitude], t); }
float MarsDistance(double t) { return EvaluateQuantity(Quantities[qtMarsDistance], t); }
float JupiterLongitude(double t) { return EvaluateQuantity(Quantities[qtJupiterLongitude], t); }
float JupiterLatitude(double t) { return EvaluateQuantity(Quantities[qtJupiterLatitude], t); }
float JupiterDistance(double t) { return EvaluateQuantity(Quantities[qtJupiterDistance], t); }
float SaturnLongitude(double t) { return EvaluateQuantity(Quantities[qtSaturnLongitude], t); }
float SaturnLatitude(double t) { return EvaluateQuantity(Quantities[qtSaturnLatitude], t); }
float SaturnDistance(double t) { return EvaluateQuantity(Quantities[qtSaturnDistance], t); }
float UranusLongitude(double t) { return EvaluateQuantity(Quantities[qtUranusLongitude], t); }
float UranusLatitude(double t) { return EvaluateQuantity(Quantities[qtUranusLatitude], t); }
float UranusDistance(double t) { return EvaluateQuantity(Quantities[qtUranusDistance], t); }
float NeptuneLongitude(double t) { return EvaluateQuantity(Quantities[qtNeptuneLongitude], t); }
float NeptuneLatitude(double t) { return EvaluateQuantity(Quantities[qtNeptuneLatitude], t); }
float NeptuneDistance(double t) { return EvaluateQuantity(Quantities[qtNeptuneDistance], t); }
float PlutoLongitude(double t) { return EvaluateQuantity(Quantities[qtPlutoLongitude], t); }
float PlutoLatitude(double t) { return EvaluateQuantity(Quantities[qtPlutoLatitude], t); }
float PlutoDistance(double t) { return EvaluateQuantity(Quantities[qtPlutoDistance], t); }

float SingleSqrt(float x)
{
    return static_cast<float>(std::sqrt(static_cast<double>(x)));
}

namespace {

// The Sun's geocentric distance and longitude with its vector in the plane
// of the ecliptic, worked out once for all the planets of one date.
struct TSunVector {
    float distance;
    float longitude;
    double x;
    double y;
};

TSunVector SunVector(float sunDistance, float sunLongitude)
{
    const auto sunLon = static_cast<float>(sunLongitude * kRadiansPerDegree);
    return {sunDistance, sunLongitude, sunDistance * std::cos(static_cast<double>(sunLon)),
            sunDistance * std::sin(static_cast<double>(sunLon))};
}

void HelioToGeo(const TSunVector& sun, float distance, float latitude, float longitude, float& geoDistance,
                float& geoLatitude, float& geoLongitude)
{
    const auto lon = static_cast<float>(longitude * kRadiansPerDegree);
    const auto lat = static_cast<float>(latitude * kRadiansPerDegree);

    const double planar = static_cast<double>(distance) * std::cos(static_cast<double>(lat));
    const auto x = static_cast<float>(planar * std::cos(static_cast<double>(lon)) + sun.x);
    const auto y = static_cast<float>(planar * std::sin(static_cast<double>(lon)) + sun.y);
    const auto z = static_cast<float>(static_cast<double>(distance) * std::sin(static_cast<double>(lat)));

    const double xx = static_cast<double>(x) * x;
    const double yy = static_cast<double>(y) * y;
    const double zz = static_cast<double>(z) * z;
    geoLongitude = WrapLongitude(std::atan2(y, x) * kDegreesPerRadian);
    const float planarDistance = SingleSqrt(static_cast<float>(xx + yy));
    geoLatitude = WrapLatitude(std::atan2(static_cast<double>(z), planarDistance) * kDegreesPerRadian);
    geoDistance = SingleSqrt(static_cast<float>(xx + yy + zz));
}

} // namespace

void HelioToGeo(float sunDistance, float sunLongitude, float distance, float latitude,
                float longitude, float& geoDistance, float& geoLatitude, float& geoLongitude)
{
    HelioToGeo(SunVector(sunDistance, sunLongitude), distance, latitude, longitude, geoDistance, geoLatitude,
               geoLongitude);
}

namespace {

// The Moon's three quantities and each planet's three follow the Sun's two,
// body by body: bodies 0 .. n - 1 need quantities 0 .. 3n - 2.
constexpr int FirstQuantityOf(int body)
{
    return qtMoonLongitude + 3 * (body - bdMoon);
}
static_assert(FirstQuantityOf(bdMercury) == qtMercuryLongitude && FirstQuantityOf(bdPluto) + 3 == qtCount);

// The position of the Moon or of a planet from its three quantities in
// values[0 .. 2].
TBodyPosition MoonPosition(const float* values)
{
    return {DistanceFromParallax(values[2]), values[1], values[0]};
}

TBodyPosition PlanetPosition(const float* values, const TSunVector& sun)
{
    TBodyPosition p;
    HelioToGeo(sun, values[2], values[1], values[0], p.distance, p.latitude, p.longitude);
    return p;
}

double ClockCenturies(std::int16_t year, std::int16_t month, std::int16_t day, std::int8_t second,
                      std::int8_t minute, std::int8_t hour)
{
    const auto jd = static_cast<double>(JulianDay(year, month, day));
    return static_cast<double>(CenturiesSinceJ2000(static_cast<float>(second), static_cast<float>(minute),
                                                   static_cast<float>(hour), jd));
}

} // namespace

void BodyPosition(std::int8_t body, std::int16_t year, std::int16_t month, std::int16_t day,
                  std::int8_t second, std::int8_t minute, std::int8_t hour, float& distance,
                  float& latitude, float& longitude)
{
    if (body < bdSun || body > bdPluto) {
        // Not a body: nothing to compute, and no table to read past its end.
        distance = latitude = longitude = 0.0f;
        return;
    }
    const double t = ClockCenturies(year, month, day, second, minute, hour);
    std::array<TQuantityId, 5> ids{qtSunLongitude, qtSunDistance};
    int count = 2;
    if (body != bdSun)
        for (int k = 0; k < 3; ++k)
            ids[static_cast<std::size_t>(count++)] = static_cast<TQuantityId>(FirstQuantityOf(body) + k);
    std::array<float, 5> values;
    EvaluateQuantities(ids.data(), count, t, values.data());
    TBodyPosition p{values[1], 0.0f, values[0]};
    if (body == bdMoon)
        p = MoonPosition(&values[2]);
    else if (body != bdSun)
        p = PlanetPosition(&values[2], SunVector(values[1], values[0]));
    distance = p.distance;
    latitude = p.latitude;
    longitude = p.longitude;
}

void BodyPositions(std::span<TBodyPosition> positions, std::int16_t year, std::int16_t month, std::int16_t day,
                   std::int8_t second, std::int8_t minute, std::int8_t hour)
{
    const double t = ClockCenturies(year, month, day, second, minute, hour);
    const int bodies = static_cast<int>(std::min<std::size_t>(positions.size(), kBodyCount));
    // The quantities of all these bodies at once, the Sun's in any case.
    const int count = bodies > 1 ? FirstQuantityOf(bodies - 1) + 3 : FirstQuantityOf(bdMoon);
    std::array<TQuantityId, qtCount> ids;
    for (int j = 0; j < count; ++j)
        ids[static_cast<std::size_t>(j)] = static_cast<TQuantityId>(j);
    std::array<float, qtCount> values;
    EvaluateQuantities(ids.data(), count, t, values.data());
    const TSunVector sun = SunVector(values[qtSunDistance], values[qtSunLongitude]);
    std::int8_t body = bdSun;
    for (TBodyPosition& p : positions) {
        if (body > bdPluto)
            p = {};
        else if (body == bdSun)
            p = {sun.distance, 0.0f, sun.longitude};
        else if (body == bdMoon)
            p = MoonPosition(&values[qtMoonLongitude]);
        else
            p = PlanetPosition(&values[static_cast<std::size_t>(FirstQuantityOf(body))], sun);
        ++body;
    }
}

float BodyCoordinate(std::int8_t body, int component, std::int16_t year, std::int16_t month,
                     std::int16_t day, std::int8_t second, std::int8_t minute, std::int8_t hour)
{
    float distance = 0.0f;
    float latitude = 0.0f;
    float longitude = 0.0f;
    BodyPosition(body, year, month, day, second, minute, hour, distance, latitude, longitude);
    switch (component) {
    case kComponentLongitude:
        return longitude;
    case kComponentLatitude:
        return latitude;
    case kComponentDistance:
        return distance;
    default:
        return 0.0f;
    }
}

} // namespace koyomi
