// Accuracy of the program's positions against the Swiss Ephemeris.
//
// Loads a coefficient file (default: the program's resources/kosmera/koyomi.txt),
// computes BodyPosition at 12:00:00 Japan time for every day of 1900-2100,
// 1800-1899 and 2101-2200 and prints per body the largest and the rms error of
// longitude, latitude (arcseconds) and distance. Then compares star readings
// (3 birth bodies x 10 day bodies, AngularSeparation and AspectScore) made
// from the program's positions with those made from the reference positions
// for 10,000 random pairs of a birth date (1920-2020) and a day (1990-2060).
//
//   bench_accuracy [koyomi.txt]

#include "tools/fitkoyomi/accuracy.h"
#include "tools/fitkoyomi/reference.h"

#include "koyomi/aspects.h"
#include "koyomi/calendar.h"
#include "koyomi/coeffile.h"
#include "koyomi/positions.h"
#include "koyomi/tables.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <iostream>
#include <random>

namespace {

using namespace fitkoyomi;
using namespace koyomi;

constexpr int kAxisCount = 3;
constexpr int kPairCount = 10000;
constexpr unsigned kSeed = 20240601;

struct TPosition {
    float latitude = 0;
    float longitude = 0;
};

using TGrid = std::array<std::array<std::int8_t, kBodyCount>, kAxisCount>;

TGrid Reading(const std::array<TPosition, kAxisCount>& birth, const std::array<TPosition, kBodyCount>& today)
{
    TGrid grid{};
    for (std::int8_t axis = 0; axis < kAxisCount; ++axis)
        for (std::int8_t body = 0; body < kBodyCount; ++body) {
            const float angle = AngularSeparation(today[body].latitude, today[body].longitude,
                                                  birth[axis].latitude, birth[axis].longitude);
            grid[axis][body] = AspectScore(axis, body, angle);
        }
    return grid;
}

TPosition ProgramPosition(int body, const TDay& d)
{
    float dist = 0, lat = 0, lon = 0;
    BodyPosition(static_cast<std::int8_t>(body), d.year, d.month, d.day, 0, 0, 12, dist, lat, lon);
    return {lat, lon};
}

TPosition ReferenceAsProgram(int body, const TDay& d)
{
    const TSpherical p = ReferencePosition(body, d);
    return {static_cast<float>(p.latitude), static_cast<float>(p.longitude)};
}

void CompareReadings(const std::vector<TDay>& births, const std::vector<TDay>& days)
{
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<std::size_t> pickBirth(0, births.size() - 1), pickDay(0, days.size() - 1);
    long cellsEqual = 0, gridsEqual = 0;
    std::array<std::array<long, kBodyCount>, kAxisCount> cellMisses{};
    for (int pair = 0; pair < kPairCount; ++pair) {
        const TDay& birth = births[pickBirth(random)];
        const TDay& day = days[pickDay(random)];
        std::array<TPosition, kAxisCount> birthProgram, birthReference;
        std::array<TPosition, kBodyCount> dayProgram, dayReference;
        for (int axis = 0; axis < kAxisCount; ++axis) {
            birthProgram[axis] = ProgramPosition(axis, birth);
            birthReference[axis] = ReferenceAsProgram(axis, birth);
        }
        for (int body = 0; body < kBodyCount; ++body) {
            dayProgram[body] = ProgramPosition(body, day);
            dayReference[body] = ReferenceAsProgram(body, day);
        }
        const TGrid program = Reading(birthProgram, dayProgram);
        const TGrid reference = Reading(birthReference, dayReference);
        int equal = 0;
        for (int axis = 0; axis < kAxisCount; ++axis)
            for (int body = 0; body < kBodyCount; ++body) {
                if (program[axis][body] == reference[axis][body])
                    ++equal;
                else
                    ++cellMisses[axis][body];
            }
        cellsEqual += equal;
        if (equal == kAxisCount * kBodyCount)
            ++gridsEqual;
    }
    const double cells = static_cast<double>(kPairCount) * kAxisCount * kBodyCount;
    std::printf("\nstar readings, %d random pairs (birth 1920-2020, day 1990-2060):\n", kPairCount);
    std::printf("  cells equal to the reference: %.3f %%  (%ld of %.0f)\n", 100.0 * cellsEqual / cells, cellsEqual,
                cells);
    std::printf("  whole 3x10 grids equal:       %.2f %%  (%ld of %d)\n", 100.0 * gridsEqual / kPairCount,
                gridsEqual, kPairCount);
    std::printf("  differing cells per axis and body:\n");
    for (int axis = 0; axis < kAxisCount; ++axis) {
        std::printf("   axis %d:", axis);
        for (int body = 0; body < kBodyCount; ++body)
            std::printf(" %4ld", cellMisses[axis][body]);
        std::printf("\n");
    }
}

void MeasureYears(int from, int to)
{
    const std::vector<TDay> days = DaysOfYears(from, to);
    std::array<std::vector<TSpherical>, kBodyCount> reference;
    for (int body = 0; body < kBodyCount; ++body)
        for (const auto& d : days)
            reference[body].push_back(ReferencePosition(body, d));
    std::printf("\nBodyPosition against the reference, every day %d-%d at 12:00 JST:\n", from, to);
    PrintErrors(std::cout, MeasureErrors(days, reference, TPrecision::Program));
    std::printf("the same series evaluated in double precision (diagnostic, not the program):\n");
    PrintErrors(std::cout, MeasureErrors(days, reference, TPrecision::Double));
    std::cout.flush();
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::string path = argc > 1 ? argv[1] : MIRVO_KOYOMI_COEFFICIENTS;
        const CoefficientTable table = ReadCoefficientFile(path);
        SetCoefficients(table.amplitude, table.rate, table.phase);
        std::printf("coefficients: %s\n", path.c_str());
        MeasureYears(1900, 2100);
        MeasureYears(1800, 1899);
        MeasureYears(2101, 2200);
        CompareReadings(DaysOfYears(1920, 2020), DaysOfYears(1990, 2060));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_accuracy: %s\n", e.what());
        return 1;
    }
}
