#include "koyomi/datetime.h"
#include "reading/biorhythm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace mirvo;

namespace {
const Cycles kDefaultCycles = {23, 28, 33};
}

TEST(Biorhythm, WorkedExamples)
{
    struct Case {
        double days;
        std::array<int, 3> phase, percent;
    };
    const Case cases[] = {
        {7, {110, 90, 76}, {94, 100, 97}},
        {21, {329, 270, 229}, {-52, -100, -76}},
        {-1, {-16, -13, -11}, {-27, -22, -19}},
        {0, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const BioReading r = CalcBiorhythm(kDefaultCycles, c.days);
        for (int k = 0; k < kAxisCount; ++k) {
            EXPECT_EQ(r.phase[k], c.phase[k]) << "D=" << c.days << " axis " << k;
            EXPECT_EQ(r.percent[k], c.percent[k]) << "D=" << c.days << " axis " << k;
        }
    }
    EXPECT_NEAR(CyclePhase(23.0f, 7.0), 0.304348, 1e-6);
}

TEST(Biorhythm, FractionNearOneRoundsToPhase360)
{
    // 359.6 degrees of a 360-day cycle.
    const BioReading r = CalcBiorhythm({360, 28, 33}, 359.6);
    EXPECT_EQ(r.phase[0], 360);
}

TEST(Biorhythm, OnlyTheDatesCount)
{
    using namespace koyomi;
    const TDateTime lateBirth = EncodeDate(1980, 5, 6) + EncodeTime(23, 59, 0);
    const TDateTime earlyBirth = EncodeDate(1980, 5, 6);
    const TDateTime day = EncodeDate(1980, 5, 13) + EncodeTime(0, 1, 0);
    EXPECT_EQ(DaysSinceBirth(lateBirth, day), 7.0);
    EXPECT_EQ(DaysSinceBirth(earlyBirth, day), 7.0);
    EXPECT_EQ(DaysSinceBirth(day, earlyBirth), -7.0);
    // Across the years before 1900 the count stays whole.
    EXPECT_EQ(DaysSinceBirth(EncodeDate(1850, 1, 1), EncodeDate(1851, 1, 1)), 365.0);
}

TEST(Biorhythm, UnusableCycleLengthsGiveZeroAndAFlatCurve)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const BioReading r = CalcBiorhythm({0.0f, -5.0f, nan}, 7);
    EXPECT_EQ(r.percent, (std::array<std::int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(r.phase, (std::array<std::int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(CalcBiorhythm({inf, 28, 33}, 7).percent[0], 0);
    const BioChart chart = MakeBioChart(217, 113, {0.0f, nan, inf}, 7);
    for (const auto& curve : chart.curves)
        for (const ChartPoint& p : curve)
            EXPECT_EQ(p.y, 113 / 2);
}

TEST(BiorhythmChart, Geometry)
{
    EXPECT_EQ(ChartRow(113, 100), 2);
    EXPECT_EQ(ChartRow(113, 0), 56);
    EXPECT_EQ(ChartRow(113, -100), 110);

    const BioChart chart = MakeBioChart(217, 113, kDefaultCycles, 0);
    EXPECT_EQ(chart.axes[0].from, (ChartPoint{108, 0}));
    EXPECT_EQ(chart.axes[0].to, (ChartPoint{108, 113}));
    EXPECT_EQ(chart.axes[1].from, (ChartPoint{0, 56}));
    EXPECT_EQ(chart.axes[1].to, (ChartPoint{217, 56}));
    ASSERT_EQ(chart.ticks.size(), 31u);
    EXPECT_EQ(chart.ticks.front().from, (ChartPoint{0, 54}));
    EXPECT_EQ(chart.ticks.front().to, (ChartPoint{0, 60}));
    EXPECT_EQ(chart.ticks.back().from.x, 217);
    for (const auto& curve : chart.curves) {
        ASSERT_EQ(curve.size(), 31u);
        // Sample 15 is the shown day, on the vertical axis; D = 0 puts it on the horizontal one.
        EXPECT_EQ(curve[15], (ChartPoint{108, 56}));
        EXPECT_EQ(curve[0].x, 0);
        EXPECT_EQ(curve[30].x, 217);
    }
}

TEST(BiorhythmChart, CurveValuesAreTruncatedAndScaleWithTheImage)
{
    // Seven days after birth the feeling cycle (28 days) peaks: value 100, row 2.
    const BioChart chart = MakeBioChart(217, 113, kDefaultCycles, 7);
    EXPECT_EQ(chart.curves[1][15].y, 2);
    // 21 days: trough, row 110.
    EXPECT_EQ(MakeBioChart(217, 113, kDefaultCycles, 21).curves[1][15].y, 110);
    // A bigger image scales every coordinate.
    const BioChart big = MakeBioChart(434, 226, kDefaultCycles, 7);
    EXPECT_EQ(big.curves[1][15], (ChartPoint{217, ChartRow(226, 100)}));
    // Truncation: sin gives 99.9..., the chart shows 99 where the reading rounds to 100.
    EXPECT_EQ(ChartValue(0.2449f), 99);
}
