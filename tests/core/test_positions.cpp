#include "koyomi/calendar.h"
#include "koyomi/cosines.h"
#include "koyomi/positions.h"
#include "koyomi/tables.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

using namespace koyomi;

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

// Loads a coefficient table that is zero except for the terms a test sets.
class Positions : public ::testing::Test {
protected:
    void SetUp() override
    {
        amplitude.fill(0.0);
        rate.fill(0.0);
        phase.fill(0.0);
    }
    void TearDown() override { ResetTables(); }

    void SetTerm(int term, double a, double r, double p)
    {
        amplitude[term - 1] = a;
        rate[term - 1] = r;
        phase[term - 1] = p;
    }
    void Load() { SetCoefficients(amplitude, rate, phase); }

    // Sun at a constant longitude (degrees) and distance (AU).
    void SetSun(double longitude, double distance)
    {
        SetTerm(2, longitude, 0, 0);
        SetTerm(19, distance, 0, 0);
    }

    std::array<double, kTermCount> amplitude{};
    std::array<double, kTermCount> rate{};
    std::array<double, kTermCount> phase{};
};

double NoonJst(std::int16_t y, std::int16_t m, std::int16_t d)
{
    return static_cast<double>(CenturiesSinceJ2000(0, 0, 12, static_cast<double>(JulianDay(y, m, d))));
}

} // namespace

TEST_F(Positions, SeriesSumReducesTheArgumentAndSkipsEmptyRanges)
{
    SetTerm(30, 2.0, 725.0, 0.0);
    SetTerm(31, 2.0, 5.0, 0.0);
    SetTerm(32, 1.5, -725.0, 90.0);   // a sine term
    Load();
    EXPECT_DOUBLE_EQ(SeriesSum(30, 30, 1.0), 2.0 * std::cos(5 * kDeg));
    EXPECT_DOUBLE_EQ(SeriesSum(30, 30, 1.0), SeriesSum(31, 31, 1.0));
    EXPECT_NEAR(SeriesSum(32, 32, 1.0), 1.5 * std::cos(85 * kDeg), 1e-15);
    EXPECT_NEAR(SeriesSum(30, 32, 1.0), 4.0 * std::cos(5 * kDeg) + 1.5 * std::cos(85 * kDeg), 1e-14);
    EXPECT_EQ(SeriesSum(31, 30, 1.0), 0.0);
}

TEST_F(Positions, TimeTermsAreMultipliedByTheirOwnDate)
{
    // Sun longitude: constant 100 + T-term 36000 * T; distance: 1 + T-term 0.01 * T.
    SetTerm(2, 100.0, 0, 0);
    SetTerm(1, 36000.0, 0, 0);
    SetTerm(19, 1.0, 0, 0);
    SetTerm(22, 0.01, 0, 0);
    Load();
    const double t1 = NoonJst(1950, 6, 1);
    const double t2 = NoonJst(2040, 3, 15);
    const float fresh = SunLongitude(t2);
    (void)SunLongitude(t1);  // leaves TimeFactor holding t1
    (void)SunDistance(t1);
    EXPECT_EQ(SunLongitude(t2), fresh);
    EXPECT_NEAR(SunLongitude(t2), WrapRange(360, 0, static_cast<float>(100.0 + 36000.0 * t2)), 1e-3);
    EXPECT_NEAR(SunDistance(t2), 1.0 + 0.01 * t2, 1e-7);
    EXPECT_EQ(TimeFactor[0], t2);
    EXPECT_EQ(TimeFactor[1], 1.0);  // term 2 is no T-term

    // The same through BodyPosition: another date in between changes nothing.
    float d1, b1, l1, d2, b2, l2;
    BodyPosition(bdSun, 2040, 3, 15, 0, 0, 12, d1, b1, l1);
    BodyPosition(bdSun, 1901, 1, 1, 0, 0, 12, d2, b2, l2);
    BodyPosition(bdSun, 2040, 3, 15, 0, 0, 12, d2, b2, l2);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(d1, d2);
}

TEST_F(Positions, LongitudesAreReducedIntoTheCircle)
{
    SetTerm(2, -0.5, 0, 0);
    Load();
    EXPECT_FLOAT_EQ(SunLongitude(0.3), 359.5f);

    SetTerm(2, 360.0, 0, 0);
    Load();
    EXPECT_EQ(SunLongitude(0.3), 0.0f);

    SetTerm(2, 725.0, 0, 0);
    Load();
    EXPECT_FLOAT_EQ(SunLongitude(0.3), 5.0f);

    // Just below 0: wrapped in double it is 359.999999..., which single
    // precision would round up to 360.
    SetTerm(2, -1e-6, 0, 0);
    Load();
    EXPECT_EQ(SunLongitude(0.3), 0.0f);
    EXPECT_EQ(WrapLongitude(-1e-6), 0.0f);
    EXPECT_LT(WrapLongitude(-1e-4), 360.0f);
    EXPECT_GT(WrapLongitude(-1e-4), 359.99f);
}

TEST_F(Positions, LatitudesWrapPeriodically)
{
    SetTerm(221, 100.0, 0, 0);
    SetTerm(222, 0.0, 0, 0);
    Load();
    EXPECT_FLOAT_EQ(MoonLatitude(0.0), -80.0f);
}

TEST_F(Positions, SunHasLatitudeZeroAndItsOwnLongitudeAndDistance)
{
    SetSun(123.25, 0.985);
    SetTerm(3, 1.9, 35999.05, 357.5);  // a periodic term, so latitude 0 is no accident
    Load();
    float d, b, l;
    BodyPosition(bdSun, 1987, 7, 7, 0, 0, 12, d, b, l);
    const double t = NoonJst(1987, 7, 7);
    EXPECT_EQ(b, 0.0f);
    EXPECT_FALSE(std::signbit(b));
    EXPECT_EQ(l, SunLongitude(t));
    EXPECT_EQ(d, SunDistance(t));
    EXPECT_FLOAT_EQ(d, 0.985f);
}

TEST_F(Positions, BodyCoordinatePicksOneComponent)
{
    SetSun(10.0, 1.0);
    SetTerm(310, 0.0, 0, 0);
    SetTerm(311, 90.0, 0, 0);   // Mercury heliocentric longitude 90
    SetTerm(337, 0.0, 0, 0);
    SetTerm(357, 1.0, 0, 0);    // distance 1
    Load();
    float d, b, l;
    BodyPosition(bdMercury, 2001, 2, 3, 0, 0, 12, d, b, l);
    EXPECT_EQ(BodyCoordinate(bdMercury, 0, 2001, 2, 3, 0, 0, 12), l);
    EXPECT_EQ(BodyCoordinate(bdMercury, 1, 2001, 2, 3, 0, 0, 12), b);
    EXPECT_EQ(BodyCoordinate(bdMercury, 2, 2001, 2, 3, 0, 0, 12), d);
    EXPECT_EQ(BodyCoordinate(bdMercury, 3, 2001, 2, 3, 0, 0, 12), 0.0f);
    EXPECT_EQ(BodyCoordinate(bdMercury, 7, 2001, 2, 3, 0, 0, 12), 0.0f);
    EXPECT_EQ(BodyCoordinate(bdMercury, -1, 2001, 2, 3, 0, 0, 12), 0.0f);
    EXPECT_NE(l, 0.0f);
}

TEST_F(Positions, MoonDistanceComesFromTheParallaxWithoutSine)
{
    SetTerm(158, 0.0, 0, 0);
    SetTerm(159, 42.0, 0, 0);
    SetTerm(221, 3.5, 0, 0);
    SetTerm(266, 0.95, 0, 0);
    Load();
    float d, b, l;
    BodyPosition(bdMoon, 2024, 1, 1, 0, 0, 12, d, b, l);
    EXPECT_FLOAT_EQ(l, 42.0f);
    EXPECT_FLOAT_EQ(b, 3.5f);
    EXPECT_FLOAT_EQ(d, static_cast<float>(kEarthRadiusAU / (0.95 * kDeg)));
}

TEST_F(Positions, HelioToGeoAddsTheSunsVector)
{
    float d, b, l;
    // Earth-Sun and Sun-planet at right angles in the ecliptic.
    HelioToGeo(1.0f, 0.0f, 1.0f, 0.0f, 90.0f, d, b, l);
    EXPECT_NEAR(l, 45.0f, 1e-5);
    EXPECT_NEAR(b, 0.0f, 1e-6);
    EXPECT_NEAR(d, std::sqrt(2.0f), 1e-6);

    // A planet above the ecliptic, seen across the Sun.
    HelioToGeo(1.0f, 180.0f, 1.0f, 30.0f, 180.0f, d, b, l);
    EXPECT_NEAR(l, 180.0f, 1e-4);
    const double x = 1.0 + std::cos(30 * kDeg);
    EXPECT_NEAR(b, std::atan2(0.5, x) / kDeg, 1e-4);
    EXPECT_NEAR(d, std::sqrt(x * x + 0.25), 1e-6);

    // A direction just below the x axis comes back as 359.5, not -0.5.
    const float tiny = static_cast<float>(std::tan(-0.5 * kDeg));
    HelioToGeo(1.0f, 0.0f, std::abs(tiny), 0.0f, 270.0f, d, b, l);
    EXPECT_NEAR(l, 359.5f, 1e-4);
}

TEST_F(Positions, PlanetsAreSeenFromTheEarth)
{
    // Sun at 0 degrees, 1 AU: the Earth lies at 180 seen from the Sun. Jupiter
    // at heliocentric longitude 0, 5 AU, appears at 0 and 6 AU away.
    SetSun(0.0, 1.0);
    SetTerm(457, 0.0, 0, 0);
    SetTerm(503, 5.0, 0, 0);
    Load();
    float d, b, l;
    BodyPosition(bdJupiter, 2010, 5, 5, 0, 0, 12, d, b, l);
    EXPECT_NEAR(d, 6.0f, 1e-6);
    EXPECT_NEAR(b, 0.0f, 1e-6);
    EXPECT_EQ(l, 0.0f);
}

TEST_F(Positions, NoonInJapanIsThreeHoursUniversalTimePlusDeltaT)
{
    // A Sun longitude of 1 degree per day of dynamical time, zero at J2000.0.
    SetTerm(1, 36525.0, 0, 0);
    Load();
    const double jd = static_cast<double>(JulianDay(2000, 1, 1));
    const double days = jd - kJulianDayJ2000 + (3.0 + DeltaT(jd) / 3600.0) / 24.0;
    EXPECT_NEAR(BodyCoordinate(bdSun, 0, 2000, 1, 1, 0, 0, 12), WrapRange(360, 0, days), 1e-4);
}

TEST(SingleSqrt, RoundsTheDoubleRoot)
{
    EXPECT_EQ(SingleSqrt(4.0f), 2.0f);
    EXPECT_EQ(SingleSqrt(2.0f), static_cast<float>(std::sqrt(2.0)));
    EXPECT_EQ(SingleSqrt(0.0f), 0.0f);
}

// Terms are added from the last one down: with cosines of exactly 1, 1e16 and
// -1e16 cancel before the 1 is added (in the other order the 1 is lost).
// Several runs summed together give each run's sum to the last bit: runs that
// follow one another, runs apart, empty and reversed runs, runs longer than
// one block, more terms than the buffer holds, a run longer than it, and
// more one-term runs than one batch takes.
TEST(CosineTerms, AddedFromTheLastTermDownAndSeveralRunsAsEachAlone)
{
    constexpr int kTerms = 3000;
    std::vector<double> amplitude(kTerms), factor(kTerms, 1.0), rate(kTerms), phase(kTerms);
    for (int i = 0; i < kTerms; ++i) {
        amplitude[i] = 1.0 + 0.37 * std::sin(i * 1.3);
        factor[i] = i % 5 == 0 ? 0.25 : 1.0;
        rate[i] = 36000.0 * std::cos(i * 0.7) + i;
        phase[i] = std::fmod(i * 47.0, 360.0);
    }
    for (int i : {10, 11, 12}) {
        rate[i] = 0.0;
        phase[i] = 0.0;
        factor[i] = 1.0;
    }
    amplitude[10] = 1.0;
    amplitude[11] = 1e16;
    amplitude[12] = -1e16;
    const TCosineTerms terms{amplitude.data(), factor.data(), rate.data(), phase.data()};
    EXPECT_EQ(SumCosineTerms(terms, 10, 13, 0.5), 1.0);

    std::vector<TTermRun> runs = {{0, 18},      {18, 27},   {157, 220}, {220, 265}, {300, 300}, {310, 305},
                                  {265, 309},   {10, 13},   {0, 1500},  {1500, 2999}, {5, 6},   {100, 1200},
                                  {2000, 2001}, {0, kTerms}};
    for (int i = 0; i < 300; ++i)
        runs.push_back({2500 + i, 2501 + i});
    for (const TTermRun run : {TTermRun{40, 170}, {0, 1000}, {1000, 1100}, {600, 1020}, {2000, 2500}, {2500, 2990}})
        runs.push_back(run);
    for (const double t : {-3.7, 0.0, 0.25, 12.5}) {
        std::vector<double> sums(runs.size(), -1.0);
        SumCosineTerms(terms, runs.data(), static_cast<int>(runs.size()), t, sums.data());
        for (std::size_t j = 0; j < runs.size(); ++j)
            EXPECT_EQ(std::bit_cast<std::uint64_t>(sums[j]),
                      std::bit_cast<std::uint64_t>(SumCosineTerms(terms, runs[j].begin, runs[j].end, t)))
                << "run " << j << " at T " << t;
    }
}
