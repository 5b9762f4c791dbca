#include "tools/fitkoyomi/accuracy.h"

#include "koyomi/calendar.h"
#include "koyomi/tables.h"

#include <cmath>
#include <cstdio>
#include <ostream>

namespace fitkoyomi {

namespace {

constexpr double kArcsecPerDegree = 3600.0;
const char* const kBodyNames[koyomi::kBodyCount] = {"Sun", "Moon", "Mercury", "Venus", "Mars",
                                                    "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto"};

constexpr double kRadiansPerDegree = M_PI / 180.0;

double DoubleQuantity(koyomi::TQuantityId id, double t)
{
    const koyomi::TQuantity& q = koyomi::Quantities[id];
    for (std::int16_t term : q.timeTerms)
        if (term > 0)
            koyomi::TimeFactor[static_cast<std::size_t>(term - 1)] = t;
    const double sum = koyomi::SeriesSum(q.first, q.last, t);
    switch (q.reduction) {
    case koyomi::rdLongitude:
        return koyomi::WrapRange(360, 0, sum);
    case koyomi::rdLatitude:
        return koyomi::WrapRange(90, -90, sum);
    default:
        return sum;
    }
}

} // namespace

TSpherical DoublePrecisionPosition(int body, double t)
{
    using namespace koyomi;
    const double sunLon = DoubleQuantity(qtSunLongitude, t);
    const double sunDist = DoubleQuantity(qtSunDistance, t);
    if (body == bdSun)
        return {sunLon, 0.0, sunDist};
    if (body == bdMoon)
        return {DoubleQuantity(qtMoonLongitude, t), DoubleQuantity(qtMoonLatitude, t),
                EarthRadiusAU / (DoubleQuantity(qtMoonParallax, t) * kRadiansPerDegree)};
    const TQuantityId q = PlanetLongitudeQuantity(static_cast<std::int8_t>(body));
    const double l = DoubleQuantity(q, t) * kRadiansPerDegree;
    const double b = DoubleQuantity(static_cast<TQuantityId>(q + 1), t) * kRadiansPerDegree;
    const double r = DoubleQuantity(static_cast<TQuantityId>(q + 2), t);
    const double x = r * std::cos(b) * std::cos(l) + sunDist * std::cos(sunLon * kRadiansPerDegree);
    const double y = r * std::cos(b) * std::sin(l) + sunDist * std::sin(sunLon * kRadiansPerDegree);
    const double z = r * std::sin(b);
    return {WrapRange(360, 0, std::atan2(y, x) / kRadiansPerDegree), std::atan2(z, std::hypot(x, y)) / kRadiansPerDegree,
            std::sqrt(x * x + y * y + z * z)};
}

void TErrorStats::Add(double e)
{
    largest = std::max(largest, std::abs(e));
    sumSquares += e * e;
    ++count;
}

double TErrorStats::Rms() const { return count > 0 ? std::sqrt(sumSquares / static_cast<double>(count)) : 0.0; }

TErrorTable MeasureErrors(const std::vector<TDay>& days,
                          const std::array<std::vector<TSpherical>, koyomi::kBodyCount>& reference,
                          TPrecision precision)
{
    TErrorTable errors;
    for (std::size_t k = 0; k < days.size(); ++k) {
        const TDay& d = days[k];
        for (std::int8_t body = 0; body < koyomi::kBodyCount; ++body) {
            if (reference[body].empty())
                continue;
            double dist = 0, lat = 0, lon = 0;
            if (precision == TPrecision::Program) {
                float fDist = 0, fLat = 0, fLon = 0;
                koyomi::BodyPosition(body, d.year, d.month, d.day, 0, 0, 12, fDist, fLat, fLon);
                dist = fDist;
                lat = fLat;
                lon = fLon;
            } else {
                const TSpherical p = DoublePrecisionPosition(body, d.t);
                dist = p.distance;
                lat = p.latitude;
                lon = p.longitude;
            }
            const TSpherical& r = reference[body][k];
            errors[body].longitude.Add(std::remainder(lon - r.longitude, 360.0) * kArcsecPerDegree);
            errors[body].latitude.Add((lat - r.latitude) * kArcsecPerDegree);
            errors[body].distance.Add(dist - r.distance);
        }
    }
    return errors;
}

TErrorTable MeasureErrors(const std::vector<TDay>& days, TPrecision precision)
{
    std::array<std::vector<TSpherical>, koyomi::kBodyCount> reference;
    for (int body = 0; body < koyomi::kBodyCount; ++body)
        for (const auto& d : days)
            reference[body].push_back(ReferencePosition(body, d));
    return MeasureErrors(days, reference, precision);
}

void PrintErrors(std::ostream& out, const TErrorTable& errors)
{
    char line[200];
    std::snprintf(line, sizeof line, "%-8s %10s %9s %10s %9s %12s %11s\n", "body", "lon max\"", "rms\"",
                  "lat max\"", "rms\"", "dist max", "rms");
    out << line;
    for (int body = 0; body < koyomi::kBodyCount; ++body) {
        const TBodyErrors& e = errors[body];
        if (e.longitude.count == 0)
            continue;
        const bool moon = body == koyomi::bdMoon;
        const double scale = moon ? kKilometresPerAU : 1.0;
        std::snprintf(line, sizeof line, "%-8s %10.2f %9.2f %10.2f %9.2f %9.3g %s %8.3g %s\n", kBodyNames[body],
                      e.longitude.largest, e.longitude.Rms(), e.latitude.largest, e.latitude.Rms(),
                      e.distance.largest * scale, moon ? "km" : "AU", e.distance.Rms() * scale, moon ? "km" : "AU");
        out << line;
    }
}

} // namespace fitkoyomi
