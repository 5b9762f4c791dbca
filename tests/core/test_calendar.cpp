#include "koyomi/calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace koyomi;

TEST(Calendar, JulianDayAtKnownDates)
{
    EXPECT_EQ(JulianDay(2000, 1, 1), 2451544.5L);
    EXPECT_EQ(JulianDay(1900, 1, 1), 2415020.5L);
    EXPECT_EQ(JulianDay(1961, 1, 1), 2437300.5L);
    EXPECT_EQ(JulianDay(1582, 10, 15), 2299160.5L);
    EXPECT_EQ(JulianDay(1582, 10, 4), 2299159.5L);
    EXPECT_EQ(JulianDay(0, 1, 1), 1721057.5L);
    EXPECT_EQ(JulianDay(-4712, 1, 1), -0.5L);
}

TEST(Calendar, JulianDayContinuesWithoutValidation)
{
    EXPECT_EQ(JulianDay(1900, 1, 0), JulianDay(1899, 12, 31));
    EXPECT_EQ(JulianDay(2001, 2, 29), JulianDay(2001, 3, 1));
    // Consecutive days differ by exactly one across a long stretch.
    long double previous = JulianDay(1899, 12, 31);
    for (int d = 1; d <= 31; ++d) {
        const long double jd = JulianDay(1900, 1, static_cast<std::int16_t>(d));
        EXPECT_EQ(jd - previous, 1.0L);
        previous = jd;
    }
}

TEST(Calendar, DeltaTBranches)
{
    EXPECT_EQ(DeltaT(2415019.5), 0.0);
    EXPECT_EQ(DeltaT(2415020.0), 0.0);
    EXPECT_NEAR(DeltaT(2415020.5), -2.504, 0.001);
    EXPECT_NEAR(DeltaT(2437299.5), 34.010, 0.001);
    EXPECT_EQ(DeltaT(2437300.5), 31.3529);
    EXPECT_NEAR(DeltaT(2451544.5), 67.650, 0.001);
}

TEST(Calendar, CenturiesSinceJ2000AtNoonJapanTime)
{
    const long double t = CenturiesSinceJ2000(0, 0, 12, 2451544.5);
    const double expected = (-0.5 + (3.0 + DeltaT(2451544.5) / 3600.0) / 24.0) / 36525.0;
    EXPECT_NEAR(static_cast<double>(t), expected, 1e-15);
    EXPECT_NEAR(static_cast<double>(t), -1.02455e-05, 1e-9);
}

TEST(Calendar, WrapRangeIsPeriodic)
{
    EXPECT_EQ(WrapRange(360, 0, -30), 330);
    EXPECT_EQ(WrapRange(360, 0, 360), 0);
    EXPECT_EQ(WrapRange(360, 0, 725), 5);
    EXPECT_EQ(WrapRange(360, 0, -0.5), 359.5);
    EXPECT_EQ(WrapRange(90, -90, 100), -80);
    EXPECT_EQ(WrapRange(90, -90, 90), -90);
    EXPECT_EQ(WrapRange(90, -90, -90), -90);
}

TEST(Calendar, RoundToIntHalvesAwayFromZero)
{
    EXPECT_EQ(RoundToInt(2.5), 3);
    EXPECT_EQ(RoundToInt(-2.5), -3);
    EXPECT_EQ(RoundToInt(-1.0), -1);
    EXPECT_EQ(RoundToInt(-60.0), -60);
    EXPECT_EQ(RoundToInt(-0.4), 0);
    EXPECT_EQ(RoundToInt(1e300), INT32_MAX);
    EXPECT_EQ(RoundToInt(-1e300), INT32_MIN);
    EXPECT_EQ(RoundToInt(std::nan("")), 0);
}
