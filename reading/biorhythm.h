// Biorhythm reading: three sine cycles counted in whole days from the birth
// date, and the geometry of the 31-day chart around the shown day.
#pragma once

#include "koyomi/datetime.h"
#include "members/options.h"
#include "reading/meaning.h"

#include <array>
#include <cstdint>
#include <vector>

namespace mirvo {

constexpr int kChartDaysEachSide = 15; // the chart shows 15 days before and after
constexpr int kChartSamples = 2 * kChartDaysEachSide + 1;
constexpr double kPi = 3.141592653589793;

constexpr std::uint32_t kChartBackground = 0x0000FF00;  // lime, the transparent colour
constexpr std::uint32_t kChartAxisColour = 0x00FFFFFF;  // white

using Cycles = TCycleLengths;  // cycle lengths in days, by axis

// Whole days from the birth day to the shown day (negative before the birth
// day); only the date parts take part.
double DaysSinceBirth(koyomi::TDateTime birthday, koyomi::TDateTime day);

// Fraction of a cycle elapsed after dayCount days: fmod(dayCount, cycle) / cycle,
// in [0, 1) for dayCount >= 0 and in (-1, 0] before. A cycle length that is
// zero, negative or not finite (or a day count that is not finite) gives 0.
double CyclePhase(float cycle, float dayCount);
// The same with the day count at full precision (the displayed readings).
double CyclePhase(float cycle, double dayCount);

// The curve's value at a phase (a fraction of the cycle, see CyclePhase):
// sin(2π·phase), -1..1, before any rounding. The percent rounds it, the chart
// cuts it, the spoken text compares it.
double CurveValue(double phase);

struct BioReading {
    std::array<std::int32_t, kAxisCount> percent{};  // -100..100
    std::array<std::int32_t, kAxisCount> phase{};    // degrees, 0..360 (-360..0 before birth)
};

BioReading CalcBiorhythm(const Cycles& cycles, double dayCount);

struct ChartPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ChartPoint&) const = default;
};

struct ChartLine {
    ChartPoint from;
    ChartPoint to;   // as a GDI line: the end point itself is not painted
};

// The chart in the image's pixel coordinates: two axes, 31 tick marks and
// one 31-point polyline per axis (painted in axis order, later over earlier).
struct BioChart {
    int width = 0;
    int height = 0;
    std::array<ChartLine, 2> axes{};  // vertical, horizontal
    std::vector<ChartLine> ticks;
    std::array<std::vector<ChartPoint>, kAxisCount> curves;
};

BioChart MakeBioChart(int width, int height, const Cycles& cycles, double dayCount);

// Chart value -100..100 of a fraction (truncated toward zero).
int ChartValue(float fraction);
// Row of a chart value: the range -100..100 uses 200/210 of the height, centred.
int ChartRow(int height, int value);

} // namespace mirvo
