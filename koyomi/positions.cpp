#include "koyomi/positions.h"

#include "koyomi/calendar.h"
#include "koyomi/cosines.h"
#include "koyomi/daypositions.h"
#include "koyomi/tables.h"

#include <cmath>

namespace koyomi {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295769;  // pi / 180
constexpr double kDegreesPerRadian = 57.295779513082320877;   // 180 / pi
constexpr double kFullCircle = 360.0;
constexpr double kTurnsPerDegree = 1.0 / kFullCircle;
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
    // Two passes per block of terms: every argument and weight first, then
    // all the cosines at once (koyomi/cosines.h), then the sum in term order
    // from the last term down.
    double sum = 0.0;
    for (int top = last; top >= first; top -= kCosineBlock) {
        const int bottom = top - kCosineBlock + 1 > first ? top - kCosineBlock + 1 : first;
        const int count = top - bottom + 1;
        double argument[kCosineBlock];
        double weight[kCosineBlock];
        double cosine[kCosineBlock];
        for (int k = 0; k < count; ++k) {
            const auto i = static_cast<std::size_t>(bottom - 1 + k);
            double r = Rate[i] * t;
            r -= kFullCircle * std::trunc(r * kTurnsPerDegree);
            argument[k] = (r + Phase[i]) * kRadiansPerDegree;
            weight[k] = Amplitude[i] * TimeFactor[i];
        }
        for (int k = count; k < kCosineBlock && k % kCosineLanes != 0; ++k)
            argument[k] = 0.0;
        Cosines(argument, cosine, count);
        for (int k = count - 1; k >= 0; --k)
            sum += cosine[k] * weight[k];
    }
    return sum;
}

float WrapLongitude(double degrees)
{
    const auto wrapped = static_cast<float>(WrapRange(kFullCircle, 0.0, degrees));
    // A value a hair below 360 rounds up to 360.0f in single precision; that
    // is the same direction as 0 and must not leave the range.
    return wrapped >= static_cast<float>(kFullCircle) ? 0.0f : wrapped;
}

float EvaluateQuantity(const TQuantity& quantity, double t)
{
    WriteTimeFactors(quantity, t);
    const auto sum = static_cast<float>(SeriesSum(quantity.first, quantity.last, t));
    switch (quantity.reduction) {
    case rdLongitude:
        return WrapLongitude(sum);
    case rdLatitude:
        return WrapLatitude(sum);
    case rdNone:
        break;
    }
    return sum;
}

float SunLongitude(double t) { return EvaluateQuantity(Quantities[qtSunLongitude], t); }
float SunDistance(double t) { return EvaluateQuantity(Quantities[qtSunDistance], t); }
float MoonLongitude(double t) { return EvaluateQuantity(Quantities[qtMoonLongitude], t); }
float MoonLatitude(double t) { return EvaluateQuantity(Quantities[qtMoonLatitude], t); }
float MoonParallax(double t) { return EvaluateQuantity(Quantities[qtMoonParallax], t); }

float MoonDistance(double t)
{
    // The parallax in radians is taken as the ratio Earth radius / distance
    // (no sine); the coefficients encode it that way.
    const double parallax = MoonParallax(t);
    return static_cast<float>(EarthRadiusAU / (parallax * kRadiansPerDegree));
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

void HelioToGeo(float sunDistance, float sunLongitude, float distance, float latitude,
                float longitude, float& geoDistance, float& geoLatitude, float& geoLongitude)
{
    const auto lon = static_cast<float>(longitude * kRadiansPerDegree);
    const auto lat = static_cast<float>(latitude * kRadiansPerDegree);
    const auto sunLon = static_cast<float>(sunLongitude * kRadiansPerDegree);

    const double planar = static_cast<double>(distance) * std::cos(static_cast<double>(lat));
    const auto x = static_cast<float>(planar * std::cos(static_cast<double>(lon))
                                      + sunDistance * std::cos(static_cast<double>(sunLon)));
    const auto y = static_cast<float>(planar * std::sin(static_cast<double>(lon))
                                      + sunDistance * std::sin(static_cast<double>(sunLon)));
    const auto z = static_cast<float>(static_cast<double>(distance) * std::sin(static_cast<double>(lat)));

    const double xx = static_cast<double>(x) * x;
    const double yy = static_cast<double>(y) * y;
    const double zz = static_cast<double>(z) * z;
    geoLongitude = WrapLongitude(std::atan2(y, x) * kDegreesPerRadian);
    const float planarDistance = SingleSqrt(static_cast<float>(xx + yy));
    geoLatitude = WrapLatitude(std::atan2(static_cast<double>(z), planarDistance) * kDegreesPerRadian);
    geoDistance = SingleSqrt(static_cast<float>(xx + yy + zz));
}

namespace {

void PositionWithSun(std::int8_t body, double t, float sunLongitude, float sunDistance, TBodyPosition& p)
{
    if (body == bdSun) {
        p = {sunDistance, 0.0f, sunLongitude};
        return;
    }
    if (body == bdMoon) {
        p.longitude = MoonLongitude(t);
        p.latitude = MoonLatitude(t);
        p.distance = MoonDistance(t);
        return;
    }
    const TQuantityId q = PlanetLongitudeQuantity(body);
    const float helioLongitude = EvaluateQuantity(Quantities[q], t);
    const float helioLatitude = EvaluateQuantity(Quantities[q + 1], t);
    const float helioDistance = EvaluateQuantity(Quantities[q + 2], t);
    HelioToGeo(sunDistance, sunLongitude, helioDistance, helioLatitude, helioLongitude, p.distance, p.latitude,
               p.longitude);
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
    TBodyPosition p;
    PositionWithSun(body, t, SunLongitude(t), SunDistance(t), p);
    distance = p.distance;
    latitude = p.latitude;
    longitude = p.longitude;
}

void BodyPositions(std::span<TBodyPosition> positions, std::int16_t year, std::int16_t month, std::int16_t day,
                   std::int8_t second, std::int8_t minute, std::int8_t hour)
{
    const double t = ClockCenturies(year, month, day, second, minute, hour);
    const float sunLongitude = SunLongitude(t);
    const float sunDistance = SunDistance(t);
    std::int8_t body = bdSun;
    for (TBodyPosition& p : positions) {
        if (body > bdPluto)
            p = {};
        else
            PositionWithSun(body, t, sunLongitude, sunDistance, p);
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
