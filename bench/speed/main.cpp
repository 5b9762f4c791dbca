// Speed of the position computation (Google Benchmark).
//
// BodyPosition per body; one whole star reading (3 birth and 10 day positions
// by BodyPositions, the Sun's sums once per date, each direction's
// colatitude turned into its cosine and sine once, 30 angles and aspect
// scores); the series alone per term; libnova computing the same 13
// geocentric positions (and the Swiss Ephemeris in the fitter's build, which
// links it); one scalar cos call; the month calendar's 42 readings (target:
// under 2 ms), a year of calendar-file events (target: under 50 ms) and the
// days good for two members over a year (target: under 20 ms). After the runs
// it prints how many series terms a star reading sums, the time per term
// against one cos call (for the whole reading and for the series alone), and
// how many times faster the star reading is than the other libraries.

#include "koyomi/aspects.h"
#include "koyomi/calendar.h"
#include "koyomi/coeffile.h"
#include "koyomi/cosines.h"
#include "koyomi/daypositions.h"
#include "koyomi/positions.h"
#include "koyomi/tables.h"
#include "reading/monthgrid.h"
#include "reading/pairdays.h"
#include "reading/verdict.h"
#include "start/icalendar.h"

#if defined(MIRVO_BENCH_SWE)
#include "tools/fitkoyomi/reference.h"
#endif

#include <benchmark/benchmark.h>
#include <libnova/libnova.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace koyomi;

constexpr int kAxisCount = 3;
constexpr int kDaysCycled = 4096;  // the day advances with every iteration
constexpr double kNoonJstInDays = 0.125;  // 03:00 UT

struct TDate {
    std::int16_t year, month, day;
};

TDate DayAfter(int offset)
{
    // 2024-01-01 plus offset days, by the program's own day numbers.
    const double jd = static_cast<double>(JulianDay(2024, 1, 1)) + offset + 0.5;
    const long z = static_cast<long>(jd);
    const long alpha = static_cast<long>((z - 1867216.25) / 36524.25);
    const long a = z + 1 + alpha - alpha / 4;
    const long b = a + 1524;
    const long c = static_cast<long>((b - 122.1) / 365.25);
    const long d = static_cast<long>(365.25 * c);
    const long e = static_cast<long>((b - d) / 30.6001);
    const auto day = static_cast<std::int16_t>(b - d - static_cast<long>(30.6001 * e));
    const auto month = static_cast<std::int16_t>(e < 14 ? e - 1 : e - 13);
    const auto year = static_cast<std::int16_t>(month > 2 ? c - 4716 : c - 4715);
    return {year, month, day};
}

int TermsOf(std::int8_t body)
{
    const auto count = [](TQuantityId q) { return Quantities[q].last - Quantities[q].first + 1; };
    int terms = count(qtSunLongitude) + count(qtSunDistance);
    if (body == bdMoon)
        terms += count(qtMoonLongitude) + count(qtMoonLatitude) + count(qtMoonParallax);
    else if (body >= bdMercury) {
        const TQuantityId q = PlanetLongitudeQuantity(body);
        terms += count(q) + count(static_cast<TQuantityId>(q + 1)) + count(static_cast<TQuantityId>(q + 2));
    }
    return terms;
}

// The terms a star reading sums: the Sun's once per date (BodyPositions).
int TermsOfStarReading()
{
    const int sun = TermsOf(bdSun);
    int terms = 2 * sun;
    for (std::int8_t axis = 1; axis < kAxisCount; ++axis)
        terms += TermsOf(axis) - sun;
    for (std::int8_t body = 1; body < kBodyCount; ++body)
        terms += TermsOf(body) - sun;
    return terms;
}

void BM_BodyPosition(benchmark::State& state)
{
    const auto body = static_cast<std::int8_t>(state.range(0));
    int i = 0;
    for (auto _ : state) {
        const TDate d = DayAfter(i++ % kDaysCycled);
        float dist, lat, lon;
        BodyPosition(body, d.year, d.month, d.day, 0, 0, mirvo::kNoonHour, dist, lat, lon);
        benchmark::DoNotOptimize(lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(dist);
    }
    state.counters["terms"] = TermsOf(body);
}
BENCHMARK(BM_BodyPosition)->DenseRange(0, kBodyCount - 1);

void BM_StarReading(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        const TDate birth = DayAfter(-(i % kDaysCycled) * 7);
        const TDate today = DayAfter(i % kDaysCycled);
        ++i;
        std::array<TBodyPosition, kAxisCount> natal;
        std::array<TBodyPosition, kBodyCount> day;
        BodyPositions(natal, birth.year, birth.month, birth.day, 0, 0, mirvo::kNoonHour);
        BodyPositions(day, today.year, today.month, today.day, 0, 0, mirvo::kNoonHour);
        std::array<TSkyPoint, kAxisCount> natalPoints;
        for (int axis = 0; axis < kAxisCount; ++axis)
            natalPoints[axis] = SkyPoint(natal[axis].latitude, natal[axis].longitude);
        int total = 0;
        for (std::int8_t body = 0; body < kBodyCount; ++body) {
            const TSkyPoint dayPoint = SkyPoint(day[body].latitude, day[body].longitude);
            for (std::int8_t axis = 0; axis < kAxisCount; ++axis)
                total += AspectScore(axis, body, AngularSeparation(dayPoint, natalPoints[axis]));
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["terms"] = TermsOfStarReading();
}
BENCHMARK(BM_StarReading);

// The month window's grid: 42 whole readings of one member, the birth
// positions once, each day's ten positions once for the three axes.
void BM_MonthGrid(benchmark::State& state)
{
    const mirvo::TMemberDays member(EncodeDate(1970, 1, 2), mirvo::EvalSettings{});
    int i = 0;
    for (auto _ : state) {
        int year = 2024, month = 1;
        mirvo::StepMonth(year, month, i++ % 120);
        const mirvo::MonthGrid grid = mirvo::MakeMonthGrid(member, year, month);
        benchmark::DoNotOptimize(grid.cells.back().evaluation.verdict.adviceId);
    }
}
BENCHMARK(BM_MonthGrid)->Unit(benchmark::kMillisecond);

// A calendar file of 365 days: the readings and the iCalendar text.
void BM_YearOfEvents(benchmark::State& state)
{
    mirvo::TMemberListItem member;
    member.Name = "山田花子";
    member.Birthday = EncodeDate(1970, 1, 2);
    const mirvo::TMemberDays days(member.Birthday, mirvo::EvalSettings{});
    int i = 0;
    for (auto _ : state) {
        const std::string calendar =
            mirvo::MakeIcsCalendar(member, days.Days(EncodeDate(2026, 1, 1) + (i++ % 64), 365), 46000.0);
        benchmark::DoNotOptimize(calendar.data());
    }
}
BENCHMARK(BM_YearOfEvents)->Unit(benchmark::kMillisecond);

// The days good for both of two members over a year (target: under 20 ms).
void BM_GoodDaysForBothYear(benchmark::State& state)
{
    const mirvo::TMemberDays first(EncodeDate(1970, 1, 2), mirvo::EvalSettings{});
    const mirvo::TMemberDays second(EncodeDate(1985, 7, 19), mirvo::EvalSettings{});
    int i = 0;
    for (auto _ : state) {
        const auto days = mirvo::GoodDaysForBoth(first, second, EncodeDate(2026, 1, 1) + (i++ % 64), 365);
        benchmark::DoNotOptimize(days.data());
    }
}
BENCHMARK(BM_GoodDaysForBothYear)->Unit(benchmark::kMillisecond);

// libnova's geocentric ecliptic position and distance of one body.
void NovaPosition(int body, double jd, ln_lnlat_posn& ecl, double& distance)
{
    ln_equ_posn equ{};
    switch (body) {
    case 0:
        ln_get_solar_ecl_coords(jd, &ecl);
        distance = ln_get_earth_solar_dist(jd);
        return;
    case 1:
        ln_get_lunar_ecl_coords(jd, &ecl, 0);
        distance = ln_get_lunar_earth_dist(jd);
        return;
    case 2: ln_get_mercury_equ_coords(jd, &equ); distance = ln_get_mercury_earth_dist(jd); break;
    case 3: ln_get_venus_equ_coords(jd, &equ); distance = ln_get_venus_earth_dist(jd); break;
    case 4: ln_get_mars_equ_coords(jd, &equ); distance = ln_get_mars_earth_dist(jd); break;
    case 5: ln_get_jupiter_equ_coords(jd, &equ); distance = ln_get_jupiter_earth_dist(jd); break;
    case 6: ln_get_saturn_equ_coords(jd, &equ); distance = ln_get_saturn_earth_dist(jd); break;
    case 7: ln_get_uranus_equ_coords(jd, &equ); distance = ln_get_uranus_earth_dist(jd); break;
    case 8: ln_get_neptune_equ_coords(jd, &equ); distance = ln_get_neptune_earth_dist(jd); break;
    default: ln_get_pluto_equ_coords(jd, &equ); distance = ln_get_pluto_earth_dist(jd); break;
    }
    ln_get_ecl_from_equ(&equ, jd, &ecl);
}

void BM_LibnovaThirteenPositions(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        const double today = static_cast<double>(JulianDay(2024, 1, 1)) + kNoonJstInDays + (i % kDaysCycled);
        const double birth = today - (i % kDaysCycled) * 8.0;
        ++i;
        ln_lnlat_posn ecl{};
        double distance = 0;
        for (int axis = 0; axis < kAxisCount; ++axis) {
            NovaPosition(axis, birth, ecl, distance);
            benchmark::DoNotOptimize(ecl);
        }
        for (int body = 0; body < kBodyCount; ++body) {
            NovaPosition(body, today, ecl, distance);
            benchmark::DoNotOptimize(ecl);
            benchmark::DoNotOptimize(distance);
        }
    }
}
BENCHMARK(BM_LibnovaThirteenPositions)->Unit(benchmark::kMicrosecond);

#if defined(MIRVO_BENCH_SWE)
// The Swiss Ephemeris (built-in Moshier theory) computing the same 13
// positions; only in the fitter's build, which links it.
void BM_SwissEphemerisThirteenPositions(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        const TDate today = DayAfter(i % kDaysCycled);
        const TDate birth = DayAfter(-(i % kDaysCycled) * 7);
        ++i;
        const fitkoyomi::TDay todayDay = fitkoyomi::MakeDay(today.year, today.month, today.day);
        const fitkoyomi::TDay birthDay = fitkoyomi::MakeDay(birth.year, birth.month, birth.day);
        for (int axis = 0; axis < kAxisCount; ++axis)
            benchmark::DoNotOptimize(fitkoyomi::ReferencePosition(axis, birthDay));
        for (int body = 0; body < kBodyCount; ++body)
            benchmark::DoNotOptimize(fitkoyomi::ReferencePosition(body, todayDay));
    }
}
BENCHMARK(BM_SwissEphemerisThirteenPositions)->Unit(benchmark::kMicrosecond);
#endif

// The series alone: all 672 terms at one date, per term.
void BM_SeriesTerm(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        const double t = 0.25 + (i++ % kDaysCycled) / 36525.0;
        benchmark::DoNotOptimize(SeriesSum(1, kTermCount, t));
    }
    state.SetItemsProcessed(state.iterations() * kTermCount);
}
BENCHMARK(BM_SeriesTerm);

// One cos call with arguments in the range the series pass (within +-4 pi).
void BM_Cos(benchmark::State& state)
{
    constexpr double kStep = 1.2345;
    constexpr double kLimit = 12.0;
    double x = 0.1;
    for (auto _ : state) {
        x += kStep;
        if (x > kLimit)
            x -= 2 * kLimit;
        benchmark::DoNotOptimize(std::cos(x));
    }
}
BENCHMARK(BM_Cos);

// Keeps the per-iteration CPU time of every run for the summary.
class TSummaryReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs)
            Nanoseconds[run.benchmark_name()] =
                run.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Nanoseconds;
};

} // namespace

int main(int argc, char** argv)
{
    try {
        const CoefficientTable table = ReadCoefficientFile(MIRVO_KOYOMI_COEFFICIENTS);
        SetCoefficients(table.amplitude, table.rate, table.phase);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_speed: %s\n", e.what());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TSummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& ns = reporter.Nanoseconds;
    const auto reading = ns.find("BM_StarReading");
    const auto nova = ns.find("BM_LibnovaThirteenPositions");
    const auto cosine = ns.find("BM_Cos");
    const auto series = ns.find("BM_SeriesTerm");
    const auto swe = ns.find("BM_SwissEphemerisThirteenPositions");
    if (reading == ns.end())
        return 0;
    const int terms = TermsOfStarReading();
    std::printf("\nstar reading: %d series terms, %.1f us, %.2f ns per term", terms, reading->second / 1000,
                reading->second / terms);
    if (cosine != ns.end())
        std::printf(" (one cos call: %.2f ns, ratio %.2f)", cosine->second, reading->second / terms / cosine->second);
    std::printf(" [cosines: %s]\n", CosineKernelName());
    if (swe != ns.end())
        std::printf("the Swiss Ephemeris, the same 13 positions: %.1f us, %.1f times the star reading's time\n",
                    swe->second / 1000, swe->second / reading->second);
    if (series != ns.end() && cosine != ns.end())
        std::printf("the series alone: %.2f ns per term, %.2f cos calls\n", series->second / kTermCount,
                    series->second / kTermCount / cosine->second);
    if (nova != ns.end())
        std::printf("libnova, the same 13 positions: %.1f us, %.0f times the star reading's time\n",
                    nova->second / 1000, nova->second / reading->second);
    return 0;
}
