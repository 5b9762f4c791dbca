#include "reading/biorhythm.h"

#include "koyomi/calendar.h"

#include <cmath>

namespace mirvo {

namespace {

constexpr double kPercentScale = 100.0;
constexpr double kChartValueSpan = 210.0;  // value range mapped onto the full height
constexpr int kTickAbove = 2;
constexpr int kTickBelow = 4;

double DayNumber(koyomi::TDateTime value)
{
    const koyomi::DateParts d = koyomi::DecodeDate(value);
    return static_cast<double>(koyomi::JulianDay(d.year, d.month, d.day));
}

double Phase(double cycle, double dayCount)
{
    if (!(cycle > 0) || !std::isfinite(cycle) || !std::isfinite(dayCount))
        return 0.0;
    return std::fmod(dayCount, cycle) / cycle;
}

} // namespace

double DaysSinceBirth(koyomi::TDateTime birthday, koyomi::TDateTime day)
{
    return DayNumber(day) - DayNumber(birthday);
}

double CyclePhase(float cycle, float dayCount)
{
    return Phase(cycle, dayCount);
}

double CyclePhase(float cycle, double dayCount)
{
    return Phase(cycle, dayCount);
}

double CurveValue(double phase)
{
    return std::sin(2.0 * kPi * phase);
}

BioReading CalcBiorhythm(const Cycles& cycles, double dayCount)
{
    BioReading r;
    for (int k = 0; k < kAxisCount; ++k) {
        const double f = CyclePhase(cycles[k], dayCount);
        r.phase[k] = koyomi::RoundToInt(f * 360.0);
        r.percent[k] = koyomi::RoundToInt(CurveValue(f) * kPercentScale);
    }
    return r;
}

int ChartValue(float fraction)
{
    return static_cast<int>(std::trunc(CurveValue(fraction) * kPercentScale));
}

int ChartRow(int height, int value)
{
    return static_cast<int>(std::trunc(height * (0.5 - value / kChartValueSpan)));
}

BioChart MakeBioChart(int width, int height, const Cycles& cycles, double dayCount)
{
    BioChart chart;
    chart.width = width;
    chart.height = height;
    chart.axes[0] = {{width / 2, 0}, {width / 2, height}};
    chart.axes[1] = {{0, height / 2}, {width, height / 2}};
    const int last = kChartSamples - 1;
    chart.ticks.reserve(kChartSamples);
    for (int i = 0; i < kChartSamples; ++i) {
        const int x = static_cast<int>(std::floor(static_cast<double>(width) * i / last));
        chart.ticks.push_back({{x, height / 2 - kTickAbove}, {x, height / 2 + kTickBelow}});
    }
    const float start = static_cast<float>(dayCount - kChartDaysEachSide);
    for (int k = 0; k < kAxisCount; ++k) {
        auto& curve = chart.curves[k];
        curve.reserve(kChartSamples);
        for (int j = 0; j < kChartSamples; ++j) {
            const float f = static_cast<float>(CyclePhase(cycles[k], start + static_cast<float>(j)));
            curve.push_back({(width * j) / last, ChartRow(height, ChartValue(f))});
        }
    }
    return chart;
}

} // namespace mirvo
