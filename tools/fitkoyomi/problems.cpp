#include "tools/fitkoyomi/problems.h"

#include "koyomi/tables.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace fitkoyomi {

namespace {

using namespace koyomi;

constexpr double kRadiansPerDegree = M_PI / 180.0;
constexpr double kDegreesPerRadian = 180.0 / M_PI;
constexpr double kFullCircle = 360.0;

struct TVector {
    double x, y, z;
};

TVector ToVector(double distance, double latitude, double longitude)
{
    const double b = latitude * kRadiansPerDegree, l = longitude * kRadiansPerDegree;
    return {distance * std::cos(b) * std::cos(l), distance * std::cos(b) * std::sin(l), distance * std::sin(b)};
}

// Unwraps a longitude series into a continuous one and shifts it by whole
// turns so that its range over the main years is centred on zero.
void UnwrapLongitude(std::vector<double>& y, const std::vector<double>& rangeWeight)
{
    for (std::size_t k = 1; k < y.size(); ++k)
        y[k] -= kFullCircle * std::round((y[k] - y[k - 1]) / kFullCircle);
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (std::size_t k = 0; k < y.size(); ++k)
        if (rangeWeight[k] >= 1.0) {
            lo = std::min(lo, y[k]);
            hi = std::max(hi, y[k]);
        }
    const double shift = kFullCircle * std::round((lo + hi) / 2 / kFullCircle);
    for (double& v : y)
        v -= shift;
}

int PlanetComponent(TQuantityId q) { return (q - qtMercuryLongitude) % 3; }
std::int8_t PlanetOf(TQuantityId q) { return static_cast<std::int8_t>(bdMercury + (q - qtMercuryLongitude) / 3); }

bool IsTimeSlot(const TQuantity& quantity, int term)
{
    return std::find(quantity.timeTerms.begin(), quantity.timeTerms.end(), term) != quantity.timeTerms.end();
}

} // namespace

TReferenceSet MakeReferenceSet(int fromYear, int toYear, int mainFrom, int mainTo, double outsideWeight,
                               const std::array<bool, kBodyCount>& bodies)
{
    TReferenceSet set;
    set.days = DaysOfYears(fromYear, toYear);
    for (const auto& d : set.days)
        set.rangeWeight.push_back(d.year >= mainFrom && d.year <= mainTo ? 1.0 : outsideWeight);
    for (int body = 0; body < kBodyCount; ++body) {
        if (body != bdSun && !bodies[body])
            continue;
        auto& list = set.positions[body];
        list.reserve(set.days.size());
        for (const auto& d : set.days)
            list.push_back(ReferencePosition(body, d));
    }
    return set;
}

int DefaultStepDays(TQuantityId quantity)
{
    if (quantity < qtMercuryLongitude)
        return 1;
    return quantity < qtJupiterLongitude ? 2 : 4;
}

TFitData MakeProblem(const TReferenceSet& full, TQuantityId quantity, int stepDays)
{
    // The reference thinned to the step.
    TReferenceSet reference;
    for (std::size_t k = 0; k < full.days.size(); k += static_cast<std::size_t>(stepDays)) {
        reference.days.push_back(full.days[k]);
        reference.rangeWeight.push_back(full.rangeWeight[k]);
        for (int body = 0; body < kBodyCount; ++body)
            if (!full.positions[body].empty())
                reference.positions[body].push_back(full.positions[body][k]);
    }
    TFitData data;
    data.stepDays = stepDays;
    const std::size_t n = reference.days.size();
    for (const auto& d : reference.days)
        data.t.push_back(d.t);
    data.w = reference.rangeWeight;
    for (double w : reference.rangeWeight)
        data.mainYears.push_back(w >= 1.0);
    data.y.resize(n);
    const auto& sun = reference.positions[bdSun];
    const auto& moon = reference.positions[bdMoon];
    switch (quantity) {
    case qtSunLongitude:
        for (std::size_t k = 0; k < n; ++k)
            data.y[k] = sun[k].longitude;
        UnwrapLongitude(data.y, reference.rangeWeight);
        return data;
    case qtSunDistance:
        for (std::size_t k = 0; k < n; ++k)
            data.y[k] = sun[k].distance;
        return data;
    case qtMoonLongitude:
        for (std::size_t k = 0; k < n; ++k)
            data.y[k] = moon[k].longitude;
        UnwrapLongitude(data.y, reference.rangeWeight);
        return data;
    case qtMoonLatitude:
        for (std::size_t k = 0; k < n; ++k)
            data.y[k] = moon[k].latitude;
        return data;
    case qtMoonParallax:
        for (std::size_t k = 0; k < n; ++k)
            data.y[k] = kEarthRadiusAU / moon[k].distance * kDegreesPerRadian;
        return data;
    default:
        break;
    }
    if (quantity < qtMercuryLongitude || quantity >= qtCount)
        throw std::invalid_argument("no such quantity");
    const int component = PlanetComponent(quantity);
    const auto& planet = reference.positions[PlanetOf(quantity)];
    if (planet.empty())
        throw std::logic_error("reference of the planet was not computed");
    for (std::size_t k = 0; k < n; ++k) {
        const TVector g = ToVector(planet[k].distance, planet[k].latitude, planet[k].longitude);
        const TVector s = ToVector(sun[k].distance, 0.0, sun[k].longitude);
        const TVector h{g.x - s.x, g.y - s.y, g.z - s.z};
        const double r = std::sqrt(h.x * h.x + h.y * h.y + h.z * h.z);
        const double latitude = std::atan2(h.z, std::hypot(h.x, h.y)) * kDegreesPerRadian;
        const double longitude = std::atan2(h.y, h.x) * kDegreesPerRadian;
        const double geo = planet[k].distance;
        double reach = 0;  // geocentric degrees moved by one unit of the series
        switch (component) {
        case 0:
            data.y[k] = longitude;
            reach = r * std::cos(latitude * kRadiansPerDegree) / geo;
            break;
        case 1:
            data.y[k] = latitude;
            reach = r / geo;
            break;
        default:
            data.y[k] = r;
            reach = kDegreesPerRadian / geo;
            break;
        }
        data.w[k] *= reach * reach;
    }
    if (component == 0)
        UnwrapLongitude(data.y, reference.rangeWeight);
    return data;
}

TGrowOptions GrowOptionsOf(TQuantityId quantity)
{
    // Mean motions, degrees per Julian century (Mercury ... Pluto; Earth).
    constexpr double kMeanMotion[] = {149472.6746, 58517.8157, 19140.2993, 3034.9057,
                                      1222.1138,   428.4670,   218.4862,   145.1950};
    constexpr double kEarthMeanMotion = 35999.3729;
    constexpr int kHarmonics = 12;
    constexpr int kEarthCombinations = 4;
    TGrowOptions options;
    if (quantity < qtMercuryLongitude)
        return options;
    const double n = kMeanMotion[PlanetOf(quantity) - bdMercury];
    for (int k = 1; k <= kHarmonics; ++k)
        options.hintRates.push_back(k * n * kRadiansPerDegree);
    for (int j = 1; j <= 2; ++j)
        for (int k = -kEarthCombinations; k <= kEarthCombinations; ++k) {
            const double rate = std::abs(j * kEarthMeanMotion + k * n);
            if (rate > 0)
                options.hintRates.push_back(rate * kRadiansPerDegree);
        }
    return options;
}

TFitBudget BudgetOf(const TQuantity& quantity)
{
    TFitBudget budget;
    for (std::int16_t term : quantity.timeTerms)
        if (term > 0)
            ++budget.timeTerms;
    budget.plainTerms = quantity.last - quantity.first + 1 - budget.timeTerms;
    return budget;
}

TFitSeries StartingSeries(const TQuantity& quantity)
{
    TFitSeries series{{0.0, false, 0.0, 0.0}};
    if (quantity.reduction == rdLongitude)
        series.push_back({0.0, true, 0.0, 0.0});
    return series;
}

void PlaceSeries(const TQuantity& quantity, const TFitSeries& series, CoefficientTable& table)
{
    std::vector<int> timeSlots, plainSlots;
    for (int term = quantity.first; term <= quantity.last; ++term)
        (IsTimeSlot(quantity, term) ? timeSlots : plainSlots).push_back(term);
    std::vector<TFitTerm> timeTerms, plainTerms;
    for (const auto& term : series)
        (term.timeTerm ? timeTerms : plainTerms).push_back(term);
    if (timeTerms.size() > timeSlots.size() || plainTerms.size() > plainSlots.size())
        throw std::logic_error(std::string("too many terms for ") + quantity.name);
    const auto byAmplitude = [](const TFitTerm& x, const TFitTerm& y) {
        return std::hypot(x.a, x.b) > std::hypot(y.a, y.b);
    };
    std::stable_sort(timeTerms.begin(), timeTerms.end(), byAmplitude);
    std::stable_sort(plainTerms.begin(), plainTerms.end(), byAmplitude);
    const auto put = [&](int slot, const TFitTerm* term) {
        const auto i = static_cast<std::size_t>(slot - 1);
        table.quantity[i] = quantity.name;
        table.amplitude[i] = 0;
        table.rate[i] = 0;
        table.phase[i] = 0;
        if (!term)
            return;
        table.rate[i] = term->rate * kDegreesPerRadian;
        if (term->rate == 0.0) {
            table.amplitude[i] = term->a;
            return;
        }
        table.amplitude[i] = std::hypot(term->a, term->b);
        double phase = std::atan2(-term->b, term->a) * kDegreesPerRadian;
        if (phase < 0)
            phase += kFullCircle;
        table.phase[i] = phase;
    };
    for (std::size_t i = 0; i < timeSlots.size(); ++i)
        put(timeSlots[i], i < timeTerms.size() ? &timeTerms[i] : nullptr);
    for (std::size_t i = 0; i < plainSlots.size(); ++i)
        put(plainSlots[i], i < plainTerms.size() ? &plainTerms[i] : nullptr);
}

TFitSeries SeriesFromTable(const TQuantity& quantity, const CoefficientTable& table)
{
    TFitSeries series;
    for (int term = quantity.first; term <= quantity.last; ++term) {
        const auto i = static_cast<std::size_t>(term - 1);
        if (table.amplitude[i] == 0.0)
            continue;
        TFitTerm t;
        t.timeTerm = IsTimeSlot(quantity, term);
        t.rate = table.rate[i] * kRadiansPerDegree;
        const double phase = table.phase[i] * kRadiansPerDegree;
        t.a = table.amplitude[i] * std::cos(phase);
        t.b = -table.amplitude[i] * std::sin(phase);
        if (t.rate == 0.0)
            t.b = 0.0;
        series.push_back(t);
    }
    return series;
}

std::string CoefficientFileHeader(int fromYear, int toYear, int mainFrom, int mainTo, double outsideWeight)
{
    std::ostringstream h;
    h << "Coefficients of the KOYOMI block: term n is A * cos(rate * T + phase), times T for\n"
         "the T-terms, T in Julian centuries of dynamical time from J2000.0 as the program\n"
         "computes it (its own ΔT included, so the series absorb that ΔT's error).\n"
         "A in degrees (angles) or astronomical units (distances), rate in degrees per\n"
         "century, phase in degrees.\n"
         "\n"
         "Made by tools/fitkoyomi (least squares against the Swiss Ephemeris, built-in\n"
         "Moshier mode, apparent positions at 03:00 UT = 12:00 Japan time, every day of\n"
      << fromYear << "-" << toYear << ", weight 1 in " << mainFrom << "-" << mainTo << " and " << outsideWeight
      << " outside). Do not edit by hand.\n"
         "\n"
         "What each series is:\n"
         "  sun.lon, sun.dist        apparent geocentric Sun: longitude of the true equinox\n"
         "                           of date (nutation, aberration) and distance.\n"
         "  moon.lon, moon.lat       apparent geocentric Moon.\n"
         "  moon.parallax            Earth radius / apparent Moon distance, in degrees.\n"
         "  <planet>.lon/.lat/.dist  not the geometric heliocentric orbit: the vector from\n"
         "                           the apparent Sun (latitude 0) to the apparent planet,\n"
         "                           so that adding the Sun's vector gives the apparent\n"
         "                           geocentric planet; light-time, aberration and\n"
         "                           nutation are folded in.\n"
         "Longitude sums are continuous in time, shifted by whole turns to lie near 0 in\n"
         "the main years; the program reduces them into [0, 360).\n";
    return h.str();
}

} // namespace fitkoyomi
